#include "classroom/windowcommands.h"

#include "classroom/numberpad.h"
#include "drawing/curvestyle.h"
#include "runtime/storedsettings.h"
#include "runtime/usage.h"

#include "widgets/canvaswidget.h"
#include "widgets/controls.h"
#include "widgets/displayscale.h"
#include "widgets/imagecontrol.h"
#include "widgets/messagebar.h"
#include "widgets/touchhold.h"

#include <QAccessible>
#include <QCommandLineParser>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTouchEvent>
#include <QTranslator>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

namespace canvas {

WindowCommands::WindowCommands(QWidget* window, const QString& program)
    : QObject(window), window_(window), program_(program), layout_(window), menu_(new QMenu(window)),
      logicalSize_(window->size()), fixedSize_(window->minimumSize() == window->maximumSize()),
      hold_(new TouchHold(
          this, [this](QPointF pos) { showMenu(window_->mapToGlobal((pos * factor()).toPoint())); })) {
    setObjectName(QStringLiteral("windowCommands"));
    command(QStringLiteral("放大显示"),
            {QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)},
            &WindowCommands::scaleUp);
    command(QStringLiteral("缩小显示"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, &WindowCommands::scaleDown);
    command(QStringLiteral("原始大小"), {QKeySequence(Qt::CTRL | Qt::Key_0)}, &WindowCommands::resetScale);
    command(QStringLiteral("全屏"), {QKeySequence(Qt::Key_F11)}, &WindowCommands::toggleFullScreen);
    // The menu keys open a menu without joining one.
    auto* menuKeys = new QAction(this);
    menuKeys->setShortcuts({QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)});
    menuKeys->setShortcutContext(Qt::WindowShortcut);
    connect(menuKeys, &QAction::triggered, this, &WindowCommands::openMenuFromKeyboard);
    window_->addAction(menuKeys);
    // A command pressed through an assistive tool is only triggered: the menu closes as after a click.
    connect(menu_, &QMenu::triggered, menu_, &QMenu::hide);
    window_->installEventFilter(this);
    enterPressesButtons(window_);
    auto* contrast = new QAction(QStringLiteral("高对比度"), this);
    contrast->setCheckable(true);
    contrast->setChecked(CurveStyle::instance().highContrast());
    connect(contrast, &QAction::toggled, this, &WindowCommands::setHighContrast);
    connect(contrast, &QAction::toggled, this, [this](bool on) {
        speak(window_, on ? QStringLiteral("高对比度 已打开") : QStringLiteral("高对比度 已关闭"));
    });
    addCommand(contrast);
    window_->setAttribute(Qt::WA_AcceptTouchEvents);
    new NumberPad(window_);
    // Pictures and texts keep right-clicks from reaching the window; they are its free area all the same.
    for (QWidget* w : window_->findChildren<QWidget*>())
        if (!w->isWindow() && isPassive(w))
            w->installEventFilter(this);
    const int asked = static_cast<int>(std::lround(DisplayScale::instance().factor() * 100));
    applyStep(std::clamp(asked, kScaleSteps.front(), largestFittingStep()));
}

WindowCommands* WindowCommands::of(QWidget* window) {
    return window->findChild<WindowCommands*>(QStringLiteral("windowCommands"), Qt::FindDirectChildrenOnly);
}

QAction* WindowCommands::command(const QString& text, const QList<QKeySequence>& keys,
                                 void (WindowCommands::*slot)()) {
    auto* action = new QAction(text, this);
    action->setShortcuts(keys);
    connect(action, &QAction::triggered, this, slot);
    addCommand(action);
    return action;
}

WindowCommands::~WindowCommands() {
    writeStoredSettings();
}

void WindowCommands::addCommand(QAction* action) {
    action->setShortcutContext(Qt::WindowShortcut);
    action->setShortcutVisibleInContextMenu(true);
    window_->addAction(action);
    menu_->addAction(action);
}

