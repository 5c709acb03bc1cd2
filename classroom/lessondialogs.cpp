#include "classroom/lessondialogs.h"

#include "classroom/exportdialogs.h"
#include "curves/lessonfile.h"

#include <QFileDialog>

namespace canvas {

namespace {

class SystemLessonDialogs : public LessonDialogs {
public:
    QString saveName(QWidget* parent, const QString& title) override {
        const std::unique_ptr<QFileDialog> dialog =
            makeSaveFileDialog(parent, title, {lessonFilter()}, lessonFilter());
        dialog->setDefaultSuffix(kLessonExtension);
        return run(*dialog);
    }
    QString openName(QWidget* parent, const QString& title) override {
        QFileDialog dialog(parent, title, QString(), lessonFilter());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        fitDialogToDisplayScale(dialog);
        return run(dialog);
    }

private:
    static QString run(QFileDialog& dialog) {
        if (dialog.exec() != QDialog::Accepted)
            return {};
        return dialog.selectedFiles().value(0);
    }
};

std::shared_ptr<LessonDialogs>& installed() {
    static std::shared_ptr<LessonDialogs> dialogs;
    return dialogs;
}

} // namespace

LessonDialogs& lessonDialogs() {
    static SystemLessonDialogs system;
    LessonDialogs* d = installed().get();
    return d ? *d : system;
}

std::shared_ptr<LessonDialogs> setLessonDialogs(std::shared_ptr<LessonDialogs> dialogs) {
    return std::exchange(installed(), std::move(dialogs));
}

QString lessonFilter() {
    return QStringLiteral("课件 (*.%1)").arg(kLessonExtension);
}

} // namespace canvas
