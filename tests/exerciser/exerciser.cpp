// A randomized exerciser: creates the real main window of a program headless and performs a long random
// sequence of user actions on it (clicks, hostile typing, presses and drags far outside the canvas, hovers,
// timer ticks, zooms, grids, saves), checking after every action that the window is still sound. Message
// boxes are answered by a counter that keeps only the last few, so memory stays bounded however long the
// run. A failure names the seed and the action number, so it can be replayed; a run that passes ends with a
// summary (actions, messages answered, peak memory, the ten slowest actions with their seeds and positions).
//
//   exerciser --program=Quorvex --seed=123 --actions=20000 [--time-limit-ms=1000]

#include "expolog/family.h"
#include "power/form1.h"

#include "drawing/fonts.h"
#include "runtime/messagebox.h"
#include "widgets/exitbutton.h"

#include "../support/scratchsettings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

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

// One action as the summary lists it: how long its slowest event took, and where to replay it.
struct TimedAction {
    double ms = 0;
    std::string program;
    std::uint64_t seed = 0;
    long action = 0;
    std::string what;
};

// The slowest actions of the whole run, slowest first, kept to a fixed number.
class Slowest {
public:
    void add(TimedAction a) {
        if (list_.size() == kKept && a.ms <= list_.back().ms)
            return;
        list_.insert(std::upper_bound(list_.begin(), list_.end(), a,
                                      [](const TimedAction& x, const TimedAction& y) { return x.ms > y.ms; }),
                     std::move(a));
        if (list_.size() > kKept)
            list_.pop_back();
    }
    const std::vector<TimedAction>& list() const { return list_; }
    static constexpr std::size_t kKept = 10;

private:
    std::vector<TimedAction> list_;
};

// Texts pupils (and cats on keyboards) type.
QStringList hostileTexts() {
    QStringList texts = {
        "",     " ",           "   ",   "1e999",  "-1e999", "1e-320", "NaN",   "Infinity", "&H7FFF", "&HFFFF",
        "1d5",  "0.000000001", "1e308", "-1e308", "32768",  "-32769", "32767", "-32768",   "2.5",    "-2.5",
        "0",    "1",           "-1",    "2",      "3",      "0.5",    "10",    "-10",      "1e-17",  "1e9",
        "-0",   ".",           "-",     "e5",     "1e",     "2abc",   "中文",  "幂函数",   "1 2 3",  "0.1",
        "1000", "-1000",       "1e38",  "3.4e38", "1e39",   "\t",     "\n",    "\x01\x02", "1e-300"};
    texts << QString(10000, u'9') << QStringLiteral("0.") + QString(5000, u'0') + QStringLiteral("1")
          << QString(300, u'-');
    return texts;
}

// What the exerciser needs to know of a window: its controls and its state.
struct Target {
    QWidget* window = nullptr;
    canvas::CanvasWidget* canvas = nullptr;
    std::vector<QAbstractButton*> buttons;
    std::vector<QLineEdit*> boxes;
    std::vector<QAbstractButton*> zoomButtons;
    QWidget* exitNormal = nullptr;
    std::function<void()> tick1;
    std::function<void()> tick2;
    std::function<void(const canvas::PointerEvent&)> down, move, up;
    std::function<std::vector<double>()> state;
    std::function<canvas::ViewRange()> view;
    std::function<void(QRandomGenerator&)> save;
};

struct Failure {
    std::string what;
};

class Exerciser {
public:
    Exerciser(Target target, std::uint64_t seed, double timeLimitMs, Slowest& slowest)
        : t_(std::move(target)), random_(static_cast<quint32>(seed)), timeLimitMs_(timeLimitMs),
          texts_(hostileTexts()), slowestActions_(slowest) {}

    void run(long actions, const std::string& program, std::uint64_t seed) {
        for (long i = 0; i < actions; ++i) {
            action_ = i;
            const canvas::ViewRange before = t_.view();
            slowest_ = 0;
            bool spacingsMayChange = false;
            try {
                spacingsMayChange = act();
            } catch (const std::exception& e) {
                fail(program, seed, std::string("an exception escaped a handler: ") + e.what());
            }
            if (slowest_ > timeLimitMs_) {
                const canvas::ViewRange v = t_.view();
                fail(program, seed,
                     "one event took " + std::to_string(slowest_) + " ms (" + last_ + ", view " +
                         std::to_string(v.xmin) + ".." + std::to_string(v.xmax) + " x " +
                         std::to_string(v.ymin) + ".." + std::to_string(v.ymax) + ", spacings " +
                         std::to_string(v.xju1) + ", " + std::to_string(v.yju1) + ")");
            }
            check(program, seed, before, spacingsMayChange);
            slowestActions_.add({slowest_, program, seed, i, last_});
        }
    }

private:
    // Runs one event and keeps the longest time any single event took in this action. A drag of a
    // thousand steps is a thousand events: each must return promptly, not the drag as a whole.
    template <class F> bool timed(F&& f) {
        QElapsedTimer clock;
        clock.start();
        f();
        slowest_ = std::max(slowest_, clock.nsecsElapsed() / 1e6);
        return false;
    }

