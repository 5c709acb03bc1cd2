// The exerciser's checks after every action: the window's state finite and its canvas whole, no modal box,
// menu or pad left open, whole sounds, the marker on the canvas, words for the ear, and curve colours of the
// contrast in force. The first failure ends the run with the seed and the action that replay it.

#include "checks.h"
#include "exerciser.h"

#include "curves/spokentext.h"
#include "drawing/curvestyle.h"
#include "runtime/messagebox.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace exerciser {

bool inPalette(canvas::Colour c) {
    return std::any_of(canvas::kHighContrastColours.begin(), canvas::kHighContrastColours.end(),
                       [c](const canvas::Rgb& p) { return c == canvas::RGB(p.red, p.green, p.blue); });
}

void Exerciser::check(const std::string& program, std::uint64_t seed, const canvas::ViewRange& before,
                      bool spacingsMayChange) {
    for (const double v : t_.state())
        if (!std::isfinite(v))
            fail(program, seed, "a state value is not finite after " + last_);
    const canvas::ViewRange v = t_.view();
    if (!spacingsMayChange && (v.xju1 != before.xju1 || v.yju1 != before.yju1))
        fail(program, seed, "the tick spacings changed in " + last_);
    // The picture keeps its logical size at every scale; the control is that size, border included,
    // at the scale.
    const QSizeF outer = QSizeF(canvasSize_ + QSize(4, 4)) * t_.canvas->scale();
    if (t_.canvas->surface().size() != canvasSize_ || std::abs(t_.canvas->width() - outer.width()) > 1 ||
        std::abs(t_.canvas->height() - outer.height()) > 1)
        fail(program, seed, "the canvas picture changed its size in " + last_);
    if (canvas::modalDepth() != 0 || QApplication::activeModalWidget() != nullptr)
        fail(program, seed, "a modal box was left open");
}

// What the classroom pieces hold after the action: no menu or pad left open, the explored point and
// its marker on the canvas, whole sounds, and curve colours from the set of the contrast in force.
void Exerciser::checkClassroom(const std::string& program, std::uint64_t seed, const Contrast& before) {
    if (QWidget* popup = QApplication::activePopupWidget())
        fail(program, seed,
             std::string("a ") + popup->metaObject()->className() + " was left open after " + last_);
    if (fakes_.sound.wrongLength != 0)
        fail(program, seed,
             "a sound of " + std::to_string(fakes_.sound.wrongLength) + " bytes, not a whole curve's, in " +
                 last_);
    const canvas::CurveExplorer& e = *t_.explorer;
    if (e.isExploring() && !std::isfinite(e.x()))
        fail(program, seed, "the explored point is not finite after " + last_);
    const canvas::CurveMarker& marker = e.marker();
    if (marker.isVisible()) {
        if (!e.isExploring() && !e.isSounding() && !e.isShowingNotice())
            fail(program, seed, "the marker stayed after exploring and the sound ended, in " + last_);
        const QPointF at = t_.canvas->widgetPosition(marker.x(), marker.y());
        const QRectF picture = QRectF(QPointF(2, 2), QSizeF(canvasSize_)).adjusted(-1, -1, 1, 1);
        if (!picture.contains(at))
            fail(program, seed,
                 "the marker lies off the canvas, at pixel " + std::to_string(at.x()) + ", " +
                     std::to_string(at.y()) + ", after " + last_ + " (" +
                     (e.isExploring() ? "exploring" : "sounding") +
                     ", the canvas says: " + t_.canvas->description().text().toStdString() + ")");
        const QString caption = marker.caption();
        const bool notice = e.isShowingNotice() && caption == QStringLiteral("没有可用的声音输出");
        const bool coordinates = caption.startsWith(u'(') && caption.endsWith(u')');
        if ((!notice && !coordinates) || caption.contains(QStringLiteral("inf"), Qt::CaseInsensitive) ||
            caption.contains(QStringLiteral("nan"), Qt::CaseInsensitive))
            fail(program, seed, "the marker reads " + caption.toStdString() + " after " + last_);
    }
    // What the canvas says of itself is written for the ear, whatever range and curves the controls left.
    const QString description = t_.canvas->description().text();
    if (!canvas::readsAsWords(description))
        fail(program, seed,
             "the canvas says \"" + description.toStdString() + "\", with a symbol read by name, after " +
                 last_);
    const bool on = canvas::CurveStyle::instance().highContrast();
    if (t_.contrast->isChecked() != on)
        fail(program, seed,
             "高对比度 is shown " + std::string(t_.contrast->isChecked() ? "on" : "off") +
                 " while the curves are drawn otherwise, after " + last_);
    // Only high contrast draws a curve twice as wide (both programs draw curves 2 pixels wide), and
    // always in one of its colours. The items new since the last action are looked at, and all of them
    // now and then: a picture wiped and drawn again within one action may have grown past the count.
    constexpr int kWideCurve = 2 * 2;
    const canvas::DisplayList& list = t_.canvas->surface().displayList();
    if (t_.curveColour)
        checkedItems_ = list.itemCount();
    else if (list.itemCount() < checkedItems_ || action_ % 64 == 0)
        checkedItems_ = 0;
    for (; checkedItems_ < list.itemCount(); ++checkedItems_)
        if (list.itemWidth(checkedItems_) == kWideCurve && !inPalette(list.itemColour(checkedItems_)))
            fail(program, seed,
                 "a curve drawn twice as wide is not in a high-contrast colour (" +
                     QString::number(list.itemColour(checkedItems_), 16).toStdString() + "), after " + last_);
    if (t_.curveColour && t_.curveColour() != before.curve && on == before.on) {
        const canvas::Colour c = t_.curveColour();
        const bool picked = canvas::redOf(c) < 255 && canvas::greenOf(c) < 255 && canvas::blueOf(c) < 255;
        if (on ? !inPalette(c) : !picked)
            fail(program, seed,
                 "a new curve's colour is not of the " + std::string(on ? "high-contrast" : "usual") +
                     " set, after " + last_);
    }
}

void Exerciser::fail(const std::string& program, std::uint64_t seed, const std::string& what) {
    std::fprintf(stderr, "FAILED: %s seed %llu action %ld: %s\n", program.c_str(),
                 static_cast<unsigned long long>(seed), action_, what.c_str());
    std::exit(1);
}

} // namespace exerciser
