// A randomized exerciser: creates the real main window of a program headless and performs a long random
// sequence of user actions on it (clicks, hostile typing, presses and drags far outside the canvas, hovers,
// timer ticks, zooms, grids, saves), and the classroom ways in (the exploration keys, the curve's sound
// with and without a sound device, fingers, the number pad, high contrast, the command menu, the export
// and sound dialogs), checking after every action that the window is still sound. Message boxes are
// answered by a counter that keeps only the last few, so memory stays bounded however long the run; the
// sound device and the file dialogs are fakes that answer at once. A failure names the seed and the action
// number, so it can be replayed; a run that passes ends with a summary (actions, messages answered, peak
// memory, the ten slowest actions with their seeds and positions).
//
//   exerciser --program=Quorvex --seed=123 --actions=20000 [--time-limit-ms=1000]

#include "actions.h"
#include "exerciser.h"

#include "expolog/family.h"
#include "power/mainwindow.h"

#include "drawing/fonts.h"
#include "runtime/messagebox.h"
#include "runtime/unexpectedfailure.h"
#include "widgets/controls.h"
#include "widgets/exitbutton.h"

#include "../support/scratchsettings.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <optional>
#include <random>
#include <stdexcept>

#include <sys/resource.h>

namespace {

using namespace exerciser;

// Answers every message box at once. A long run shows hundreds of thousands of warnings, so it keeps a
// count and the last few texts (for a failure report), never the whole log.
class MessageCounter : public canvas::MessageBoxService {
public:
    void show(const QString& text, const QString&, canvas::MessageIcon) override {
        ++count;
        last.push_back(text);
        if (last.size() > kKept)
            last.pop_front();
    }
    static constexpr std::size_t kKept = 8;
    long long count = 0;
    std::deque<QString> last;
};

// The classroom pieces every window has.
void addClassroom(Target& t) {
    t.commands = canvas::WindowCommands::of(t.window);
    t.explorer = canvas::CurveExplorer::of(t.canvas);
    for (QAction* a : t.commands->menu()->actions())
        if (a->text() == QStringLiteral("高对比度"))
            t.contrast = a;
}

Target quorvexTarget(quorvex::MainWindow& f) {
    Target t;
    t.window = &f;
    t.canvas = f.controls().canvas;
    addClassroom(t);
    t.exitPictures = {f.controls().exitPicture, f.controls().exitHighlight};
    t.rangeBoxes = {f.controls().xMinBox, f.controls().xMaxBox,     f.controls().yMinBox,
                    f.controls().yMaxBox, f.controls().xSpacingBox, f.controls().ySpacingBox};
    t.applyRange = f.controls().applyRangeButton;
    t.clearCurve = {f.controls().clearGraphButton, f.controls().clearExponentButton};
    t.clearRange = f.controls().clearRangeButton;
    t.plotCurve = [&f](int choice) {
        // The integer form, or the fractional one with a second number.
        static const char* const exponents[][2] = {{"2", ""}, {"3", ""}, {"-1", ""}, {"-2", ""}, {"1", "2"}};
        const auto& e = exponents[choice % std::size(exponents)];
        QTest::mouseClick(*e[1] ? f.controls().fractionFormOption : f.controls().integerFormOption,
                          Qt::LeftButton);
        f.controls().mBox->clear();
        QTest::keyClicks(f.controls().mBox, e[0]);
        if (*e[1]) {
            f.controls().nBox->clear();
            QTest::keyClicks(f.controls().nBox, e[1]);
        }
        QTest::mouseClick(f.controls().plotButton, Qt::LeftButton);
    };
    t.buttons = {
        f.controls().applyRangeButton,    f.controls().plotButton,        f.controls().clearGraphButton,
        f.controls().clearExponentButton, f.controls().clearRangeButton,  f.controls().drawGridButton,
        f.controls().removeGridButton,    f.controls().zoomInButton,      f.controls().zoomOutButton,
        f.controls().integerFormOption,   f.controls().fractionFormOption};
    t.boxes = {f.controls().xMaxBox,     f.controls().xMinBox,    f.controls().yMaxBox,
               f.controls().yMinBox,     f.controls().mBox,       f.controls().nBox,
               f.controls().xSpacingBox, f.controls().ySpacingBox};
    t.zoomButtons = {f.controls().zoomInButton, f.controls().zoomOutButton};
    t.exitNormal = f.controls().exitPicture;
    t.tick1 = [] {};
    t.tick2 = [] {};
    t.down = [&f](const canvas::PointerEvent& e) { f.onCanvasPressed(e); };
    t.move = [&f](const canvas::PointerEvent& e) { f.onCanvasPointerMoved(e); };
    t.up = [&f](const canvas::PointerEvent& e) { f.onCanvasReleased(e); };
    t.view = [&f] { return f.view(); };
    t.state = [&f] {
        return std::vector<double>{f.view().xmin, f.view().xmax, f.view().ymin,
                                   f.view().ymax, f.view().xju1, f.view().yju1};
    };
    t.save = [&f](QRandomGenerator& random) {
        f.onSaveClicked();
        quorvex::SaveDialog* dialog = f.saveDialog();
        if (!dialog)
            return;
        dialog->controls().folderList->setPath(saveFolder().path());
        const QStringList names = {"graph", "", "a/b", "..", "../x", "graph.bmp", "中文", QString(300, u'n')};
        dialog->controls().nameBox->setText(
            names[static_cast<int>(random.bounded(static_cast<int>(names.size())))]);
        dialog->onSaveClicked();
        if (random.bounded(4) == 0)
            dialog->close();
    };
    return t;
}

Target expologTarget(expolog::MainWindow& f) {
    Target t;
    t.window = &f;
    t.canvas = f.controls().canvas;
    addClassroom(t);
    t.exitPictures = {f.controls().exitPicture, f.controls().exitHighlight};
    t.rangeBoxes = {f.controls().xMinBox, f.controls().xMaxBox,     f.controls().yMinBox,
                    f.controls().yMaxBox, f.controls().xSpacingBox, f.controls().ySpacingBox};
    t.applyRange = f.controls().applyRangeButton;
    t.clearCurve = {f.controls().clearBaseButton};
    t.clearRange = f.controls().clearRangeButton;
    t.plotCurve = [&f](int choice) {
        static const char* const bases[] = {"2", "0.5", "3", "10", "0.1", "1.5"};
        f.parameterBox()->clear();
        QTest::keyClicks(f.parameterBox(), bases[choice % std::size(bases)]);
        QTest::mouseClick(f.controls().plotButton, Qt::LeftButton);
    };
    t.tracing = [&f] { return f.controls().traceTimer->isActive(); };
    t.curveColour = [&f] { return f.curveColour(); };
    t.buttons = {
        f.controls().plotButton,       f.controls().clearGraphButton,   f.controls().clearBaseButton,
        f.controls().inverseButton,    f.controls().symmetryAxisButton, f.controls().clearRangeButton,
        f.controls().applyRangeButton, f.controls().drawGridButton,     f.controls().removeGridButton};
    // The box the inverse reads first, as the boxes have always been listed, so a seed replays as before.
    QLineEdit* inverseSource = f.controls().*f.family().inverseBaseSource;
    QLineEdit* otherBaseBox =
        inverseSource == f.controls().baseBox ? f.controls().inverseBaseBox : f.controls().baseBox;
    t.boxes = {
        inverseSource,        otherBaseBox,         f.controls().xMinBox,     f.controls().xMaxBox,
        f.controls().yMinBox, f.controls().yMaxBox, f.controls().xSpacingBox, f.controls().ySpacingBox};
    t.exitNormal = f.controls().exitPicture;
    t.tick1 = [&f] { f.onTraceTick(); };
    t.tick2 = [&f] { f.onInverseTraceTick(); };
    t.down = [&f](const canvas::PointerEvent& e) { f.onCanvasPressed(e); };
    t.move = [&f](const canvas::PointerEvent& e) { f.onCanvasPointerMoved(e); };
    t.up = [&f](const canvas::PointerEvent& e) { f.onCanvasReleased(e); };
    t.view = [&f] { return f.view(); };
    t.state = [&f] {
        return std::vector<double>{f.view().xmin,
                                   f.view().xmax,
                                   f.view().ymin,
                                   f.view().ymax,
                                   f.view().xju1,
                                   f.view().yju1,
                                   f.trace().baseA,
                                   f.trace().lnBase,
                                   f.trace().tracePos,
                                   f.trace().traceLog,
                                   f.trace().stepX,
                                   f.trace().stepY,
                                   f.trace().xSpan,
                                   double(canvas::redOf(f.curveColour())),
                                   double(canvas::greenOf(f.curveColour())),
                                   double(canvas::blueOf(f.curveColour()))};
    };
    return t;
}

const char kUsage[] =
    "Usage: exerciser [--program=Quorvex|Zelmora|Tavrinth|all] [--actions=N] [--seed=N] "
    "[--time-limit-ms=MS] [--plant-failure]\n"
    "\n"
    "Performs N random user actions on each chosen program's main window (headless) and checks after each\n"
    "one that the window is still sound. Defaults: --program=all --actions=20000, a fresh seed (printed),\n"
    "--time-limit-ms=1000 (the longest any single event may take). Exits 0 when every action passed, 1 on\n"
    "the first failure (with the seed and action number to replay it), 2 on a malformed argument.\n"
    "--plant-failure makes every push button throw an unexpected exception, which must fail the run.\n";

struct Options {
    std::string program = "all";
    long actions = 20000;
    std::optional<std::uint64_t> seed;
    double timeLimitMs = 1000;
    bool plantFailure = false;
    bool help = false;
};

// A planted fault, to show that the exerciser sees one: every push button also runs a handler that throws
// an exception that is not a run-time error.
struct PlantedFault : QObject {
    void click() { throw std::logic_error("a fault planted in the buttons"); }
};

void plantFault(QWidget* window, PlantedFault* fault) {
    for (QPushButton* button : window->findChildren<QPushButton*>())
        QObject::connect(button, &QPushButton::clicked, fault, canvas::handler(fault, &PlantedFault::click));
}

// Parses a whole decimal number and nothing else: no sign, no trailing text, no overflow.
std::optional<unsigned long long> wholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 20 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    if (errno == ERANGE)
        return std::nullopt;
    return value;
}

