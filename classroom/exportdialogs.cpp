#include "classroom/exportdialogs.h"

#include "widgets/controls.h"
#include "widgets/displayscale.h"
#include "widgets/qtmessagebox.h"
#include "widgets/spokencombobox.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

#include <utility>

namespace canvas {

namespace {

// Qt's drop-down lists in its dialogs, read with their chosen entries.
void speakChoices(QDialog& dialog) {
    for (QComboBox* box : dialog.findChildren<QComboBox*>())
        makeComboBoxSpoken(box);
}

class SystemDialogs : public ExportDialogs {
public:
    QString saveFileName(QWidget* parent, const QString& title, const QStringList& filters,
                         QString* filter) override {
        const std::unique_ptr<QFileDialog> dialog =
            makeSaveFileDialog(parent, title, filters, filter ? *filter : QString());
        fitDialogToDisplayScale(*dialog);
        if (dialog->exec() != QDialog::Accepted)
            return {};
        if (filter)
            *filter = dialog->selectedNameFilter();
        return dialog->selectedFiles().value(0);
    }
    bool confirmReplace(QWidget* parent, const QString& title, const QString& question) override {
        QMessageBox box(QMessageBox::Warning, title, question, QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::No);
        fitToDisplayScale(box);
        return box.exec() == QMessageBox::Yes;
    }
    bool setUpPrinter(QWidget* parent, QPrinter& printer) override {
        const std::unique_ptr<QPrintDialog> dialog = makePrintDialog(printer, parent);
        fitDialogToDisplayScale(*dialog);
        return dialog->exec() == QDialog::Accepted;
    }
};

std::shared_ptr<ExportDialogs>& installed() {
    static std::shared_ptr<ExportDialogs> dialogs = std::make_shared<SystemDialogs>();
    return dialogs;
}

} // namespace

void fitDialogToDisplayScale(QDialog& dialog) {
    const qreal factor = DisplayScale::instance().factor();
    if (factor == 1.0)
        return;
    dialog.setFont(scaledFont(dialog.font(), factor));
    dialog.resize(dialog.sizeHint().expandedTo(dialog.size() * factor));
}

std::unique_ptr<QFileDialog> makeSaveFileDialog(QWidget* parent, const QString& title,
                                                const QStringList& filters, const QString& filter) {
    // The dialog does not ask about an existing file: it would ask about the name as typed, before the
    // type's extension is appended, and so miss the file that is really replaced. The command asks once
    // the name is settled.
    auto dialog = std::make_unique<QFileDialog>(parent, title, QString(), filters.join(QStringLiteral(";;")));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    if (!filter.isEmpty())
        dialog->selectNameFilter(filter);
    speakChoices(*dialog);
    return dialog;
}

std::unique_ptr<QPrintDialog> makePrintDialog(QPrinter& printer, QWidget* parent) {
    auto dialog = std::make_unique<QPrintDialog>(&printer, parent);
    // Qt's controls by the names Qt gives them; a Qt that names them otherwise keeps its own.
    if (auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers")))
        printers->setAccessibleName(QStringLiteral("打印机"));
    // "..." says nothing of what it does: it chooses the file printed to.
    if (auto* browse = dialog->findChild<QAbstractButton*>(QStringLiteral("fileBrowser")))
        browse->setAccessibleName(QStringLiteral("选择输出文件"));
    speakChoices(*dialog);
    return dialog;
}

QString replaceQuestion(const QString& path) {
    return QStringLiteral("%1 已存在。要替换它吗？").arg(QFileInfo(path).fileName());
}

ExportDialogs& exportDialogs() {
    return *installed();
}

std::shared_ptr<ExportDialogs> setExportDialogs(std::shared_ptr<ExportDialogs> dialogs) {
    if (!dialogs)
        dialogs = std::make_shared<SystemDialogs>();
    return std::exchange(installed(), std::move(dialogs));
}

} // namespace canvas
