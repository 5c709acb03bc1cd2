#include "classroom/canvascommands.h"

#include "classroom/canvascopy.h"
#include "classroom/exportdialogs.h"
#include "classroom/pictureexport.h"
#include "runtime/messagebox.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>

#include <exception>

namespace canvas {

namespace {

const QString kExportTitle = QStringLiteral("导出图像");

// A command runs from a key or a menu: nothing it meets may leave it.
template <class F> void guarded(F&& command) {
    try {
        command();
    } catch (const std::exception&) {
    }
}

QAction* addCommand(QWidget* window, const QString& text, const QKeySequence& keys) {
    auto* action = new QAction(text, window);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window->addAction(action);
    return action;
}

} // namespace

QString exportFailureText(const QString& path, const QString& reason) {
    return QStringLiteral("图像未能保存到 %1：%2").arg(QDir::toNativeSeparators(path), reason);
}

void exportCanvas(QWidget* window, Surface& surface) {
    QString filter = exportFilters().front();
    QString name;
    {
        const ModalScope modal;
        name = exportDialogs().saveFileName(window, kExportTitle, exportFilters(), &filter);
    }
    if (name.isEmpty())
        return;
    const ExportTarget target = exportTarget(name, filter);
    if (QFileInfo::exists(target.path)) {
        const ModalScope modal;
        if (!exportDialogs().confirmReplace(window, kExportTitle, replaceQuestion(target.path)))
            return;
    }
    QString reason;
    if (!writePicture(surface, target.path, target.format, &reason))
        MsgBox(exportFailureText(target.path, reason), kWarningTitle, MessageIcon::Exclamation);
}

void printCanvas(QWidget* window, Surface& surface) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(window->windowTitle());
    bool chosen = false;
    {
        const ModalScope modal;
        chosen = exportDialogs().setUpPrinter(window, printer);
    }
    if (chosen)
        printPicture(surface.displayList(), printer);
}

QList<QAction*> addCanvasCommands(QWidget* window, CanvasWidget* canvas) {
    auto* copy = new CanvasCopy(window, canvas);
    QAction* exporting =
        addCommand(window, QStringLiteral("导出图像…"), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    QAction* printing = addCommand(window, QStringLiteral("打印…"), QKeySequence::Print);
    QAction* copying = addCommand(window, QStringLiteral("复制图像"), QKeySequence::Copy);
    QObject::connect(exporting, &QAction::triggered, window,
                     [window, canvas] { guarded([&] { exportCanvas(window, canvas->surface()); }); });
    QObject::connect(printing, &QAction::triggered, window,
                     [window, canvas] { guarded([&] { printCanvas(window, canvas->surface()); }); });
    QObject::connect(copying, &QAction::triggered, copy, [copy] { guarded([&] { copy->copyPicture(); }); });
    return {exporting, printing, copying};
}

} // namespace canvas
