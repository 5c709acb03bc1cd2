#pragma once

// main() of every benchmark: a Qt application on the off-screen platform with the design fonts mapped.

#include "drawing/fonts.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

#define EXPLORERS_BENCHMARK_MAIN()                                                                           \
    int main(int argc, char** argv) {                                                                        \
        setenv("QT_QPA_PLATFORM", "offscreen", 0);                                                           \
        QApplication app(argc, argv);                                                                        \
        canvas::installFontSubstitutions();                                                                  \
        benchmark::Initialize(&argc, argv);                                                                  \
        benchmark::RunSpecifiedBenchmarks();                                                                 \
        benchmark::Shutdown();                                                                               \
        return 0;                                                                                            \
    }
