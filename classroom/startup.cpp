#include "classroom/startup.h"

#include "classroom/explorerwindow.h"
#include "classroom/windowcommands.h"
#include "curves/lessonfile.h"
#include "drawing/curvestyle.h"
#include "drawing/fonts.h"
#include "runtime/messagebox.h"
#include "runtime/storedsettings.h"
#include "runtime/usage.h"

#include "widgets/displayscale.h"
#include "widgets/qtmessagebox.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTranslator>

#include <clocale>
#include <cstdio>
#include <utility>
#include <vector>

namespace canvas {

namespace {

// What the environment held before prepareChineseSystemLocale changed it, variable by variable (no
// value: unset).
std::optional<std::vector<std::pair<const char*, std::optional<QByteArray>>>> machineLocale;

std::optional<QByteArray> environmentValue(const char* name) {
    if (!qEnvironmentVariableIsSet(name))
        return std::nullopt;
    return qgetenv(name);
}

// The programs' own catalogue of Qt's words, installed once and kept after Qt's own in the search order.
QTranslator* ownQtWords() {
    static QTranslator* translator = [] {
        auto* own = new QTranslator(QCoreApplication::instance());
        if (!own->load(QStringLiteral(":/translations/qtwords_zh_CN.qm")))
            std::fprintf(stderr, "%s: the programs' catalogue of Qt's words is missing\n",
                         qPrintable(QCoreApplication::applicationName()));
        return own;
    }();
    return translator;
}

} // namespace

void prepareChineseSystemLocale() {
    struct Variable {
        const char* name;
        const char* chinese; // null: the machine's
    };
    // Qt takes the system locale's language (and so the units of a size) from the messages category,
    // its date formats from the time category. LANGUAGE may outrank the first, LC_ALL every category:
    // LC_ALL's value passes to the categories that keep the machine's, numbers among them.
    static constexpr Variable kVariables[] = {
        {"LC_TIME", "zh_CN.UTF-8"},  {"LC_MESSAGES", "zh_CN.UTF-8"}, {"LANGUAGE", "zh_CN"},
        {"LC_CTYPE", nullptr},       {"LC_NUMERIC", nullptr},        {"LC_MONETARY", nullptr},
        {"LC_MEASUREMENT", nullptr}, {"LC_COLLATE", nullptr},        {"LC_ALL", nullptr},
    };
    const QByteArray all = qgetenv("LC_ALL");
    machineLocale.emplace();
    for (const Variable& variable : kVariables) {
        machineLocale->emplace_back(variable.name, environmentValue(variable.name));
        if (variable.chinese)
            qputenv(variable.name, variable.chinese);
        else if (!all.isEmpty())
            qputenv(variable.name, all);
    }
    qunsetenv("LC_ALL");
}

QTranslator* installChineseLanguage(const QString& folder) {
    if (machineLocale) {
        for (const auto& [name, value] : *machineLocale) {
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
        std::setlocale(LC_ALL, "");
        machineLocale.reset();
    }
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    const QString file = QDir(folder).filePath(QStringLiteral("qtbase_zh_CN.qm"));
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(file) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        translator = nullptr;
        std::fprintf(
            stderr,
            "%s: Qt's Chinese translations not found (%s); Qt's own buttons and dialogs stay English\n",
            qPrintable(QCoreApplication::applicationName()), qPrintable(QDir::toNativeSeparators(file)));
    }
    // Translators installed later are asked first: ours only holds what Qt's lacks.
    QCoreApplication::removeTranslator(ownQtWords());
    QCoreApplication::installTranslator(ownQtWords());
    return translator;
}

StartOptions readStartOptions(const QString& program, const QStringList& arguments) {
    // The options the parser takes are those the help lists: "-h, --help" gives the names h and help,
    // "--scale=PERCENT" the name scale with a value.
    QCommandLineParser parser;
    for (const UsageItem& item : commandLineOptions()) {
        QStringList names;
        QString valueName;
        for (QString form : QString::fromUtf8(item.name).split(QStringLiteral(", "))) {
            const auto equals = form.indexOf(u'=');
            if (equals >= 0) {
                valueName = form.mid(equals + 1);
                form.truncate(equals);
            }
            while (form.startsWith(u'-'))
                form.remove(0, 1);
            names << form;
        }
        parser.addOption(QCommandLineOption(names, QString::fromUtf8(item.text), valueName));
    }
    StartOptions options;
    // The one file a program opens is one of its lessons: any other name on the command line (a picture,
    // say), or more than one, is as much a mistake as an unknown option, and is told as one rather than
    // ignored. A lesson of another program, or of a newer version, is a lesson all the same: the window
    // opens and says why it cannot show it.
    const bool parsed = parser.parse(arguments);
    const QStringList names = parsed ? parser.positionalArguments() : QStringList();
    QString error = parsed ? QString() : parser.errorText();
    if (names.size() > 1)
        error = QStringLiteral("unexpected argument '%1'; the program opens one lesson file").arg(names[1]);
    else if (names.size() == 1) {
        const auto read = readLessonFile(names.front(), program);
        const auto* refused = std::get_if<LessonRefused>(&read);
        if (refused && refused->reason != LessonRefusal::OtherProgram &&
            refused->reason != LessonRefusal::NewerFormat)
            error = QStringLiteral("'%1' is not a lesson file of %2").arg(names.front(), program);
        else
            options.lessonFile = names.front();
    }
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n\n%s", qPrintable(program), qPrintable(error),
                     qPrintable(helpText(program)));
        options.exitCode = 2;
        return options;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(helpText(program)), stdout);
        options.exitCode = 0;
        return options;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::fprintf(stdout, "%s %s\n", qPrintable(program), qPrintable(programVersion()));
        options.exitCode = 0;
        return options;
    }
    const QString scale = QStringLiteral("scale");
    const QString fullScreen = QStringLiteral("fullscreen");
    if (parser.isSet(scale)) {
        options.scale = parseScaleStep(parser.value(scale));
        if (!options.scale) {
            std::fprintf(stderr, "%s: --scale takes one of 100, 125, 150, 175, 200, 250, 300\n",
                         qPrintable(program));
            options.exitCode = 2;
            return options;
        }
    }
    options.fullScreen = parser.isSet(fullScreen);
    DisplayScale::instance().setFactor(options.scale.value_or(storedScale(program)) / 100.0);
    CurveStyle::instance().setHighContrast(storedHighContrast(program));
    return options;
}

void showMainWindow(QWidget& window, const StartOptions& options) {
    window.show();
    WindowCommands* commands = WindowCommands::of(&window);
    if (!commands)
        return;
    commands->fitToScreen();
    if (options.fullScreen)
        commands->toggleFullScreen();
    if (auto* explorer = qobject_cast<ExplorerWindow*>(&window); explorer && !options.lessonFile.isEmpty())
        explorer->openLesson(options.lessonFile);
}

int runProgram(int& argc, char* argv[], const QString& program,
               const std::function<std::unique_ptr<QWidget>()>& makeWindow) {
    // Every pointer event of a drag is one drag step; do not let the platform merge them.
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
    prepareChineseSystemLocale();
    QApplication app(argc, argv);
    installChineseLanguage();
    installFontSubstitutions();
    setMessageBoxService(std::make_shared<QtMessageBoxService>());
    const StartOptions options = readStartOptions(program, app.arguments());
    if (options.exitCode)
        return *options.exitCode;
    const std::unique_ptr<QWidget> window = makeWindow();
    showMainWindow(*window, options);
    return app.exec();
}

} // namespace canvas
