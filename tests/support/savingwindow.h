#pragma once

// A Quorvex window with its save dialog open on a folder, messages recorded: for the tests of saving.

#include "messagerecorder.h"
#include "power/form1.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

namespace testsupport {

struct SavingWindow {
    MessageRecorder messages;
    quorvex::Form1 form;
    quorvex::Form2* dialog = nullptr;
    explicit SavingWindow(const QString& folder) {
        form.Command8_Click();
        dialog = form.saveDialog();
        dialog->Dir1->setPath(folder);
    }
    /// Types the name and presses 保存.
    void save(const QString& name) {
        dialog->Text1->setText(name);
        QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    }
    /// Plots y = x^exponent, so the next save writes a different picture.
    void plotCurve(const char* exponent) {
        form.Option1->click();
        form.Text5->setText(QString::fromLatin1(exponent));
        form.Command2_Click();
    }
};

/// The bytes of a file; empty when it cannot be read.
inline QByteArray contents(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace testsupport
