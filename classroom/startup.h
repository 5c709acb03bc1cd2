#pragma once

// What each program does at start-up before its window: the language of Qt's own words, the fonts, the
// message boxes and the command-line options; then it shows the window and runs until the window closes.

#include <QLibraryInfo>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QTranslator;
class QWidget;

namespace canvas {

/// Called before the application is made: Qt's file dialogs show dates and sizes in the system locale,
/// which Qt reads once as the application starts, so for that moment the system's time and message
/// categories are Chinese (its numbers, money, measures and sorting stay the machine's);
/// installChineseLanguage puts the machine's own back for everything else.
void prepareChineseSystemLocale();

/// Makes Qt's own words (message box buttons, the file and print dialogs, a text box's menu) Chinese and
/// the default locale Chinese (China), whatever the machine's language: the programs are Chinese
/// throughout. The words Qt's catalogue lacks ("Folder" in a file dialog's type column, say) come from
/// the programs' own small catalogue, installed after Qt's. Call once the application exists, before any
/// window. Without `qtbase_zh_CN.qm` in `folder` Qt's words stay English and one line on stderr names the
/// missing file. Returns the installed translator of Qt's words (the application owns it), or null
/// without the file.
QTranslator*
installChineseLanguage(const QString& folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

/// What the command line asks for: a scale for this run, full screen, or only the options printed.
struct StartOptions {
    std::optional<int> scale;
    bool fullScreen = false;
    /// A lesson file to open once the window shows.
    QString lessonFile;
    /// Set when the program should end at once with this code (after --help or --version, or on a wrong
    /// option).
    std::optional<int> exitCode;
};

/// Reads the options (--scale=PERCENT, --fullscreen, --help, --version) and at most one lesson file from
/// the arguments (anything else named is an error, as is a second name), printing the
/// help, the version or the error where asked, and sets the program's display scale (the one asked for, or
/// the one stored by the last run) and its stored curve contrast.
StartOptions readStartOptions(const QString& program, const QStringList& arguments);

/// Shows a program's main window as the options ask, with the lesson file opened in it.
void showMainWindow(QWidget& window, const StartOptions& options);

/// Runs a program from its main(): makes the application Chinese with the programs' fonts and message
/// boxes, reads the command line as `program`, then shows the window `makeWindow` builds and returns the
/// exit code once it closes (or the options' own code, before any window). The window goes before the
/// application does.
int runProgram(int& argc, char* argv[], const QString& program,
               const std::function<std::unique_ptr<QWidget>()>& makeWindow);

} // namespace canvas
