// The menus as a screen reader meets them: a text box's edit menu in the window's tree, 高对比度 read on or
// off and told when pressed, a command pressed through an assistive tool answering before its dialog opens,
// and the focus back where it was once a dialog closes. That a menu says it opens is heard in the Orca
// lesson: Qt tells of it only to a screen reader that is listening.

#include "classroom/windowcommands.h"
#include "drawing/curvestyle.h"
#include "power/mainwindow.h"
#include "widgets/messagebar.h"

#include "../support/fakeexportdialogs.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct Window {
    quorvex::MainWindow form;
    canvas::WindowCommands& commands = *canvas::WindowCommands::of(&form);
    Window() {
        form.show();
        QApplication::setActiveWindow(&form);
    }
    QString lastSpoken() { return canvas::MessageBar::of(&form)->lastMessage(); }
    QAction* command(const QString& text) {
        for (QAction* a : commands.menu()->actions())
            if (a->text() == text)
                return a;
        ADD_FAILURE() << text.toStdString();
        return nullptr;
    }
    QAccessibleInterface* item(QAction* action) {
        QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(commands.menu());
        return menu->child(static_cast<int>(commands.menu()->actions().indexOf(action)));
    }
};

QMenu* openEditMenu(QLineEdit* box) {
    box->setFocus();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(2, 2), box->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(box, &event);
    return box->findChild<QMenu*>();
}

} // namespace

TEST(Menus, ATextBoxsEditMenuIsInItsWindowAndPressable) {
    Window w;
    w.form.controls().xMaxBox->setText(QStringLiteral("-10"));
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&w.form);
    const int closed = window->childCount();
    QMenu* menu = openEditMenu(w.form.controls().xMaxBox);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(window->childCount(), closed + 1);
    QAccessibleInterface* shown = window->child(closed);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->object(), menu);
    EXPECT_EQ(window->indexOfChild(shown), closed);

    // 全选 pressed as an assistive tool presses it: the text selected, the menu closed as after a click.
    // Found by its key, as the menu shows it: its words are Qt's, in the machine's language here.
    const QString selectAllKey = QKeySequence(QKeySequence::SelectAll).toString(QKeySequence::NativeText);
    QAccessibleInterface* selectAll = nullptr;
    for (int i = 0; i < shown->childCount(); ++i)
        if (shown->child(i)->text(QAccessible::Name).endsWith(u'\t' + selectAllKey))
            selectAll = shown->child(i);
    ASSERT_NE(selectAll, nullptr);
    selectAll->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(w.form.controls().xMaxBox->selectedText(), QStringLiteral("-10"));
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(window->childCount(), closed);
}

TEST(Menus, HighContrastIsReadOnOrOffAndToldWhenPressed) {
    Window w;
    canvas::CurveStyle::instance().setHighContrast(false);
    QAction* contrast = w.command(QStringLiteral("高对比度"));
    ASSERT_NE(contrast, nullptr);
    contrast->setChecked(false);
    struct Step {
        const char* nameBefore;
        const char* told;
        bool on;
    };
    const Step steps[] = {{"高对比度，未勾选", "高对比度 已打开", true},
                          {"高对比度", "高对比度 已关闭", false}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.told);
        w.commands.openMenuFromKeyboard();
        QAccessibleInterface* item = w.item(contrast);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->role(), QAccessible::MenuItem);
        EXPECT_EQ(item->text(QAccessible::Name), QString::fromUtf8(step.nameBefore));
        EXPECT_EQ(item->state().checked, !step.on);
        EXPECT_EQ(item->parent()->indexOfChild(item), w.commands.menu()->actions().indexOf(contrast));
        item->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        EXPECT_EQ(w.lastSpoken(), QString::fromUtf8(step.told));
        EXPECT_EQ(canvas::CurveStyle::instance().highContrast(), step.on);
        EXPECT_FALSE(w.commands.menu()->isVisible());
    }
}

TEST(Menus, ACommandPressedInItsOpenMenuOpensItsDialogAfterThePressIsAnswered) {
    testsupport::FakeExportDialogs dialogs;
    Window w;
    dialogs.answer(QString());
    w.commands.openMenuFromKeyboard();
    QAction* exporting = w.command(QStringLiteral("导出图像…"));
    ASSERT_NE(exporting, nullptr);
    w.item(exporting)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(dialogs.answers().asked, 0);
    EXPECT_FALSE(w.commands.menu()->isVisible());
    QCoreApplication::sendPostedEvents(&w.form, QEvent::MetaCall);
    EXPECT_EQ(dialogs.answers().asked, 1);
    // From its keys (its menu closed), the command asks at once.
    exporting->trigger();
    EXPECT_EQ(dialogs.answers().asked, 2);
}

TEST(Menus, TheFocusIsBackWhereItWasAfterADialogOfTheCanvas) {
    testsupport::FakeExportDialogs dialogs;
    Window w;
    // Whatever takes the window's focus while the dialog is open (the first box, here), it goes back.
    dialogs.answers().whileOpen = [&] { w.form.controls().xMaxBox->setFocus(); };
    dialogs.answer(QString());
    const std::pair<const char*, QKeySequence> commands[] = {
        {"导出图像…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}, {"打印…", QKeySequence::Print}};
    for (const auto& [name, keys] : commands) {
        SCOPED_TRACE(name);
        w.form.controls().canvas->setFocus();
        QTest::keySequence(&w.form, keys);
        EXPECT_EQ(QApplication::focusWidget(), w.form.controls().canvas);
    }
}
