#pragma once

// What every program window does beyond its own controls and handlers: the display scale keys (Ctrl+=,
// Ctrl++, Ctrl+-, Ctrl+0), full screen (F11, Esc), the right-click menu of the window's free area that lists
// those commands (and any a window adds), 高对比度 (curves in dark colours, twice as wide), the window's
// background picture at the scale, and the scale and contrast the program remembers between runs. A finger
// held still on the free area opens the menu there, as a right-click does. What a program does before its
// window is made is in classroom/startup.h.

#include "classroom/scaledlayout.h"

#include <QAction>
#include <QHash>
#include <QMenu>
#include <QObject>
#include <QPixmap>
#include <QSizeF>

class QContextMenuEvent;
class QKeyEvent;
class QMouseEvent;
class QTouchEvent;

namespace canvas {

class TouchHold;

class WindowCommands : public QObject {
    Q_OBJECT
public:
    /// Gives a built window (at 100 %) its commands and shows it at the program's current display scale.
    /// `program` names the settings the scale is kept in.
    WindowCommands(QWidget* window, const QString& program);
    /// Writes what the window stored for the next run: the window is gone, and the program ends with it.
    ~WindowCommands() override;

    /// The commands of a window, once made.
    static WindowCommands* of(QWidget* window);

    /// The program's name, under which its settings are kept.
    const QString& program() const { return program_; }

    /// Adds a command to the window: its keys work anywhere in the window, and it joins the right-click
    /// menu of the window's free area.
    void addCommand(QAction* action);
    QMenu* menu() const { return menu_; }

    /// The scale step in per cent (the one the window returns to from full screen).
    int scalePercent() const { return percent_; }
    /// Shows the window at a step (the largest that fits the screen when it does not) and remembers it.
    void setScalePercent(int percent);
    /// Once shown (its frame and screen known), a window whose scale does not fit the screen takes the
    /// largest step that does, for this run only.
    void fitToScreen();
    /// 放大显示, 缩小显示, 原始大小.
    void scaleUp();
    void scaleDown();
    void resetScale();

    /// Grows the window's content to at least `logical` (pixels at 100 %), as enlarging the window by hand
    /// does: the window grows at its scale, or full screen fits the larger content.
    void growContent(QSize logical);

    /// 全屏: the window full screen, its content at the largest scale that fits, centred; again returns to
    /// the window as it was.
    void toggleFullScreen();
    bool isFullScreen() const { return fullScreen_; }

    /// The factor the content is shown at, and where the content starts in the window.
    qreal factor() const { return layout_.factor(); }
    QPoint origin() const { return origin_; }

    /// Paints the window's background picture (`size` at 100 %) at the scale, behind the content; `tiled`
    /// repeats it over the whole window.
    void paintBackground(QPainter& p, const QString& source, QSize size, bool tiled);

    /// True when a right-click at this window position opens the menu: on the window itself or on a
    /// picture or text, not on a control or the canvas.
    bool isFreeArea(QPoint pos) const;

    /// The Menu key or Shift+F10: the focused control's own menu where it has one (a text box's edit
    /// menu), else the window's menu, at the focused control.
    void openMenuFromKeyboard();

    /// For the window's focusNextPrevChild: when the focused control has just been disabled, the focus
    /// goes to the canvas rather than on to the next control (where a key meant for the disabled one would
    /// do something else), and screen readers hear that the control is unavailable. True when it did.
    bool focusCanvasForDisabled();

    /// 高对比度: the next curves in the palette's dark colours, twice as wide; again returns to the
    /// program's own colours. Remembered for the next run.
    void setHighContrast(bool on);
    /// The hold of a finger on the free area.
    TouchHold& touchHold() { return *hold_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* command(const QString& text, const QList<QKeySequence>& keys, void (WindowCommands::*slot)());
    int largestFittingStep() const;
    void applyStep(int percent);
    void fitFullScreen();
    void setWindowSize(QSize size);
    void keepOnScreen();
    bool escapeFullScreen(const QKeyEvent* event);
    void windowResized();
    bool isPassive(const QWidget* w) const;
    void showMenu(QPoint globalPos);
    bool menuOnFreeArea(const QContextMenuEvent* event);
    void updateTabChain();
    bool touchOnWindow(QTouchEvent* event);
    void fingerOnFreeArea(QMouseEvent* event);

    QWidget* window_;
    QString program_;
    ScaledLayout layout_;
    QMenu* menu_;
    QSizeF logicalSize_;
    QSize setSize_;
    bool fixedSize_;
    int percent_ = 100;
    bool fullScreen_ = false;
    QRect normalGeometry_;
    QPoint origin_;
    QPixmap background_;
    QString backgroundSource_;
    /// Controls left out of the Tab chain while they lie outside the window's visible area, with the
    /// focus policy they get back when they show.
    QHash<QWidget*, Qt::FocusPolicy> outOfView_;
    TouchHold* hold_;
};

} // namespace canvas
