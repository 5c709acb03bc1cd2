#include "classroom/exportdialogs.h"

#include "widgets/controls.h"
#include "widgets/displayscale.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

#include <utility>

namespace canvas {

namespace {

class SystemDialogs : public ExportDialogs {
public:
    QString saveFileName(QWidget* parent, const QString& title, const QStringList& filters,
                         QString* filter) override {
        // The dialog does not ask about an existing file: it would ask about the name as typed, before the
        // type's extension is appended, and so miss the file that is really replaced. The command asks
        // once the name is settled.
        return QFileDialog::getSaveFileName(parent, title, QString(), filters.join(QStringLiteral(";;")),
                                            filter, QFileDialog::DontConfirmOverwrite);
    }
    bool confirmReplace(QWidget* parent, const QString& title, const QString& question) override {
        QMessageBox box(QMessageBox::Warning, title, question, QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::No);
        const qreal factor = DisplayScale::instance().factor();
        if (factor != 1.0)
            box.setFont(scaledFont(box.font(), factor));
        return box.exec() == QMessageBox::Yes;
    }
    bool setUpPrinter(QWidget* parent, QPrinter& printer) override {
        QPrintDialog dialog(&printer, parent);
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