    int pick(int n) { return static_cast<int>(random_.bounded(n)); }
    float coordinate() {
        switch (pick(4)) {
        case 0:
            return static_cast<float>(random_.bounded(40.0) - 20);
        case 1:
            return static_cast<float>(random_.bounded(2e6) - 1e6);
        case 2:
            return static_cast<float>((random_.bounded(2.0) - 1) * 3e38);
        default:
            return static_cast<float>(random_.bounded(2.0) - 1);
        }
    }
    QPoint canvasPixel() {
        // Mostly on the canvas, sometimes far outside it (a drag keeps the pointer grabbed).
        if (pick(5) == 0)
            return {pick(4000) - 2000, pick(4000) - 2000};
        return {pick(t_.canvas->width()), pick(t_.canvas->height())};
    }

    // Performs one random action; returns true when it may legitimately change the tick spacings.
    bool act() {
        switch (pick(12)) {
        case 0:
        case 1: {
            QAbstractButton* b =
                t_.buttons[static_cast<std::size_t>(pick(static_cast<int>(t_.buttons.size())))];
            last_ = "click " + b->text().toStdString();
            timed([b] {
                if (b->isVisible() && b->isEnabled())
                    QTest::mouseClick(b, Qt::LeftButton);
                else
                    b->click();
            });
            return true;
        }
        case 2:
        case 3: {
            QLineEdit* box = t_.boxes[static_cast<std::size_t>(pick(static_cast<int>(t_.boxes.size())))];
            QString text = pick(4) == 0 ? randomText() : texts_[pick(static_cast<int>(texts_.size()))];
            last_ = "type into a box";
            timed([&] {
                const bool typeable = std::all_of(text.begin(), text.end(), [](QChar c) {
                    return c.unicode() >= 0x20 && c.unicode() < 0x7F;
                });
                if (text.size() < 40 && typeable && box->isVisible()) {
                    box->clear();
                    QTest::keyClicks(box, text);
                } else {
                    box->setText(text);
                }
            });
            return false;
        }
        case 4: {
            last_ = "drag";
            const int steps = pick(10) == 0 ? 2000 : pick(30);
            timed([&] { t_.down({1 << pick(3), 0, coordinate(), coordinate()}); });
            for (int s = 0; s < steps; ++s)
                timed([&] { t_.move({1, 0, coordinate(), coordinate()}); });
            timed([&] { t_.up({1, 0, coordinate(), coordinate()}); });
            return false;
        }
        case 5: {
            last_ = "real pointer drag";
            timed([&] { QTest::mousePress(t_.canvas, Qt::LeftButton, {}, canvasPixel()); });
            for (int s = pick(10); s > 0; --s) {
                const QPoint p = canvasPixel();
                QMouseEvent move(QEvent::MouseMove, p, t_.canvas->mapToGlobal(p), Qt::NoButton,
                                 Qt::LeftButton, Qt::NoModifier);
                timed([&] { QApplication::sendEvent(t_.canvas, &move); });
            }
            timed([&] { QTest::mouseRelease(t_.canvas, Qt::LeftButton, {}, canvasPixel()); });
            return false;
        }
        case 6:
            last_ = "hover";
            timed([&] { QTest::mouseMove(t_.canvas, canvasPixel()); });
            timed([&] { t_.move({0, 0, coordinate(), coordinate()}); });
            return false;
        case 7:
            last_ = "exit hover";
            if (t_.exitNormal->isVisible())
                QTest::mouseMove(t_.exitNormal, QPoint(5, 5));
            QTest::mouseMove(t_.window, QPoint(3, 3));
            return false;
        case 8:
        case 9: {
            last_ = "timer ticks";
            for (int n = pick(200); n > 0; --n)
                timed(pick(2) ? t_.tick1 : t_.tick2);
            return false;
        }
        case 10: {
            last_ = "zoom";
            if (!t_.zoomButtons.empty()) {
                QAbstractButton* b = t_.zoomButtons[static_cast<std::size_t>(pick(2))];
                for (int n = 1 + pick(4); n > 0; --n)
                    timed([b] { b->click(); });
            }
            return false;
        }
        default:
            last_ = "save";
            if (t_.save)
                timed([&] { t_.save(random_); });
            return false;
        }
    }

    QString randomText() {
        QString s;
        const QString alphabet = QStringLiteral("0123456789.-+eEdD &Hh x中 \t");
        for (int n = pick(12); n > 0; --n)
            s += alphabet[pick(static_cast<int>(alphabet.size()))];
        return s;
    }

    void check(const std::string& program, std::uint64_t seed, const canvas::ViewRange& before,
               bool spacingsMayChange) {
        for (const double v : t_.state())
            if (!std::isfinite(v))
                fail(program, seed, "a state value is not finite after " + last_);
        const canvas::ViewRange v = t_.view();
        if (!spacingsMayChange && (v.xju1 != before.xju1 || v.yju1 != before.yju1))
            fail(program, seed, "the tick spacings changed in " + last_);
        if (t_.canvas->surface().size() != t_.canvas->size() - QSize(4, 4))
            fail(program, seed, "the canvas picture changed its size");
        if (canvas::modalDepth() != 0 || QApplication::activeModalWidget() != nullptr)
            fail(program, seed, "a modal box was left open");
    }

