#include "classroom/canvascommands.h"

#include "classroom/canvascopy.h"
#include "classroom/curveexplorer.h"
#include "classroom/exportdialogs.h"
#include "classroom/pictureexport.h"
#include "classroom/windowcommands.h"
#include "curves/curvesound.h"
#include "runtime/messagebox.h"
#include "runtime/runtime.h"
#include "runtime/savefile.h"
#include "runtime/unexpectedfailure.h"
#include "widgets/messagebar.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QPrinter>

#include <exception>
#include <optional>

namespace canvas {

namespace {

const QString kExportTitle = QStringLiteral("导出图像");
const QString kSoundTitle = QStringLiteral("保存声音");
const QString kSoundFilter = QStringLiteral("WAV (*.wav)");

// A command runs from a key or a menu: nothing it meets may leave it. Its own failures it reports itself
// (a file that cannot be written); a run-time error ends it quietly, anything else is a fault.
template <class F> void guarded(F&& command) {
    try {
        command();
    } catch (const RuntimeError&) {
    } catch (const std::exception& failure) {
        reportUnexpectedFailure("a canvas command", failure);
    }
}

// A command pressed through an assistive tool (its "press" on the menu item) runs inside the tool's request,
// and the tool would wait for its answer until the command's dialog closed. Qt triggers such a command while
// its menu still shows, where a click or a key closes the menu first: that command opens its dialog once
// the request is answered.
bool pressedInOpenMenu(const QAction* action) {
    for (const QObject* shown : action->associatedObjects())
        if (const auto* menu = qobject_cast<const QMenu*>(shown); menu && menu->isVisible())
            return true;
    return false;
}

QAction* addCommand(QWidget* window, const QString& text, const QKeySequence& keys) {
    auto* action = new QAction(text, window);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window->addAction(action);
    return action;
}

} // namespace

void runDialogCommand(QAction* action, QWidget* window, const std::function<void()>& command) {
    // Whatever had the focus in the window has it again once the dialog closes: Qt would give it to the
    // window's first box.
    auto run = [window, command] {
        const QPointer<QWidget> focused = window->focusWidget();
        guarded(command);
        if (focused && focused->isVisible() && focused->isEnabled())
            focused->setFocus(Qt::OtherFocusReason);
    };
    if (pressedInOpenMenu(action))
        QMetaObject::invokeMethod(window, run, Qt::QueuedConnection);
    else
        run();
}

QString savedWords(const QString& path) {
    // The file's name, not its folders: a path read out is a string of slashes and underscores.
    return QStringLiteral("已保存到 ") + QFileInfo(path).fileName();
}

QString exportFailureText(const QString& path, const QString& reason) {
    return QStringLiteral("图像未能保存到 %1：%2").arg(QDir::toNativeSeparators(path), reason);
}

namespace {

// The program a window belongs to, by the name its settings are kept under.
QString programOf(QWidget* window) {
    const WindowCommands* commands = WindowCommands::of(window);
    return commands ? commands->program() : QCoreApplication::applicationName();
}

// Asks for the name of a file of one of the types and settles it (the name and the chosen type in, the
// target out); once the extension is settled, asks before replacing a file. Nothing when the user stops.
// With `whiteBackground` the dialog also offers 白色背景.
template <class Settle>
auto askTarget(QWidget* window, const QString& title, const QStringList& filters, Settle settle,
               bool* whiteBackground = nullptr) -> std::optional<decltype(settle(QString(), QString()))> {
    QString filter = filters.front();
    QString name;
    {
        const ModalScope modal;
        name = exportDialogs().saveFileName(window, title, filters, &filter, whiteBackground);
    }
    if (name.isEmpty())
        return std::nullopt;
    const auto target = settle(name, filter);
    if (QFileInfo::exists(target.path)) {
        const ModalScope modal;
        if (!exportDialogs().confirmReplace(window, title, replaceQuestion(target.path)))
            return std::nullopt;
    }
    return target;
}

struct SoundTarget {
    QString path;
};

} // namespace

void exportCanvas(QWidget* window, CanvasWidget* canvas) {
    const QString program = programOf(window);
    bool white = storedWhiteBackground(program);
    const auto target = askTarget(window, kExportTitle, exportFilters(), exportTarget, &white);
    if (!target)
        return;
    storeWhiteBackground(program, white);
    QString reason;
    if (!writePicture(canvas->surface(), target->path, target->format, &reason,
                      pictureLook(program, canvas->description(), white)))
        MsgBox(exportFailureText(target->path, reason), kWarningTitle, MessageIcon::Exclamation);
    else
        speak(window, savedWords(target->path));
}

void saveCurveSound(QWidget* window, CanvasWidget* canvas) {
    const CurveExplorer* explorer = CurveExplorer::of(canvas);
    const std::optional<CurveRecord> curve = explorer ? explorer->chosenCurve() : std::nullopt;
    if (!curve) {
        MsgBox(QStringLiteral("画布上没有图象。"), kHintTitle, MessageIcon::Information);
        return;
    }
    const auto target =
        askTarget(window, kSoundTitle, {kSoundFilter}, [](const QString& name, const QString&) {
            return SoundTarget{name.endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive)
                                   ? name
                                   : name + QStringLiteral(".wav")};
        });
    if (!target)
        return;
    const SaveOutcome outcome = saveFile(
        target->path, wavFile(renderCurveSound(*curve, canvas->description().view(), kSoundSeconds)));
    if (outcome != SaveOutcome::Saved)
        MsgBox(QStringLiteral("声音未能保存到 %1：%2")
                   .arg(QDir::toNativeSeparators(target->path), saveFailureReason(outcome)),
               kWarningTitle, MessageIcon::Exclamation);
    else
        speak(window, savedWords(target->path));
}

