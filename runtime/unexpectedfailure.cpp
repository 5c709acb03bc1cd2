#include "runtime/unexpectedfailure.h"

#include <QCoreApplication>

#include <atomic>
#include <cstdio>

namespace canvas {

namespace {
std::atomic<long> failures{0};

void report(const char* where, const char* what) {
    const QByteArray program = QCoreApplication::applicationName().toUtf8();
    std::fprintf(stderr, "%s: unexpected failure in %s: %s\n",
                 program.isEmpty() ? "explorer" : program.constData(), where, what);
    std::fflush(stderr);
    ++failures;
}
} // namespace

void reportUnexpectedFailure(const char* where, const std::exception& failure) {
    report(where, failure.what());
}

void reportUnexpectedFailure(const char* where) {
    report(where, "an exception of an unknown type");
}

long unexpectedFailureCount() {
    return failures.load();
}

} // namespace canvas
