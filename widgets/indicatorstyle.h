#pragma once

// The style of option buttons and check boxes at the display scale: the style sizes their round or square
// indicator in pixels, whatever the font, so at 200 % it would stay as small as at 100 % beside text twice
// as large. This style asks the application's style for everything and scales only those sizes.

#include <QProxyStyle>

namespace canvas {

class IndicatorStyle : public QProxyStyle {
    Q_OBJECT
public:
    /// The one style for every such control of the program (owned by the application).
    static IndicatorStyle* instance();

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;

private:
    IndicatorStyle();
};

} // namespace canvas