int WindowCommands::largestFittingStep() const {
    const QScreen* screen = window_->screen();
    if (!screen)
        return kScaleSteps.back();
    const QSize frame =
        window_->isVisible() ? window_->frameGeometry().size() - window_->size() : QSize(0, 0);
    return canvas::largestFittingStep(logicalSize_.toSize(), frame, screen->availableGeometry().size());
}

void WindowCommands::setScalePercent(int percent) {
    if (fullScreen_)
        toggleFullScreen();
    applyStep(std::clamp(percent, kScaleSteps.front(), largestFittingStep()));
    storeScale(program_, percent_);
}

void WindowCommands::fitToScreen() {
    if (!fullScreen_)
        applyStep(std::min(percent_, largestFittingStep()));
}

void WindowCommands::scaleUp() {
    setScalePercent(stepUp(percent_, largestFittingStep()));
}

void WindowCommands::scaleDown() {
    setScalePercent(stepDown(percent_));
}

void WindowCommands::resetScale() {
    setScalePercent(kScaleSteps.front());
}

void WindowCommands::applyStep(int percent) {
    percent_ = percent;
    const qreal f = percent / 100.0;
    origin_ = QPoint();
    layout_.apply(f);
    setWindowSize(QSize(static_cast<int>(std::lround(logicalSize_.width() * f)),
                        static_cast<int>(std::lround(logicalSize_.height() * f))));
    DisplayScale::instance().setFactor(f);
    keepOnScreen();
    updateTabChain();
    window_->update();
}

void WindowCommands::growContent(QSize logical) {
    logicalSize_ = logicalSize_.expandedTo(QSizeF(logical));
    if (fullScreen_)
        fitFullScreen();
    else
        applyStep(percent_);
}

void WindowCommands::keepOnScreen() {
    const QScreen* screen = window_->screen();
    if (!screen || !window_->isVisible())
        return;
    // A window grown past the screen's edge comes back inside it, title bar first.
    const QRect area = screen->availableGeometry();
    const QRect frame = window_->frameGeometry();
    const QPoint inside(std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width())),
                        std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height())));
    if (inside != frame.topLeft())
        window_->move(inside);
}

void WindowCommands::setWindowSize(QSize size) {
    setSize_ = size;
    if (fixedSize_)
        window_->setFixedSize(size);
    else
        window_->resize(size);
}

void WindowCommands::toggleFullScreen() {
    if (!fullScreen_) {
        fullScreen_ = true;
        normalGeometry_ = window_->geometry();
        if (fixedSize_) {
            window_->setMinimumSize(0, 0);
            window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        }
        window_->showFullScreen();
        fitFullScreen();
        return;
    }
    fullScreen_ = false;
    window_->showNormal();
    applyStep(percent_);
    window_->move(normalGeometry_.topLeft());
}

void WindowCommands::fitFullScreen() {
    const QSize area = window_->size();
    const qreal f = std::min(area.width() / logicalSize_.width(), area.height() / logicalSize_.height());
    if (!std::isfinite(f) || f <= 0)
        return;
    origin_ = QPoint(static_cast<int>(std::lround((area.width() - logicalSize_.width() * f) / 2)),
                     static_cast<int>(std::lround((area.height() - logicalSize_.height() * f) / 2)));
    layout_.apply(f, origin_);
    DisplayScale::instance().setFactor(f);
    updateTabChain();
    window_->update();
}

