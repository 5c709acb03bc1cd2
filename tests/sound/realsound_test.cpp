// The curve's sound through a real sound server: a private PulseAudio server of the test's own, with a
// null sink whose monitor `parec` records. What is heard is compared with the WAV of the same view: its
// length, where it ends, that nothing between the fades differs, and that no step between two neighbouring
// samples is larger than the curve's own sound makes (a cut is a click). The server is also taken away and
// brought back, and started only after the window, and H must find it each time. Skipped where PulseAudio
// is not installed.

#include "classroom/curveexplorer.h"
#include "classroom/soundoutput.h"
#include "curves/curvesound.h"
#include "expolog/family.h"
#include "power/mainwindow.h"

#include "../support/plotting.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <utility>
#include <vector>

namespace {

const QString kNoSound = QStringLiteral("没有可用的声音输出");
// How long the server and parec may take to come up, and a sound to be found again once the server is.
constexpr int kStartUpMs = 10000;
constexpr int kRecoveryMs = 2000;

bool pulseInstalled() {
    return !QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pacat")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty();
}

// A PulseAudio server of the test's own: its runtime, state and home folders in a scratch folder, one
// null sink named "recorder", listening on a socket in that folder. The program under test finds it through
// PULSE_SERVER, set for the whole test process.
class PrivateServer {
public:
    PrivateServer() {
        address_ = QStringLiteral("unix:") + dir_.filePath(QStringLiteral("native"));
        qputenv("PULSE_SERVER", address_.toUtf8());
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("HOME"), dir_.path());
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.path());
        env_.insert(QStringLiteral("PULSE_RUNTIME_PATH"), dir_.filePath(QStringLiteral("runtime")));
        env_.insert(QStringLiteral("PULSE_STATE_PATH"), dir_.filePath(QStringLiteral("state")));
        env_.insert(QStringLiteral("PULSE_SERVER"), address_);
        env_.remove(QStringLiteral("DISPLAY"));
        env_.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    }
    ~PrivateServer() {
        kill();
        qunsetenv("PULSE_SERVER");
    }

    /// Starts the server and waits until a client can reach it.
    bool start() {
        server_ = std::make_unique<QProcess>();
        server_->setProcessEnvironment(env_);
        server_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server_->start(
            QStringLiteral("pulseaudio"),
            {QStringLiteral("--daemonize=no"), QStringLiteral("-n"), QStringLiteral("--exit-idle-time=-1"),
             QStringLiteral("--use-pid-file=no"), QStringLiteral("--log-level=error"), QStringLiteral("-L"),
             QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") +
                 dir_.filePath(QStringLiteral("native")),
             QStringLiteral("-L"),
             QStringLiteral(
                 "module-null-sink sink_name=recorder rate=44100 channels=2 format=s16le norewinds=1")});
        if (!server_->waitForStarted())
            return false;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kStartUpMs) {
            if (reachable())
                return keepRunning();
            QTest::qWait(50);
        }
        return false;
    }

    /// Kills the server as a crash would.
    void kill() {
        if (!server_)
            return;
        server_->kill();
        server_->waitForFinished();
        server_.reset();
        keeper_->kill();
        keeper_->waitForFinished();
        keeper_.reset();
    }

    // An idle null sink renders nothing to its monitor and, once a stream joins, may sit far ahead of the
    // clock; a sound card plays on. A stream of silence keeps the sink running like one: mixed with the
    // curve's sound, its zeros change no sample.
    bool keepRunning() {
        keeper_ = std::make_unique<QProcess>();
        keeper_->setProcessEnvironment(env_);
        keeper_->start(QStringLiteral("pacat"),
                       {QStringLiteral("--playback"), QStringLiteral("--device=recorder"),
                        QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                        QStringLiteral("--rate=44100"), QStringLiteral("--channels=2"),
                        QStringLiteral("--latency-msec=10"), QStringLiteral("/dev/zero")});
        return keeper_->waitForStarted();
    }

    bool reachable() const {
        QProcess info;
        info.setProcessEnvironment(env_);
        info.start(QStringLiteral("pactl"), {QStringLiteral("info")});
        return info.waitForFinished() && info.exitStatus() == QProcess::NormalExit && info.exitCode() == 0;
    }

    /// Records the null sink's monitor into a file until stop().
    void record() {
        recorder_ = std::make_unique<QProcess>();
        recorder_->setProcessEnvironment(env_);
        recorder_->setStandardOutputFile(dir_.filePath(QStringLiteral("recording.raw")));
        recorder_->start(QStringLiteral("parec"),
                         {QStringLiteral("--device=recorder.monitor"), QStringLiteral("--raw"),
                          QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
                          QStringLiteral("--channels=2"), QStringLiteral("--latency-msec=10")});
        recorder_->waitForStarted();
        // parec records from when its stream is connected: give it time to connect before the sound.
        QTest::qWait(500);
    }

    /// The recording's samples, left and right interleaved.
    std::vector<std::int16_t> stopRecording() {
        recorder_->terminate();
        recorder_->waitForFinished();
        recorder_.reset();
        QFile file(dir_.filePath(QStringLiteral("recording.raw")));
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        std::vector<std::int16_t> samples(static_cast<std::size_t>(bytes.size() / 2));
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<std::int16_t>(
                static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[2 * i])) |
                static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[2 * i + 1])) << 8);
        return samples;
    }

