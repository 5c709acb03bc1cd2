#include "drawing/fonts.h"

#include <QFont>
#include <QStringList>

namespace canvas {

void installFontSubstitutions() {
    const QStringList cjkFallbacks = {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                                      QStringLiteral("WenQuanYi Zen Hei")};
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               QStringList{QStringLiteral("AR PL UMing CN")} + cjkFallbacks);
    QFont::insertSubstitutions(QStringLiteral("楷体_GB2312"),
                               QStringList{QStringLiteral("AR PL UKai CN")} + cjkFallbacks);
    QFont::insertSubstitutions(
        QStringLiteral("Times New Roman"),
        QStringList{QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
}

} // namespace canvas