    [[noreturn]] void fail(const std::string& program, std::uint64_t seed, const std::string& what) {
        std::fprintf(stderr, "FAILED: %s seed %llu action %ld: %s\n", program.c_str(),
                     static_cast<unsigned long long>(seed), action_, what.c_str());
        std::exit(1);
    }

    Target t_;
    QRandomGenerator random_;
    double timeLimitMs_;
    QStringList texts_;
    long action_ = 0;
    double slowest_ = 0;
    std::string last_;
    Slowest& slowestActions_;
};

QTemporaryDir& saveFolder() {
    static QTemporaryDir dir;
    return dir;
}

Target quorvexTarget(quorvex::Form1& f) {
    Target t;
    t.window = &f;
    t.canvas = f.Picture1;
    t.buttons = {f.Command1, f.Command2, f.Command3,  f.Command4, f.Command5, f.Command6,
                 f.Command7, f.Command9, f.Command10, f.Option1,  f.Option2};
    t.boxes = {f.Text1, f.Text2, f.Text3, f.Text4, f.Text5, f.Text6, f.Text7, f.Text8};
    t.zoomButtons = {f.Command9, f.Command10};
    t.exitNormal = f.Image7;
    t.tick1 = [] {};
    t.tick2 = [] {};
    t.down = [&f](const canvas::PointerEvent& e) { f.Picture1_MouseDown(e); };
    t.move = [&f](const canvas::PointerEvent& e) { f.Picture1_MouseMove(e); };
    t.up = [&f](const canvas::PointerEvent& e) { f.Picture1_MouseUp(e); };
    t.view = [&f] { return f.view; };
    t.state = [&f] {
        return std::vector<double>{f.view.xmin, f.view.xmax, f.view.ymin,
                                   f.view.ymax, f.view.xju1, f.view.yju1};
    };
    t.save = [&f](QRandomGenerator& random) {
        f.Command8_Click();
        quorvex::Form2* dialog = f.saveDialog();
        if (!dialog)
            return;
        dialog->Dir1->setPath(saveFolder().path());
        const QStringList names = {"graph", "", "a/b", "..", "../x", "graph.bmp", "中文", QString(300, u'n')};
        dialog->Text1->setText(names[static_cast<int>(random.bounded(static_cast<int>(names.size())))]);
        dialog->Command1_Click();
        if (random.bounded(4) == 0)
            dialog->close();
    };
    return t;
}

Target expologTarget(expolog::Form1& f) {
    Target t;
    t.window = &f;
    t.canvas = f.Picture1;
    t.buttons = {f.Command1, f.Command2, f.Command3, f.Command4, f.Command5,
                 f.Command6, f.Command7, f.Command8, f.Command9};
    t.boxes = {f.Text1, f.Text2, f.Text3, f.Text4, f.Text5, f.Text6, f.Text8, f.Text9};
    t.exitNormal = f.Image17;
    t.tick1 = [&f] { f.Timer1_Timer(); };
    t.tick2 = [&f] { f.Timer2_Timer(); };
    t.down = [&f](const canvas::PointerEvent& e) { f.Picture1_MouseDown(e); };
    t.move = [&f](const canvas::PointerEvent& e) { f.Picture1_MouseMove(e); };
    t.up = [&f](const canvas::PointerEvent& e) { f.Picture1_MouseUp(e); };
    t.view = [&f] { return f.view; };
    t.state = [&f] {
        return std::vector<double>{f.view.xmin,      f.view.xmax,      f.view.ymin,   f.view.ymax,
                                   f.view.xju1,      f.view.yju1,      f.trace.baseA, f.trace.lnBase,
                                   f.trace.tracePos, f.trace.traceLog, f.trace.stepX, f.trace.stepY,
                                   f.trace.xSpan,    f.curveRed,       f.curveGreen,  f.curveBlue};
    };
    return t;
}

const char kUsage[] =
    "Usage: exerciser [--program=Quorvex|Zelmora|Tavrinth|all] [--actions=N] [--seed=N] "
    "[--time-limit-ms=MS]\n"
    "\n"
    "Performs N random user actions on each chosen program's main window (headless) and checks after each\n"
    "one that the window is still sound. Defaults: --program=all --actions=20000, a fresh seed (printed),\n"
    "--time-limit-ms=1000 (the longest any single event may take). Exits 0 when every action passed, 1 on\n"
    "the first failure (with the seed and action number to replay it), 2 on a malformed argument.\n";

struct Options {
    std::string program = "all";
    long actions = 20000;
    std::optional<std::uint64_t> seed;
    double timeLimitMs = 1000;
    bool help = false;
};

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
            quorvex::Form1 form;
            form.show();
            Exerciser(quorvexTarget(form), seed, options.timeLimitMs, slowest)
                .run(options.actions, name, seed);
        } else {
            expolog::Form1 form(name == "Zelmora" ? expolog::kZelmora : expolog::kTavrinth);
            form.show();
            Exerciser(expologTarget(form), seed, options.timeLimitMs, slowest)
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
