#include "expolog/family.h"

namespace expolog {

namespace {
constexpr TraceCase kNothing{};
// y = a^x traced along y: upwards from one step for a > 1, downwards from beyond the widest edge for a < 1.
constexpr TraceCase kUp{Walk::UpAlongY, Stop::PastThreeXmax, Start::OneStep};
constexpr TraceCase kDown{Walk::DownAlongY, Stop::BelowTwoSteps, Start::OneAndAHalfWidestEdge};
// The inverse y = log_a x along x, whatever the base.
constexpr TraceCase kInverse{Walk::AlongX, Stop::PastXmaxPlusStep, Start::TwoSteps};
} // namespace

const Family kZelmora{
    QStringLiteral("Zelmora"),
    QStringLiteral(":/zelmora/"),
    {0, 0, 11535, 7650},
    {3360, 720, 5655, 5655},
    {5400, 5400, 1215, 375},
    {
        {&Controls::basePanelPicture, "panel_base.svg", {240, 1800, 2790, 2520}, true, "设定底数"},
        {&Controls::rangePanelPicture, "panel_range.svg", {9120, 720, 2475, 5475}, true, "设置坐标系"},
        {&Controls::inversePanelPicture, "panel_inverse.svg", {8160, 8505, 2760, 1800}, true, "反函数"},
        {&Controls::propertiesPicture,
         "properties.svg",
         {120, 4680, 3135, 2370},
         true,
         "函数性质: 1 定义域 R; 值域 (0, +∞). 4 在 (−∞, +∞) 上是( )函数"},
        {&Controls::titlePicture, "title.svg", {4200, 120, 3900, 480}, true, nullptr},
        {&Controls::definitionPicture,
         "definition.svg",
         {480, 720, 2145, 870},
         true,
         "指数函数: y = a^x, a为常量, a > 0 且 a ≠ 1, x为自变量."},
        {&Controls::logoPicture, "logo.svg", {9000, 6480, 870, 870}, true, nullptr},
        {&Controls::instructionsPicture,
         "instructions.svg",
         {3480, 6480, 5115, 1050},
         true,
         "操作说明: 1) 作图之前必须设置坐标系, 然后按“确定”按钮. 2) 在文本框中输入底数a的值. 提示: "
         "可拖动坐标轴观察图像"},
        {&Controls::exponentialFormulaPicture, "ylabel.svg", {720, 2400, 435, 300}, true, "y = a^x"},
        {&Controls::exponentialXPicture, "xletter.svg", {1920, 2160, 180, 195}, true, nullptr},
        {&Controls::conditionPicture, "condition.svg", {720, 2760, 1095, 225}, true, "(a > 0 且 a ≠ 1)"},
        {&Controls::valueAtZeroPicture, "value0.svg", {600, 5440, 1380, 225}, false, "2 当 x = 0 时, y = 1."},
        {&Controls::growingValuesPicture,
         "value_gt1.svg",
         {600, 5925, 1650, 540},
         false,
         "3 当 x > 0 时, y > 1. 当 x < 0 时, 0 < y < 1."},
        {&Controls::fallingValuesPicture,
         "value_lt1.svg",
         {600, 5925, 1650, 540},
         false,
         "3 当 x > 0 时, 0 < y < 1. 当 x < 0 时, y > 1."},
        {&Controls::logarithmFormulaPicture, "ylog.svg", {8760, 9000, 795, 360}, false, "y = log_a x"},
        {&Controls::logarithmXPicture, "xletter_inverse.svg", {10200, 9120, 180, 195}, true, nullptr},
        // Both exit pictures are visible until the first pointer move; the normal one lies on top.
        {&Controls::exitHighlight, ":/common/exit_highlight.svg", {10200, 6720, 825, 330}, true, nullptr},
        {&Controls::exitPicture, ":/common/exit_normal.svg", {10200, 6720, 825, 330}, true, "退出"},
    },
    {
        {&Controls::xAxisLabel, "x轴", {9840, 1080, 975, 375}, 14.25, true},
        {&Controls::xMinLabel, "最小值", {9240, 1560, 735, 375}, 12, false},
        {&Controls::xMaxLabel, "最大值", {9240, 2160, 735, 375}, 12, false},
        {&Controls::xSpacingLabel, "单位长度", {9240, 2640, 1095, 375}, 12, false},
        {&Controls::yAxisLabel, "y轴", {9840, 3000, 975, 375}, 14.25, true},
        {&Controls::yMinLabel, "最小值", {9240, 3480, 735, 375}, 12, false},
        {&Controls::yMaxLabel, "最大值", {9240, 4080, 735, 375}, 12, false},
        {&Controls::ySpacingLabel, "单位长度", {9240, 4560, 1095, 375}, 12, false},
    },
    {2040, 6675, 615, 375},
    {
        {&Controls::baseBox, {1200, 2280, 735, 375}, 10.5, true, true, "底数 a"},
        {&Controls::inverseBaseBox, {9600, 9240, 615, 375}, 12, true, false, "反函数 底数 a"},
        {&Controls::xMinBox, {10320, 1560, 735, 375}, 12, false, true, "x轴 最小值"},
        {&Controls::xMaxBox, {10320, 2040, 735, 375}, 12, false, true, "x轴 最大值"},
        {&Controls::yMinBox, {10320, 3480, 735, 375}, 12, false, true, "y轴 最小值"},
        {&Controls::yMaxBox, {10320, 3960, 735, 375}, 12, false, true, "y轴 最大值"},
        {&Controls::xSpacingBox, {10320, 2520, 855, 375}, 10.5, false, true, "x轴 单位长度"},
        {&Controls::ySpacingBox, {10320, 4440, 855, 375}, 10.5, false, true, "y轴 单位长度"},
    },
    {
        {&Controls::plotButton, "作图", {480, 3240, 975, 375}, true, nullptr},
        {&Controls::clearGraphButton, "清除图象", {480, 3720, 975, 375}, true, nullptr},
        {&Controls::clearBaseButton, "清除数据", {1800, 3720, 975, 375}, true, "清除数据（底数）"},
        {&Controls::inverseButton, "反函数图象", {8400, 9720, 1215, 375}, false, nullptr},
        {&Controls::symmetryAxisButton, "对称轴", {9720, 9720, 975, 375}, false, nullptr},
        {&Controls::clearRangeButton, "清除数据", {9240, 5160, 975, 375}, true, "清除数据（坐标系）"},
        {&Controls::applyRangeButton, "确定", {9240, 5640, 975, 375}, true, nullptr},
        {&Controls::drawGridButton, "画网格", {10320, 5160, 975, 375}, true, nullptr},
        {&Controls::removeGridButton, "消网格", {10320, 5640, 975, 375}, true, nullptr},
    },
    {
        tabStop<&Controls::baseBox>,
        tabStop<&Controls::plotButton>,
        tabStop<&Controls::clearGraphButton>,
        tabStop<&Controls::clearBaseButton>,
        tabStop<&Controls::inverseBaseBox>,
        tabStop<&Controls::inverseButton>,
        tabStop<&Controls::symmetryAxisButton>,
        tabStop<&Controls::xMinBox>,
        tabStop<&Controls::xMaxBox>,
        tabStop<&Controls::yMinBox>,
        tabStop<&Controls::yMaxBox>,
        tabStop<&Controls::clearRangeButton>,
        tabStop<&Controls::applyRangeButton>,
        tabStop<&Controls::xSpacingBox>,
        tabStop<&Controls::ySpacingBox>,
        tabStop<&Controls::drawGridButton>,
        tabStop<&Controls::removeGridButton>,
    },
    &Controls::baseBox,
    {true, false},
    true,
    false,
    true,
    {kUp, kDown, kNothing, kNothing},
    {kInverse, kInverse, kInverse, kInverse},
    "y = %1^x",
    "y = log_%1 x",
    canvas::CurveKind::Exponential,
    canvas::CurveKind::Logarithm,
    "在负无穷到正无穷上是增函数, 当 x 等于 0 时 y 等于 1, 当 x 大于 0 时 y 大于 1, 当 x 小于 0 时 y 大于 0 "
    "且小于 1",
    "在负无穷到正无穷上是减函数, 当 x 等于 0 时 y 等于 1, 当 x 大于 0 时 y 大于 0 且小于 1, 当 x 小于 0 时 y "
    "大于 1",
};

} // namespace expolog
