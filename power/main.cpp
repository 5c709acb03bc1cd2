#include "power/mainwindow.h"

#include "classroom/startup.h"

int main(int argc, char* argv[]) {
    return canvas::runProgram(argc, argv, QStringLiteral("Quorvex"),
                              [] { return std::make_unique<quorvex::MainWindow>(); });
}