private:
    QTemporaryDir dir_;
    QString address_;
    QProcessEnvironment env_;
    std::unique_ptr<QProcess> server_;
    std::unique_ptr<QProcess> keeper_;
    std::unique_ptr<QProcess> recorder_;
};

// Each test starts from the system's own output, made afresh, so no connection outlives a test.
struct SystemOutput {
    SystemOutput() { canvas::setSoundOutput(nullptr); }
    ~SystemOutput() { canvas::setSoundOutput(nullptr); }
};

enum class Program { Quorvex, Zelmora, Tavrinth };

// A program's window with a curve drawn: y = x^2, or the traced y = 2^x and, in Tavrinth, its inverse.
struct Window {
    std::unique_ptr<QWidget> form;
    canvas::CanvasWidget* canvas;
    canvas::CurveExplorer* explorer;

    explicit Window(Program program = Program::Quorvex) {
        if (program == Program::Quorvex) {
            auto f = std::make_unique<quorvex::MainWindow>();
            f->show();
            testsupport::powerCurve(*f, "2");
            canvas = f->controls().canvas;
            form = std::move(f);
        } else {
            auto e = std::make_unique<testsupport::ExpLog>(program == Program::Zelmora ? expolog::kZelmora
                                                                                       : expolog::kTavrinth);
            e->w.plot("2");
            e->w.runTrace();
            if (program == Program::Tavrinth) {
                e->w.form.onInverseClicked();
                e->w.runInverse();
            }
            canvas = e->w.form.controls().canvas;
            form = std::move(e);
        }
        explorer = canvas::CurveExplorer::of(canvas);
    }
    /// Presses H; true when a sound began.
    bool pressH() {
        QTest::keyClick(canvas, Qt::Key_H);
        return explorer->isSounding();
    }
    /// Presses H until a sound begins, for at most `ms`; the time it took, or -1.
    qint64 pressHUntilItPlays(int ms) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() <= ms) {
            if (pressH())
                return clock.elapsed();
            QTest::qWait(100);
        }
        return -1;
    }
    bool waitForTheEnd(int ms) {
        return QTest::qWaitFor([&] { return !explorer->isSounding(); }, ms);
    }
};

// What a recording shows against the WAV of the same view.
struct Comparison {
    double seconds = 0;        // from the first sample heard to the last
    double endOffsetMs = 0;    // the recording's end less the WAV's, once the two are aligned
    double largestExcess = 0;  // of a step between neighbouring samples over the WAV's own there, full scale
    double excessAtMs = 0;     // where it is, from the WAV's start
    int largestDifference = 0; // between recording and WAV past the fades, in sample units
    double lastLevel = 0;      // of the last frame before the silence, in full scale: what a cut clicks by
};

std::size_t firstSounding(const std::vector<std::int16_t>& s) {
    const auto i = std::find_if(s.begin(), s.end(), [](std::int16_t v) { return v != 0; });
    return static_cast<std::size_t>(i - s.begin()) / 2;
}

std::size_t lastSounding(const std::vector<std::int16_t>& s) {
    const auto i = std::find_if(s.rbegin(), s.rend(), [](std::int16_t v) { return v != 0; });
    return (s.size() - static_cast<std::size_t>(i - s.rbegin()) - 1) / 2;
}