void WindowCommands::updateTabChain() {
    // Tab must not take the focus where nothing shows (the inverse panel below the first view of a window
    // that can be enlarged). The chain keeps its order: a control only stops taking the focus by Tab
    // until it shows.
    const QRect visible = window_->rect();
    for (QWidget* w : window_->findChildren<QWidget*>()) {
        if (w->isWindow())
            continue;
        const bool shows = visible.intersects(QRect(w->mapTo(window_, QPoint(0, 0)), w->size()));
        const auto left = outOfView_.constFind(w);
        if (left == outOfView_.cend()) {
            if (!shows && (w->focusPolicy() & Qt::TabFocus)) {
                outOfView_.insert(w, w->focusPolicy());
                w->setFocusPolicy(Qt::FocusPolicy(w->focusPolicy() & ~Qt::TabFocus));
            }
        } else if (shows) {
            w->setFocusPolicy(*left);
            outOfView_.erase(left);
        }
    }
}

bool WindowCommands::isPassive(const QWidget* w) const {
    // Controls take the focus; what does not, and lies on nothing that does, is decoration.
    for (; w && w != window_; w = w->parentWidget())
        if (w->focusPolicy() != Qt::NoFocus)
            return false;
    return true;
}

bool WindowCommands::isFreeArea(QPoint pos) const {
    return window_->rect().contains(pos) && isPassive(window_->childAt(pos));
}

void WindowCommands::showMenu(QPoint globalPos) {
    menu_->setFont(window_->font());
    menu_->popup(globalPos);
}

void WindowCommands::openMenuFromKeyboard() {
    QWidget* target = window_->focusWidget() ? window_->focusWidget() : window_;
    // Where Qt places a menu opened from the keyboard: a text box's cursor, the middle of anything else.
    const QPoint pos = target->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, pos, target->mapToGlobal(pos));
    QCoreApplication::sendEvent(target, &event);
    // A control without a menu of its own leaves the event unaccepted, and keeps it from the window.
    if (!event.isAccepted())
        showMenu(event.globalPos());
}

bool WindowCommands::focusCanvasForDisabled() {
    QWidget* focused = window_->focusWidget();
    auto* canvas = window_->findChild<CanvasWidget*>();
    if (!focused || focused->isEnabled() || !canvas || !canvas->isVisible() || !canvas->isEnabled())
        return false;
    // Told while the control still has the focus, which is where a screen reader listens.
    QAccessible::State disabled;
    disabled.disabled = true;
    QAccessibleStateChangeEvent event(focused, disabled);
    QAccessible::updateAccessibility(&event);
    canvas->setFocus(Qt::OtherFocusReason);
    return true;
}

void WindowCommands::setHighContrast(bool on) {
    CurveStyle::instance().setHighContrast(on);
    storeHighContrast(program_, on);
}

bool WindowCommands::touchOnWindow(QTouchEvent* event) {
    // Touches reach the window from its free area and from controls that leave fingers to the mouse;
    // these it passes on untaken, so they become the mouse clicks the controls expect.
    const auto& points = event->points();
    if (event->type() == QEvent::TouchBegin &&
        (points.size() != 1 || !isFreeArea(points[0].position().toPoint()))) {
        event->ignore();
        return true;
    }
    event->accept();
    const QPointF pos = points.isEmpty() ? QPointF() : points[0].position() / factor();
    if (event->type() == QEvent::TouchBegin)
        hold_->start(pos);
    else if (event->type() == QEvent::TouchUpdate && points.size() == 1)
        hold_->move(pos);
    else
        hold_->stop();
    return true;
}

void WindowCommands::fingerOnFreeArea(QMouseEvent* event) {
    // Pictures and texts keep fingers from reaching the window, as they keep the mouse; Qt turns such a
    // finger into the mouse, which the picture may need for a click of its own. The hold follows that
    // pointer, so holding a picture or a text opens the menu as holding the bare window does.
    if (event->device()->type() != QInputDevice::DeviceType::TouchScreen)
        return;
    const QPointF pos = window_->mapFromGlobal(event->globalPosition()) / factor();
    if (event->type() == QEvent::MouseButtonPress)
        hold_->start(pos);
    else if (event->type() == QEvent::MouseMove)
        hold_->move(pos);
    else
        hold_->stop();
}

