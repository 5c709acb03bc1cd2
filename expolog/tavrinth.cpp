#include "expolog/family.h"

namespace expolog {

namespace {
// y = log_a x traced along x from one step, for any base.
constexpr TraceCase kAlongX{Walk::AlongX, Stop::PastXmax, Start::OneStep};
// The inverse y = a^x along y: upwards for a > 1, downwards from xmax for a < 1, idle for a = 1.
constexpr TraceCase kUp{Walk::UpAlongY, Stop::PastXmax, Start::OneStep};
constexpr TraceCase kDown{Walk::DownAlongY, Stop::BelowThreeSteps, Start::Xmax};
constexpr TraceCase kIdle{Walk::None, Stop::PastXmax, Start::Unchanged};
} // namespace

const Family kTavrinth{
    QStringLiteral("Tavrinth"),
    QStringLiteral(":/tavrinth/"),
    {0, 0, 11550, 7650},
    {3360, 720, 5655, 5655},
    {5160, 5640, 1815, 375},
    {
        {&Controls::basePanelPicture, "panel_base.svg", {240, 1800, 2790, 2520}, true, "设定底数"},
        {&Controls::rangePanelPicture, "panel_range.svg", {9120, 840, 2475, 5475}, true, "设置坐标系"},
        {&Controls::inversePanelPicture, "panel_inverse.svg", {8760, 8640, 2760, 1800}, true, "反函数"},
        {&Controls::propertiesPicture,
         "properties.svg",
         {120, 4680, 3135, 2370},
         true,
         "函数性质: 1 定义域 (0, +∞); 值域 R. 4 在 (0, +∞) 上是( )函数."},
        {&Controls::titlePicture, "title.svg", {3960, 120, 3900, 480}, true, nullptr},
        {&Controls::definitionPicture,
         "definition.svg",
         {480, 600, 2145, 825},
         true,
         "对数函数: y = log_a x, a为常量, a > 0 且 a ≠ 1, x为自变量."},
        {&Controls::logoPicture, "logo.svg", {9000, 6480, 870, 870}, true, nullptr},
        {&Controls::instructionsPicture,
         "instructions.svg",
         {3480, 6480, 5115, 1050},
         true,
         "操作说明: 1) 作图之前必须设置坐标系, 然后按“确定”按钮. 2) 在文本框中输入底数a的值. 提示: "
         "可拖动坐标轴观察图像"},
        {&Controls::logarithmFormulaPicture, "ylog.svg", {840, 2280, 585, 195}, true, "y = log_a x"},
        {&Controls::logarithmXPicture, "xletter.svg", {2160, 2310, 120, 150}, true, nullptr},
        {&Controls::conditionPicture, "condition.svg", {720, 2760, 1575, 315}, true, "(a > 0 且 a ≠ 1)"},
        {&Controls::valueAtZeroPicture, "value0.svg", {600, 5440, 1380, 225}, false, "2 当 x = 1 时, y = 0."},
        {&Controls::growingValuesPicture,
         "value_gt1.svg",
         {600, 5930, 1650, 540},
         false,
         "3 当 x > 1 时, y > 0. 当 0 < x < 1 时, y < 0."},
        {&Controls::fallingValuesPicture,
         "value_lt1.svg",
         {600, 5930, 1650, 540},
         false,
         "3 当 x > 1 时, y < 0. 当 0 < x < 1 时, y > 0."},
        {&Controls::exponentialFormulaPicture, "ylabel.svg", {9240, 9120, 435, 300}, true, "y = a^x"},
        {&Controls::exponentialXPicture, "xletter_inverse.svg", {10320, 9000, 180, 195}, true, nullptr},
        {&Controls::exitHighlight, ":/common/exit_highlight.svg", {10200, 6720, 825, 330}, false, nullptr},
        {&Controls::exitPicture, ":/common/exit_normal.svg", {10200, 6720, 825, 330}, true, "退出"},
    },
    {
        {&Controls::xAxisLabel, "x轴", {9960, 1080, 975, 375}, 14.25, true},
        {&Controls::xMinLabel, "最小值", {9480, 1440, 735, 375}, 12, false},
        {&Controls::xMaxLabel, "最大值", {9480, 2040, 735, 375}, 12, false},
        {&Controls::xSpacingLabel, "单位长度", {9360, 2640, 1095, 375}, 12, false},
        {&Controls::yAxisLabel, "y轴", {9960, 3120, 975, 375}, 14.25, true},
        {&Controls::yMinLabel, "最小值", {9480, 3480, 735, 375}, 12, false},
        {&Controls::yMaxLabel, "最大值", {9480, 4080, 735, 375}, 12, false},
        {&Controls::ySpacingLabel, "单位长度", {9360, 4680, 1095, 375}, 12, false},
    },
    {1920, 6680, 615, 375},
    {
        {&Controls::baseBox, {1440, 2400, 615, 375}, 10.5, true, true, "底数 a"},
        {&Controls::inverseBaseBox, {9720, 9120, 615, 375}, 12, true, true, "反函数 底数 a"},
        {&Controls::yMaxBox, {10440, 4080, 735, 375}, 12, false, true, "y轴 最大值"},
        {&Controls::yMinBox, {10440, 3480, 735, 375}, 12, false, true, "y轴 最小值"},
        {&Controls::xMaxBox, {10440, 2040, 735, 375}, 12, false, true, "x轴 最大值"},
        {&Controls::xMinBox, {10440, 1440, 735, 375}, 12, false, true, "x轴 最小值"},
        {&Controls::xSpacingBox, {10440, 2640, 855, 375}, 10.5, false, true, "x轴 单位长度"},
        {&Controls::ySpacingBox, {10440, 4560, 855, 375}, 10.5, false, true, "y轴 单位长度"},
    },
    {
        {&Controls::plotButton, "作图", {480, 3240, 975, 375}, true, nullptr},
        {&Controls::clearGraphButton, "清除图象", {480, 3720, 975, 375}, true, nullptr},
        {&Controls::clearBaseButton, "清除数据", {1800, 3720, 975, 375}, true, "清除数据（底数）"},
        {&Controls::inverseButton, "反函数图象", {8880, 9840, 1335, 375}, true, nullptr},
        {&Controls::symmetryAxisButton, "对称轴", {10320, 9840, 1095, 375}, true, nullptr},
        {&Controls::clearRangeButton, "清除数据", {9240, 5760, 975, 375}, true, "清除数据（坐标系）"},
        {&Controls::applyRangeButton, "确定", {9240, 5280, 975, 375}, true, nullptr},
        {&Controls::drawGridButton, "画网格", {10320, 5280, 975, 375}, true, nullptr},
        {&Controls::removeGridButton, "消网格", {10320, 5760, 975, 375}, true, nullptr},
    },
    {
        tabStop<&Controls::inverseBaseBox>,
        tabStop<&Controls::plotButton>,
        tabStop<&Controls::clearGraphButton>,
        tabStop<&Controls::clearBaseButton>,
        tabStop<&Controls::baseBox>,
        tabStop<&Controls::inverseButton>,
        tabStop<&Controls::symmetryAxisButton>,
        tabStop<&Controls::yMaxBox>,
        tabStop<&Controls::yMinBox>,
        tabStop<&Controls::xMaxBox>,
        tabStop<&Controls::xMinBox>,
        tabStop<&Controls::applyRangeButton>,
        tabStop<&Controls::clearRangeButton>,
        tabStop<&Controls::xSpacingBox>,
        tabStop<&Controls::ySpacingBox>,
        tabStop<&Controls::drawGridButton>,
        tabStop<&Controls::removeGridButton>,
    },
    &Controls::inverseBaseBox,
    {false, false},
    false,
    true,
    false,
    {kAlongX, kAlongX, kAlongX, kAlongX},
    {kUp, kDown, kIdle, kDown},
    "y = log_%1 x",
    "y = %1^x",
    canvas::CurveKind::Logarithm,
    canvas::CurveKind::Exponential,
    "在 0 到正无穷上是增函数, 当 x 等于 1 时 y 等于 0, 当 x 大于 1 时 y 大于 0, 当 x 大于 0 且小于 1 时 y "
    "小于 0",
    "在 0 到正无穷上是减函数, 当 x 等于 1 时 y 等于 0, 当 x 大于 1 时 y 小于 0, 当 x 大于 0 且小于 1 时 y "
    "大于 0",
};

} // namespace expolog