void printCanvas(QWidget* window, CanvasWidget* canvas) {
    const QString program = programOf(window);
    QPrinter printer(QPrinter::HighResolution);
    // The job's name in the printer's queue, and the title of a PDF printed to.
    printer.setDocName(pictureLook(program, canvas->description(), false).title);
    printer.setCreator(program);
    bool white = storedWhiteBackground(program);
    bool chosen = false;
    {
        const ModalScope modal;
        chosen = exportDialogs().setUpPrinter(window, printer, &white);
    }
    if (!chosen)
        return;
    storeWhiteBackground(program, white);
    if (!printPicture(canvas->surface().displayList(), printer, white)) {
        MsgBox(QStringLiteral("图像未能打印。"), kWarningTitle, MessageIcon::Exclamation);
        return;
    }
    speak(window, printer.outputFileName().isEmpty() ? QStringLiteral("已送往打印机 ") + printer.printerName()
                                                     : savedWords(printer.outputFileName()));
}

QList<QAction*> addCanvasCommands(QWidget* window, CanvasWidget* canvas) {
    auto* copy = new CanvasCopy(window, canvas);
    QAction* exporting =
        addCommand(window, QStringLiteral("导出图像…"), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    QAction* printing = addCommand(window, QStringLiteral("打印…"), QKeySequence::Print);
    QAction* copying = addCommand(window, QStringLiteral("复制图像"), QKeySequence::Copy);
    new CurveExplorer(canvas);
    QAction* sound = addCommand(window, QStringLiteral("保存声音…"), QKeySequence());
    QObject::connect(exporting, &QAction::triggered, window, [exporting, window, canvas] {
        runDialogCommand(exporting, window, [window, canvas] { exportCanvas(window, canvas); });
    });
    QObject::connect(printing, &QAction::triggered, window, [printing, window, canvas] {
        runDialogCommand(printing, window, [window, canvas] { printCanvas(window, canvas); });
    });
    QObject::connect(copying, &QAction::triggered, copy, [copy] { guarded([&] { copy->copyPicture(); }); });
    QObject::connect(sound, &QAction::triggered, window, [sound, window, canvas] {
        runDialogCommand(sound, window, [window, canvas] { saveCurveSound(window, canvas); });
    });
    return {exporting, printing, copying, sound};
}

} // namespace canvas
