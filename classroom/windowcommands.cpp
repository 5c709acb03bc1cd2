#include "classroom/windowcommands.h"

#include "classroom/numberpad.h"
#include "drawing/curvestyle.h"
#include "runtime/storedsettings.h"

#include "widgets/controls.h"
#include "widgets/displayscale.h"
#include "widgets/messagebar.h"
#include "widgets/touchhold.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTouchEvent>

#include <algorithm>
#include <cmath>

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

void WindowCommands::setHighContrast(bool on) {
    CurveStyle::instance().setHighContrast(on);
    storeHighContrast(program_, on);
}

bool WindowCommands::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu)
        return menuOnFreeArea(static_cast<QContextMenuEvent*>(event));
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
        if (escapeFullScreen(static_cast<QKeyEvent*>(event)))
            return true;
        break;
    case QEvent::Resize:
        windowResized();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace canvas