// The larger step of the two channels into each frame, silence before the first.
std::vector<int> steps(const std::vector<std::int16_t>& s) {
    std::vector<int> out(s.size() / 2);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = i == 0 ? std::max(std::abs(s[0]), std::abs(s[1]))
                        : std::max(std::abs(s[2 * i] - s[2 * i - 2]), std::abs(s[2 * i + 1] - s[2 * i - 1]));
    return out;
}

Comparison compare(const std::vector<std::int16_t>& heard, const std::vector<std::int16_t>& wav) {
    Comparison c;
    const long heardFrames = static_cast<long>(heard.size() / 2);
    const long wavFrames = static_cast<long>(wav.size() / 2);
    const std::size_t wavFirst = firstSounding(wav);
    const std::size_t wavLast = lastSounding(wav);
    const std::size_t first = firstSounding(heard);
    const std::size_t last = lastSounding(heard);
    c.seconds = (static_cast<double>(last) - static_cast<double>(first) + 1) / canvas::kSoundRate;
    c.lastLevel = std::max(std::abs(heard[2 * last]), std::abs(heard[2 * last + 1])) / 32768.0;
    // Aligned where a tenth of a second, a second in and well past the fade, matches best.
    const long probe = canvas::kSoundRate;
    const long probeLength = canvas::kSoundRate / 10;
    long offset = 0; // the recording's frame of the WAV's frame 0
    long long bestError = -1;
    for (long at = static_cast<long>(first) - 2000; at <= static_cast<long>(first) + 2000; ++at) {
        long long error = 0;
        for (long i = probe; i < probe + probeLength; ++i) {
            const long frame = std::clamp(at + i, 0L, heardFrames - 1);
            error +=
                std::abs(heard[2 * frame] - wav[2 * i]) + std::abs(heard[2 * frame + 1] - wav[2 * i + 1]);
        }
        if (bestError < 0 || error < bestError) {
            bestError = error;
            offset = at;
        }
    }
    c.endOffsetMs =
        (static_cast<double>(last) - offset - static_cast<double>(wavLast)) * 1000 / canvas::kSoundRate;
    // A step is a click when it is larger than any the WAV itself has within 5 ms of the same place: the
    // pitch and the loudness of the curve there bound how fast its samples may change.
    const std::vector<int> heardSteps = steps(heard);
    const std::vector<int> wavSteps = steps(wav);
    const long near = canvas::kSoundRate / 200;
    for (long i = 0; i < heardFrames; ++i) {
        const long j = i - offset;
        int allowed = 0;
        for (long k = std::max(0L, j - near); k <= std::min(wavFrames - 1, j + near); ++k)
            allowed = std::max(allowed, wavSteps[static_cast<std::size_t>(k)]);
        const double excess = (heardSteps[static_cast<std::size_t>(i)] - allowed) / 32768.0;
        if (excess > c.largestExcess) {
            c.largestExcess = excess;
            c.excessAtMs = j * 1000.0 / canvas::kSoundRate;
        }
    }
    const long fade = canvas::kSoundRate / 50;
    for (long i = static_cast<long>(wavFirst) + fade; i + fade < static_cast<long>(wavLast); ++i) {
        const long frame = offset + i;
        if (frame < 0 || frame >= heardFrames) {
            c.largestDifference = 1 << 16;
            break;
        }
        c.largestDifference = std::max({c.largestDifference, std::abs(heard[2 * frame] - wav[2 * i]),
                                        std::abs(heard[2 * frame + 1] - wav[2 * i + 1])});
    }
    return c;
}

} // namespace

