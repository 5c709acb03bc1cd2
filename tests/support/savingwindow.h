#pragma once

// A Quorvex window with its save dialog open on a folder, messages recorded and the question before
// replacing a file answered 是: for the tests of saving.

#include "fakeexportdialogs.h"
#include "messagerecorder.h"
#include "power/mainwindow.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

namespace testsupport {

struct SavingWindow {
    MessageRecorder messages;
    FakeExportDialogs dialogs;
    quorvex::MainWindow form;
    quorvex::SaveDialog* dialog = nullptr;
    explicit SavingWindow(const QString& folder) {
        form.onSaveClicked();
        dialog = form.saveDialog();
        dialog->controls().folderList->setPath(folder);
    }
    /// Types the name and presses 保存.
    void save(const QString& name) {
        dialog->controls().nameBox->setText(name);
        QTest::mouseClick(dialog->controls().saveButton, Qt::LeftButton);
    }
    /// Plots y = x^exponent, so the next save writes a different picture.
    void plotCurve(const char* exponent) {
        form.controls().integerFormOption->click();
        form.controls().mBox->setText(QString::fromLatin1(exponent));
        form.onPlotClicked();
    }
};

/// The bytes of a file; empty when it cannot be read.
inline QByteArray contents(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace testsupport
