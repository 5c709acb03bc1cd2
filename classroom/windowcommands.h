#pragma once

// What every program window does beyond its own controls and handlers: the display scale keys (Ctrl+=,
// Ctrl++, Ctrl+-, Ctrl+0), full screen (F11, Esc), the right-click menu of the window's free area that lists
// those commands (and any a window adds), 高对比度 (curves in dark colours, twice as wide), the window's
// background picture at the scale, and the scale and contrast the program remembers between runs. A finger
// held still on the free area opens the menu there, as a right-click does. Also what each program does at
// start-up before its window: the language of Qt's own words and the command-line options.

#include "classroom/scaledlayout.h"

#include <QAction>
#include <QHash>
#include <QLibraryInfo>
#include <QMenu>
#include <QObject>
#include <QPixmap>
#include <QSizeF>
#include <QStringList>

#include <optional>

class QTranslator;
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
    bool isPassive(const QWidget* w) const;
    void showMenu(QPoint globalPos);
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

/// Called before the application is made: Qt's file dialogs show dates and sizes in the system locale,
/// which Qt reads once as the application starts, so for that moment the system's time and message
/// categories are Chinese (its numbers, money, measures and sorting stay the machine's);
/// installChineseLanguage puts the machine's own back for everything else.
void prepareChineseSystemLocale();

/// Makes Qt's own words (message box buttons, the file and print dialogs, a text box's menu) Chinese and
/// the default locale Chinese (China), whatever the machine's language: the programs are Chinese
/// throughout. The words Qt's catalogue lacks ("Folder" in a file dialog's type column, say) come from
/// the programs' own small catalogue, installed after Qt's. Call once the application exists, before any
/// window. Without `qtbase_zh_CN.qm` in `folder` Qt's words stay English and one line on stderr names the
/// missing file. Returns the installed translator of Qt's words (the application owns it), or null
/// without the file.
QTranslator*
installChineseLanguage(const QString& folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

/// What the command line asks for: a scale for this run, full screen, or only the options printed.
struct StartOptions {
    std::optional<int> scale;
    bool fullScreen = false;
    /// Set when the program should end at once with this code (after --help or --version, or on a wrong
    /// option).
    std::optional<int> exitCode;
};

/// Reads the options (--scale=PERCENT, --fullscreen, --help, --version) from the arguments, printing the
/// help, the version or the error where asked, and sets the program's display scale (the one asked for, or
/// the one stored by the last run) and its stored curve contrast.
StartOptions readStartOptions(const QString& program, const QStringList& arguments);

/// Shows a program's main window as the options ask.
void showMainWindow(QWidget& window, const StartOptions& options);

} // namespace canvas