// Reads the command line; on a malformed argument returns the message to print.
std::optional<std::string> parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--plant-failure") {
            options.plantFailure = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : arg.substr(equals + 1);
        if (equals == std::string::npos &&
            (name == "--program" || name == "--actions" || name == "--seed" || name == "--time-limit-ms"))
            return name + " needs a value, as in " + name + "=...";
        if (name == "--program") {
            if (value != "all" && value != "Quorvex" && value != "Zelmora" && value != "Tavrinth")
                return "--program must be Quorvex, Zelmora, Tavrinth or all, not \"" + value + "\"";
            options.program = value;
        } else if (name == "--actions") {
            const auto n = wholeNumber(value);
            if (!n || *n > 1000000000ULL)
                return "--actions must be a whole number from 0 to 1000000000, not \"" + value + "\"";
            options.actions = static_cast<long>(*n);
        } else if (name == "--seed") {
            const auto n = wholeNumber(value);
            if (!n)
                return "--seed must be a whole number from 0 to 18446744073709551615, not \"" + value + "\"";
            options.seed = *n;
        } else if (name == "--time-limit-ms") {
            char* end = nullptr;
            errno = 0;
            const double ms = value.empty() ? 0 : std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(ms) || ms <= 0)
                return "--time-limit-ms must be a positive number of milliseconds, not \"" + value + "\"";
            options.timeLimitMs = ms;
        } else {
            return "unknown argument \"" + arg + "\"";
        }
    }
    return std::nullopt;
}