bool WindowCommands::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu) {
        auto* e = static_cast<QContextMenuEvent*>(event);
        if (!isFreeArea(window_->mapFromGlobal(e->globalPos())))
            return false;
        showMenu(e->globalPos());
        return true;
    }
    if (watched != window_) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            fingerOnFreeArea(static_cast<QMouseEvent*>(event));
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        return touchOnWindow(static_cast<QTouchEvent*>(event));
    case QEvent::KeyPress:
        // Only keys no control took arrive here: a text box that uses Esc keeps it.
        if (fullScreen_ && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            toggleFullScreen();
            return true;
        }
        break;
    case QEvent::Resize:
        if (fullScreen_)
            fitFullScreen();
        else if (!fixedSize_ && window_->size() != setSize_)
            // Enlarged by hand (the inverse panel below the first view): that is the window's content now.
            logicalSize_ = QSizeF(window_->size()) / layout_.factor();
        updateTabChain();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void WindowCommands::paintBackground(QPainter& p, const QString& source, QSize size, bool tiled) {
    const qreal f = layout_.factor();
    const qreal ratio = window_->devicePixelRatioF() * f;
    if (background_.isNull() || background_.devicePixelRatio() != ratio || backgroundSource_ != source) {
        background_ = renderPicture(source, size, ratio);
        backgroundSource_ = source;
    }
    if (!tiled) {
        p.save();
        p.translate(origin_);
        p.scale(f, f);
        p.drawPixmap(0, 0, background_);
        p.restore();
        return;
    }
    if (f == 1.0 && origin_.isNull()) {
        p.drawTiledPixmap(window_->rect(), background_);
        return;
    }
    // The tiles line up with the content wherever it sits in the window.
    p.save();
    p.translate(origin_);
    p.scale(f, f);
    const QRectF area(-origin_.x() / f, -origin_.y() / f, window_->width() / f, window_->height() / f);
    const QPointF start(std::fmod(std::fmod(area.x(), size.width()) + size.width(), size.width()),
                        std::fmod(std::fmod(area.y(), size.height()) + size.height(), size.height()));
    p.drawTiledPixmap(area, background_, start);
    p.restore();
}

namespace {

// What the environment held before prepareChineseSystemLocale changed it, variable by variable (no
// value: unset).
std::optional<std::vector<std::pair<const char*, std::optional<QByteArray>>>> machineLocale;

std::optional<QByteArray> environmentValue(const char* name) {
    if (!qEnvironmentVariableIsSet(name))
        return std::nullopt;
    return qgetenv(name);
}

// The programs' own catalogue of Qt's words, installed once and kept after Qt's own in the search order.
QTranslator* ownQtWords() {
    static QTranslator* translator = [] {
        auto* own = new QTranslator(QCoreApplication::instance());
        if (!own->load(QStringLiteral(":/translations/qtwords_zh_CN.qm")))
            std::fprintf(stderr, "%s: the programs' catalogue of Qt's words is missing\n",
                         qPrintable(QCoreApplication::applicationName()));
        return own;
    }();
    return translator;
}

} // namespace

void prepareChineseSystemLocale() {
    struct Variable {
        const char* name;
        const char* chinese; // null: the machine's
    };
    // Qt takes the system locale's language (and so the units of a size) from the messages category,
    // its date formats from the time category. LANGUAGE may outrank the first, LC_ALL every category:
    // LC_ALL's value passes to the categories that keep the machine's, numbers among them.
    static constexpr Variable kVariables[] = {
        {"LC_TIME", "zh_CN.UTF-8"},  {"LC_MESSAGES", "zh_CN.UTF-8"}, {"LANGUAGE", "zh_CN"},
        {"LC_CTYPE", nullptr},       {"LC_NUMERIC", nullptr},        {"LC_MONETARY", nullptr},
        {"LC_MEASUREMENT", nullptr}, {"LC_COLLATE", nullptr},        {"LC_ALL", nullptr},
    };
    const QByteArray all = qgetenv("LC_ALL");
    machineLocale.emplace();
    for (const Variable& variable : kVariables) {
        machineLocale->emplace_back(variable.name, environmentValue(variable.name));
        if (variable.chinese)
            qputenv(variable.name, variable.chinese);
        else if (!all.isEmpty())
            qputenv(variable.name, all);
    }
    qunsetenv("LC_ALL");
}

