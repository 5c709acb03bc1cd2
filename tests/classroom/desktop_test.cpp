// Copying the canvas to the clipboard, in all three programs.

#include "expolog/family.h"
#include "power/mainwindow.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void checkCopy(QWidget* window, canvas::CanvasWidget* canvas, QLineEdit* box) {
    window->show();
    QApplication::setActiveWindow(window);
    QGuiApplication::clipboard()->clear();
    canvas->setFocus();
    QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier);
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_FALSE(copied.isNull());
    EXPECT_EQ(copied.size(), canvas->surface().size());
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
              canvas->surface().picture().convertToFormat(QImage::Format_RGB32));

    // A box with selected text copies the text; one without a selection lets the picture be copied.
    box->setText(QStringLiteral("-7.5"));
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("-7.5"));
    box->deselect();
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_FALSE(QGuiApplication::clipboard()->image().isNull());
}

} // namespace

TEST(CanvasCopy, CtrlCPutsThePictureOnTheClipboard) {
    {
        quorvex::MainWindow form;
        checkCopy(&form, form.controls().canvas, form.controls().xMaxBox);
    }
    for (const expolog::Family* family : {&expolog::kZelmora, &expolog::kTavrinth}) {
        expolog::MainWindow form(*family);
        checkCopy(&form, form.controls().canvas, form.controls().xMinBox);
    }
}
