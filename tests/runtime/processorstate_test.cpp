#include "runtime/processorstate.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace canvas;

TEST(ClearVectorState, IsSafeOnAnyProcessorAndLeavesResultsAlone) {
    const double before = std::pow(1.0001, 12345.6);
    for (int i = 0; i < 3; ++i)
        clearVectorState();
    EXPECT_EQ(std::pow(1.0001, 12345.6), before);
}