QTranslator* installChineseLanguage(const QString& folder) {
    if (machineLocale) {
        for (const auto& [name, value] : *machineLocale) {
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
        std::setlocale(LC_ALL, "");
        machineLocale.reset();
    }
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    const QString file = QDir(folder).filePath(QStringLiteral("qtbase_zh_CN.qm"));
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(file) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        translator = nullptr;
        std::fprintf(
            stderr,
            "%s: Qt's Chinese translations not found (%s); Qt's own buttons and dialogs stay English\n",
            qPrintable(QCoreApplication::applicationName()), qPrintable(QDir::toNativeSeparators(file)));
    }
    // Translators installed later are asked first: ours only holds what Qt's lacks.
    QCoreApplication::removeTranslator(ownQtWords());
    QCoreApplication::installTranslator(ownQtWords());
    return translator;
}

StartOptions readStartOptions(const QString& program, const QStringList& arguments) {
    // The options the parser takes are those the help lists: "-h, --help" gives the names h and help,
    // "--scale=PERCENT" the name scale with a value.
    QCommandLineParser parser;
    for (const UsageItem& item : commandLineOptions()) {
        QStringList names;
        QString valueName;
        for (QString form : QString::fromUtf8(item.name).split(QStringLiteral(", "))) {
            const auto equals = form.indexOf(u'=');
            if (equals >= 0) {
                valueName = form.mid(equals + 1);
                form.truncate(equals);
            }
            while (form.startsWith(u'-'))
                form.remove(0, 1);
            names << form;
        }
        parser.addOption(QCommandLineOption(names, QString::fromUtf8(item.text), valueName));
    }
    StartOptions options;
    // The programs open no files: a name on the command line (a picture to open, say) is as much a
    // mistake as an unknown option, and is told as one rather than ignored.
    const bool parsed = parser.parse(arguments);
    if (!parsed || !parser.positionalArguments().isEmpty()) {
        const QString error = parsed ? QStringLiteral("unexpected argument '%1'; the program opens no files")
                                           .arg(parser.positionalArguments().front())
                                     : parser.errorText();
        std::fprintf(stderr, "%s: %s\n\n%s", qPrintable(program), qPrintable(error),
                     qPrintable(helpText(program)));
        options.exitCode = 2;
        return options;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(helpText(program)), stdout);
        options.exitCode = 0;
        return options;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::fprintf(stdout, "%s %s\n", qPrintable(program), qPrintable(programVersion()));
        options.exitCode = 0;
        return options;
    }
    const QString scale = QStringLiteral("scale");
    const QString fullScreen = QStringLiteral("fullscreen");
    if (parser.isSet(scale)) {
        options.scale = parseScaleStep(parser.value(scale));
        if (!options.scale) {
            std::fprintf(stderr, "%s: --scale takes one of 100, 125, 150, 175, 200, 250, 300\n",
                         qPrintable(program));
            options.exitCode = 2;
            return options;
        }
    }
    options.fullScreen = parser.isSet(fullScreen);
    DisplayScale::instance().setFactor(options.scale.value_or(storedScale(program)) / 100.0);
    CurveStyle::instance().setHighContrast(storedHighContrast(program));
    return options;
}

void showMainWindow(QWidget& window, const StartOptions& options) {
    window.show();
    WindowCommands* commands = WindowCommands::of(&window);
    if (!commands)
        return;
    commands->fitToScreen();
    if (options.fullScreen)
        commands->toggleFullScreen();
}

} // namespace canvas
