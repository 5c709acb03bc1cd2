// Writes a program's manual page (section 1, roff) from the same tables its --help is made from.
//   manpage PROGRAM OUTPUT

#include "runtime/usage.h"

#include <QFile>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fputs("usage: manpage PROGRAM OUTPUT\n", stderr);
        return 2;
    }
    const QString page = canvas::manualPage(QString::fromLocal8Bit(argv[1]));
    if (page.isEmpty()) {
        std::fprintf(stderr, "manpage: no program called %s\n", argv[1]);
        return 2;
    }
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(page.toUtf8()) < 0 ||
        !out.flush()) {
        std::fprintf(stderr, "manpage: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
