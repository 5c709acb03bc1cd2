#include "classroom/exportdialogs.h"

#include "widgets/controls.h"
#include "widgets/displayscale.h"
#include "widgets/qtmessagebox.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

#include <utility>

namespace canvas {

namespace {

// A dialog laid out by Qt grows with its font: it opens at the window's scale, text and all.
void fitDialogToDisplayScale(QDialog& dialog) {
    const qreal factor = DisplayScale::instance().factor();
    if (factor == 1.0)
        return;
    dialog.setFont(scaledFont(dialog.font(), factor));
    dialog.resize(dialog.sizeHint().expandedTo(dialog.size() * factor));
}

class SystemDialogs : public ExportDialogs {
public:
    QString saveFileName(QWidget* parent, const QString& title, const QStringList& filters,
                         QString* filter) override {
        // The dialog does not ask about an existing file: it would ask about the name as typed, before the
        // type's extension is appended, and so miss the file that is really replaced. The command asks
        // once the name is settled.
        QFileDialog dialog(parent, title, QString(), filters.join(QStringLiteral(";;")));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (filter && !filter->isEmpty())
            dialog.selectNameFilter(*filter);
        fitDialogToDisplayScale(dialog);
        if (dialog.exec() != QDialog::Accepted)
            return {};
        if (filter)
            *filter = dialog.selectedNameFilter();
        return dialog.selectedFiles().value(0);
    }
    bool confirmReplace(QWidget* parent, const QString& title, const QString& question) override {
        QMessageBox box(QMessageBox::Warning, title, question, QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::No);
        fitToDisplayScale(box);
        return box.exec() == QMessageBox::Yes;
    }
    bool setUpPrinter(QWidget* parent, QPrinter& printer) override {
        QPrintDialog dialog(&printer, parent);
        fitDialogToDisplayScale(dialog);
        return dialog.exec() == QDialog::Accepted;
    }
};

std::shared_ptr<ExportDialogs>& installed() {
    static std::shared_ptr<ExportDialogs> dialogs = std::make_shared<SystemDialogs>();
    return dialogs;
}

} // namespace

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