TEST(RealSound, HPlaysTheWholeCurveAndEndsWithoutAClick) {
    if (!pulseInstalled())
        GTEST_SKIP() << "PulseAudio is not installed";
    PrivateServer server;
    ASSERT_TRUE(server.start());
    const std::pair<Program, const char*> programs[] = {
        {Program::Quorvex, "Quorvex"}, {Program::Zelmora, "Zelmora"}, {Program::Tavrinth, "Tavrinth"}};
    for (const auto& [program, name] : programs) {
        SCOPED_TRACE(name);
        SystemOutput output;
        Window w(program);
        const canvas::CurveSound wav = canvas::renderCurveSound(
            *w.explorer->chosenCurve(), w.canvas->description().view(), canvas::kSoundSeconds);
        server.record();
        ASSERT_TRUE(w.pressH());
        ASSERT_TRUE(w.waitForTheEnd(10000));
        QTest::qWait(500);
        const std::vector<std::int16_t> heard = server.stopRecording();
        ASSERT_GT(heard.size(), wav.samples.size() / 2);
        const Comparison c = compare(heard, wav.samples);
        std::cout << name << ": recording " << c.seconds << " s, end " << c.endOffsetMs
                  << " ms from the WAV's, last level " << c.lastLevel
                  << ", largest step beyond the WAV's own " << c.largestExcess << " at " << c.excessAtMs
                  << " ms, largest difference past the fades " << c.largestDifference << "\n";
        EXPECT_NEAR(c.seconds, canvas::kSoundSeconds, 0.02);
        EXPECT_LE(std::fabs(c.endOffsetMs), 5);
        EXPECT_LE(c.largestExcess, 2 / 32768.0) << "a click at " << c.excessAtMs << " ms";
        EXPECT_LE(c.largestDifference, 1);
    }
}

// Stopped half way with Space, the sound ends at once, with a fade from where it was: no click.
TEST(RealSound, SpaceStopsTheSoundWithoutAClick) {
    if (!pulseInstalled())
        GTEST_SKIP() << "PulseAudio is not installed";
    PrivateServer server;
    ASSERT_TRUE(server.start());
    SystemOutput output;
    Window w;
    const canvas::CurveSound wav = canvas::renderCurveSound(
        *w.explorer->chosenCurve(), w.canvas->description().view(), canvas::kSoundSeconds);
    server.record();
    ASSERT_TRUE(w.pressH());
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(1500);
    QTest::keyClick(w.canvas, Qt::Key_Space);
    const double stoppedAfter = clock.elapsed() / 1000.0;
    EXPECT_FALSE(w.explorer->isSounding());
    QTest::qWait(500);
    const Comparison c = compare(server.stopRecording(), wav.samples);
    std::cout << "stopped: recording " << c.seconds << " s, last level " << c.lastLevel
              << ", largest step beyond the WAV's own " << c.largestExcess << " at " << c.excessAtMs
              << " ms\n";
    // However much the server holds, the sound goes within a tenth of a second of the key.
    EXPECT_LT(c.seconds, stoppedAfter + 0.1);
    EXPECT_LT(c.lastLevel, 0.005);
    EXPECT_LE(c.largestExcess, 2 / 32768.0) << "a click at " << c.excessAtMs << " ms";
}

// H plays within two seconds of the server being back, and what it plays is heard.
void expectHeard(PrivateServer& server, qint64 took) {
    EXPECT_GE(took, 0);
    if (took < 0)
        return;
    server.record();
    const std::vector<std::int16_t> heard = server.stopRecording();
    EXPECT_TRUE(std::any_of(heard.begin(), heard.end(), [](std::int16_t v) { return v != 0; }));
    EXPECT_GT(canvas::soundOutput().playedSeconds(), 0.3);
}

TEST(RealSound, HPlaysAgainSoonAfterTheServerComesBack) {
    if (!pulseInstalled())
        GTEST_SKIP() << "PulseAudio is not installed";
    PrivateServer server;
    ASSERT_TRUE(server.start());
    SystemOutput output;
    Window w;
    ASSERT_TRUE(w.pressH());
    QTest::qWait(300);
    // The server goes away while the sound plays: the sound ends and the pupil is told.
    server.kill();
    ASSERT_TRUE(w.waitForTheEnd(3000));
    EXPECT_FALSE(w.explorer->isSounding());
    EXPECT_EQ(w.canvas->spokenText(), kNoSound);
    EXPECT_FALSE(w.pressH());
    ASSERT_TRUE(server.start());
    const qint64 took = w.pressHUntilItPlays(kRecoveryMs);
    std::cout << "H played " << took << " ms after the server was back\n";
    expectHeard(server, took);
}

TEST(RealSound, HFindsAServerStartedAfterTheWindow) {
    if (!pulseInstalled())
        GTEST_SKIP() << "PulseAudio is not installed";
    PrivateServer server;
    SystemOutput output;
    Window w;
    EXPECT_FALSE(w.pressH());
    EXPECT_EQ(w.canvas->spokenText(), kNoSound);
    ASSERT_TRUE(server.start());
    const qint64 took = w.pressHUntilItPlays(kRecoveryMs);
    std::cout << "H played " << took << " ms after the server was started\n";
    expectHeard(server, took);
}
