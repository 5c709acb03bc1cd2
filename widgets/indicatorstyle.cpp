#include "widgets/indicatorstyle.h"

#include "widgets/displayscale.h"

#include <QApplication>

#include <cmath>

namespace canvas {

IndicatorStyle::IndicatorStyle() : QProxyStyle(QApplication::style()->name()) {
    setParent(qApp);
}

IndicatorStyle* IndicatorStyle::instance() {
    static IndicatorStyle* style = new IndicatorStyle;
    return style;
}

int IndicatorStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
        return static_cast<int>(std::lround(base * DisplayScale::instance().factor()));
    default:
        return base;
    }
}

} // namespace canvas
