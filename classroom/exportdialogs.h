#pragma once

// The two system dialogs of the export and print commands, behind a replaceable service so that tests can
// answer them instead of blocking on a real modal dialog.

#include <QString>
#include <QStringList>

#include <memory>

class QCheckBox;
class QDialog;
class QFileDialog;
class QPrintDialog;
class QPrinter;
class QWidget;

namespace canvas {

class ExportDialogs {
public:
    virtual ~ExportDialogs() = default;
    /// Asks for the name of a file to write; returns an empty name when the user cancels. `filter` holds
    /// the type first offered and receives the one chosen. With `whiteBackground`, the dialog offers
    /// 白色背景 as it holds and gives back the choice.
    virtual QString saveFileName(QWidget* parent, const QString& title, const QStringList& filters,
                                 QString* filter, bool* whiteBackground) = 0;
    /// Asks whether an existing file may be replaced; true when the user agrees.
    virtual bool confirmReplace(QWidget* parent, const QString& title, const QString& question) = 0;
    /// Lets the user choose and set up a printer, and 白色背景 as `whiteBackground` holds it; false when the
    /// user cancels.
    virtual bool setUpPrinter(QWidget* parent, QPrinter& printer, bool* whiteBackground) = 0;
};

/// The file dialog of 导出图像… and 保存声音…, made but not run, at the display scale with its columns
/// fitting what they show: saves under a name of one of the `filters` (offering `filter` first), never
/// asking itself about an existing file.
std::unique_ptr<QFileDialog> makeSaveFileDialog(QWidget* parent, const QString& title,
                                                const QStringList& filters, const QString& filter);

/// The print dialog of 打印…, made but not run, its printer list and its "..." button named for a
/// screen reader; it and the dialogs it opens (属性, the file chooser) open at the display scale.
std::unique_ptr<QPrintDialog> makePrintDialog(QPrinter& printer, QWidget* parent);

/// A dialog laid out by Qt grows with its font: it opens at the window's scale, text and all, its file
/// columns fitting what they show, and whole on the screen.
void fitDialogToDisplayScale(QDialog& dialog);

/// Adds the option 白色背景 (the canvas on white in that file or print only) to Qt's file or print
/// dialog, checked as `on` says, and returns it.
QCheckBox* addWhiteBackgroundOption(QDialog& dialog, bool on);

/// Whether the program put its exports and prints on white at their last use (off when never set).
bool storedWhiteBackground(const QString& program);
/// Remembers the 白色背景 choice for the next export or print, also in later runs.
void storeWhiteBackground(const QString& program, bool on);

/// The question asked before an existing file is replaced: "‹name› 已存在。要替换它吗？".
QString replaceQuestion(const QString& path);

/// The service in use: the system's dialogs unless another was installed.
ExportDialogs& exportDialogs();

/// Installs the service; returns the previous one. A null service brings back the system's dialogs.
std::shared_ptr<ExportDialogs> setExportDialogs(std::shared_ptr<ExportDialogs> dialogs);

} // namespace canvas
