#include "expolog/family.h"

#include "classroom/startup.h"

int main(int argc, char* argv[]) {
    return canvas::runProgram(argc, argv, QStringLiteral("Tavrinth"),
                              [] { return std::make_unique<expolog::MainWindow>(expolog::kTavrinth); });
}
