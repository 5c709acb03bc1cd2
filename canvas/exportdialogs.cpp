#include "exportdialogs.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

#include <utility>

namespace canvas {

namespace {

class SystemDialogs : public ExportDialogs {
public:
    QString saveFileName(QWidget* parent, const QString& title, const QStringList& filters,
                         QString* filter) override {
        // The file is replaced atomically and only after the dialog has asked about an existing one.
        return QFileDialog::getSaveFileName(parent, title, QString(), filters.join(QStringLiteral(";;")),
                                            filter);
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

ExportDialogs& exportDialogs() {
    return *installed();
}

std::shared_ptr<ExportDialogs> setExportDialogs(std::shared_ptr<ExportDialogs> dialogs) {
    if (!dialogs)
        dialogs = std::make_shared<SystemDialogs>();
    return std::exchange(installed(), std::move(dialogs));
}

} // namespace canvas