double peakMegabytes() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (const auto error = parse(argc, argv, options)) {
        std::fprintf(stderr, "exerciser: %s\n\n%s", error->c_str(), kUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);

    canvas::installFontSubstitutions();
    testing_support::useScratchSettings();
    canvas::setEndProgramAction([] {});
    const auto messages = std::make_shared<MessageCounter>();
    canvas::setMessageBoxService(messages);
    const auto sound = std::make_shared<FakeSound>();
    canvas::setSoundOutput(sound);
    testsupport::FakeExportDialogs dialogs;
    testsupport::FakeLessonDialogs lessons;
    const Fakes fakes{*sound, dialogs.answers(), lessons.answers()};

    const std::uint64_t seed = options.seed ? *options.seed : std::random_device{}();
    const std::vector<std::string> programs = options.program == "all"
                                                  ? std::vector<std::string>{"Quorvex", "Zelmora", "Tavrinth"}
                                                  : std::vector{options.program};
    Slowest slowest;
    QElapsedTimer total;
    total.start();
    for (const std::string& name : programs) {
        std::printf("%s: seed %llu, %ld actions\n", name.c_str(), static_cast<unsigned long long>(seed),
                    options.actions);
        std::fflush(stdout);
        QElapsedTimer clock;
        clock.start();
        const long long before = messages->count;
        if (name == "Quorvex") {
            quorvex::MainWindow form;
            form.show();
            PlantedFault fault;
            if (options.plantFailure)
                plantFault(&form, &fault);
            Exerciser(quorvexTarget(form), fakes, seed, options.timeLimitMs, slowest)
                .run(options.actions, name, seed);
        } else {
            expolog::MainWindow form(name == "Zelmora" ? expolog::kZelmora : expolog::kTavrinth);
            form.show();
            PlantedFault fault;
            if (options.plantFailure)
                plantFault(&form, &fault);
            Exerciser(expologTarget(form), fakes, seed, options.timeLimitMs, slowest)
                .run(options.actions, name, seed);
        }
        std::printf("%s: %ld actions passed in %.1f s, %lld messages answered\n", name.c_str(),
                    options.actions, clock.elapsed() / 1000.0, messages->count - before);
        std::fflush(stdout);
    }

    std::printf(
        "\nSummary: %lld actions in %.1f s, %lld messages answered, 0 failures, peak memory %.0f MB\n",
        static_cast<long long>(options.actions) * static_cast<long long>(programs.size()),
        total.elapsed() / 1000.0, messages->count, peakMegabytes());
    std::printf("The ten slowest actions (slowest single event, limit %.0f ms):\n", options.timeLimitMs);
    for (const TimedAction& a : slowest.list())
        std::printf("  %9.2f ms  %-8s seed %llu action %ld: %s\n", a.ms, a.program.c_str(),
                    static_cast<unsigned long long>(a.seed), a.action, a.what.c_str());
    return 0;
}
