#include "widgets/framemessage.h"

#include "../support/messagerecorder.h"

#include <gtest/gtest.h>

using namespace canvas;

namespace {

constexpr FrameStyle kPower{0.001, 0.3, 1.0, false};

} // namespace

// A range the canvas cannot map stops the frame; the window then tells the pupil to complete the data,
// once, as a warning. A frame that was drawn is not mentioned.
TEST(FrameMessage, OnlyAnUnmappableRangeIsToldAsAWarning) {
    struct Case {
        const char* name;
        double xmin, xmax, ymin, ymax, xju1, yju1;
        bool told;
    };
    const Case cases[] = {
        {"start-up range", -10, 10, -10, 10, 1, 1, false},
        {"no ticks", -10, 10, -10, 10, 0, 1, false},
        {"beyond single precision", -10, 1e39, -10, 10, 1, 1, true},
        {"emptied boxes", 0, 0, 0, 0, 1, 1, true},
        {"zero width", 5, 5, -10, 10, 1, 1, true},
        {"width beyond single precision", -3e38, 3e38, -10, 10, 1, 1, true},
        {"a tick beyond single precision", -10, 10, -10, 10, 1e39, 1, true},
    };
    for (const Case& c : cases) {
        Surface surface{QSize(389, 373), RGB(255, 255, 192), 0};
        testsupport::MessageRecorder messages;
        tellFrameOutcome(zuobiao(surface, kPower, c.xmin, c.xmax, c.ymin, c.ymax, c.xju1, c.yju1));
        if (!c.told) {
            EXPECT_TRUE(messages.messages().empty()) << c.name;
            continue;
        }
        ASSERT_EQ(messages.messages().size(), 1u) << c.name;
        EXPECT_EQ(messages.messages()[0].text, QStringLiteral("请输入完整的数据！"));
        EXPECT_EQ(messages.messages()[0].title, QStringLiteral("警告"));
        EXPECT_EQ(messages.messages()[0].icon, MessageIcon::Exclamation);
    }
}
