#include "classroom/soundoutput.h"

#include "curves/curvesound.h"

#include <QCoreApplication>

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>
#include <vector>

namespace canvas {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kFrameBytes = 4;
constexpr double kBytesPerSecond = static_cast<double>(kSoundRate) * kFrameBytes;
// What the server keeps queued for the stream: long, so that a busy machine never lets it run dry (queues
// of 40 and 100 ms ran dry on a loaded test machine, which is heard as a gap and a click), and what it asks
// for at a time, which also keeps the device's own buffer short. A stop does not wait for the queue: it
// writes over it.
constexpr pa_usec_t kQueueUsec = 250000;
constexpr pa_usec_t kRequestUsec = 20000;
// How far ahead of what the device is playing a stop's fade begins: time for the fade to reach the
// server before the server reads that far.
constexpr pa_usec_t kStopAheadUsec = 20000;
// How long a sound waits for the server to answer before the server counts as not there. A server that is
// not running refuses at once; this bounds one that hangs.
constexpr pa_usec_t kAnswerUsec = 1000000;
// How long the program, as it ends, lets a sound it stopped fade out.
constexpr auto kLastFade = std::chrono::milliseconds(300);
constexpr auto kLastFadePoll = std::chrono::milliseconds(5);

// One sound on its own connection to the server, so that no connection outlives the server it was made to.
// Everything in it is read and changed with the main loop's lock held: the loop's thread holds it while it
// runs the callbacks, the output takes it.
struct Playback {
    explicit Playback(pa_threaded_mainloop* loop) : loop(loop) {}
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;
    ~Playback() {
        if (answerTimer)
            pa_threaded_mainloop_get_api(loop)->time_free(answerTimer);
        for (pa_operation* op : {drainOp, timingOp})
            if (op) {
                if (pa_operation_get_state(op) == PA_OPERATION_RUNNING)
                    pa_operation_cancel(op);
                pa_operation_unref(op);
            }
        if (stream) {
            pa_stream_set_state_callback(stream, nullptr, nullptr);
            pa_stream_set_write_callback(stream, nullptr, nullptr);
            pa_stream_disconnect(stream);
            pa_stream_unref(stream);
        }
        if (context) {
            pa_context_set_state_callback(context, nullptr, nullptr);
            pa_context_disconnect(context);
            pa_context_unref(context);
        }
    }

    bool over() const { return failed || (heardAll && Clock::now() >= *heardAll); }
    double seconds() const { return static_cast<double>(end) / kBytesPerSecond; }

    pa_threaded_mainloop* loop;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    pa_time_event* answerTimer = nullptr;
    pa_operation* drainOp = nullptr;
    pa_operation* timingOp = nullptr;
    QByteArray pcm;
    std::size_t written = 0; ///< bytes handed to the server
    std::size_t end = 0;     ///< bytes to hand over: the whole sound, or up to the end of a stop's fade
    bool draining = false;
    /// When the device will have played the last sample: once the server's queue has run dry, what the
    /// device still holds.
    std::optional<Clock::time_point> heardAll;
    bool failed = false;
    bool unanswered = false;
};

void signal(Playback* p) {
    pa_threaded_mainloop_signal(p->loop, 0);
}

void onContext(pa_context* context, void* data) {
    auto* p = static_cast<Playback*>(data);
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED)
        p->failed = true;
    signal(p);
}

void onStream(pa_stream* stream, void* data) {
    auto* p = static_cast<Playback*>(data);
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED)
        p->failed = true;
    signal(p);
}

void onUnanswered(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* data) {
    auto* p = static_cast<Playback*>(data);
    p->unanswered = true;
    signal(p);
}

void onLatencyKnown(pa_stream* stream, int success, void* data) {
    auto* p = static_cast<Playback*>(data);
    // With the queue empty, the stream's latency is what the device holds yet to play.
    pa_usec_t latency = 0;
    int negative = 0;
    if (!success || pa_stream_get_latency(stream, &latency, &negative) < 0 || negative)
        latency = 0;
    p->heardAll = Clock::now() + std::chrono::microseconds(latency);
    signal(p);
}

void onDrained(pa_stream* stream, int success, void* data) {
    auto* p = static_cast<Playback*>(data);
    if (!success) {
        p->failed = true;
        signal(p);
        return;
    }
    p->timingOp = pa_stream_update_timing_info(stream, onLatencyKnown, p);
    if (!p->timingOp)
        onLatencyKnown(stream, 0, p);
}

// Hands the server up to `bytes` more of the sound; once all of it is handed over, asks to be told when the
// server has played it out.
void feed(Playback* p, std::size_t bytes) {
    const std::size_t n = std::min(bytes, p->end - p->written);
    if (n > 0 &&
        pa_stream_write(p->stream, p->pcm.constData() + p->written, n, nullptr, 0, PA_SEEK_RELATIVE) == 0)
        p->written += n;
    if (p->written == p->end && !p->draining) {
        p->draining = true;
        p->drainOp = pa_stream_drain(p->stream, onDrained, p);
        if (!p->drainOp)
            p->failed = true;
    }
}

void onWritable(pa_stream*, std::size_t bytes, void* data) {
    feed(static_cast<Playback*>(data), bytes);
}

// Waits, with the lock held, until `done` or the server's answer is overdue or the connection failed.
template <typename Done> bool await(Playback* p, Done done) {
    while (!done() && !p->failed && !p->unanswered)
        pa_threaded_mainloop_wait(p->loop);
    return done();
}

class PulseSoundOutput : public SoundOutput {
public:
    PulseSoundOutput() = default;
    PulseSoundOutput(const PulseSoundOutput&) = delete;
    PulseSoundOutput& operator=(const PulseSoundOutput&) = delete;

    ~PulseSoundOutput() override {
        if (!loop_)
            return;
        pa_threaded_mainloop_lock(loop_);
        retire();
        const Clock::time_point deadline = Clock::now() + kLastFade;
        while (!fading_.empty() && Clock::now() < deadline) {
            pa_threaded_mainloop_unlock(loop_);
            std::this_thread::sleep_for(kLastFadePoll);
            pa_threaded_mainloop_lock(loop_);
            forgetFaded();
        }
        fading_.clear();
        pa_threaded_mainloop_unlock(loop_);
        pa_threaded_mainloop_stop(loop_);
        pa_threaded_mainloop_free(loop_);
    }

    bool play(const QByteArray& pcm) override {
        if (!loop_) {
            loop_ = pa_threaded_mainloop_new();
            if (!loop_ || pa_threaded_mainloop_start(loop_) < 0) {
                if (loop_)
                    pa_threaded_mainloop_free(loop_);
                loop_ = nullptr;
                return false;
            }
        }
        pa_threaded_mainloop_lock(loop_);
        retire();
        forgetFaded();
        std::unique_ptr<Playback> p = connect(pcm);
        const bool playing = p != nullptr;
        current_ = std::move(p);
        pa_threaded_mainloop_unlock(loop_);
        return playing;
    }

    void stop() override {
        if (!loop_)
            return;
        pa_threaded_mainloop_lock(loop_);
        retire();
        forgetFaded();
        pa_threaded_mainloop_unlock(loop_);
    }

    bool isPlaying() const override {
        return withLock([](const Playback& p) { return !p.over(); }, false);
    }

    double playedSeconds() const override {
        return withLock(
            [](const Playback& p) {
                if (p.heardAll) {
                    const std::chrono::duration<double> left = *p.heardAll - Clock::now();
                    return std::clamp(p.seconds() - left.count(), 0.0, p.seconds());
                }
                pa_usec_t usec = 0;
                if (!p.stream || pa_stream_get_time(p.stream, &usec) < 0)
                    return 0.0;
                return std::min(usec / 1e6, static_cast<double>(p.written) / kBytesPerSecond);
            },
            0.0);
    }

    double processedSeconds() const override {
        return withLock([](const Playback& p) { return static_cast<double>(p.written) / kBytesPerSecond; },
                        0.0);
    }

    bool failed() const override {
        return withLock([](const Playback& p) { return p.failed; }, false);
    }

private:
    template <typename Read, typename Value> Value withLock(Read read, Value none) const {
        if (!loop_)
            return none;
        pa_threaded_mainloop_lock(loop_);
        const Value value = current_ ? read(*current_) : none;
        pa_threaded_mainloop_unlock(loop_);
        return value;
    }

    // A new connection and stream playing `pcm`; none when the server cannot be reached or refuses it.
    std::unique_ptr<Playback> connect(const QByteArray& pcm) {
        auto p = std::make_unique<Playback>(loop_);
        p->pcm = withFades(pcm);
        p->end = static_cast<std::size_t>(p->pcm.size()) / kFrameBytes * kFrameBytes;
        if (p->end == 0) {
            p->heardAll = Clock::now();
            return p;
        }
        QByteArray name = QCoreApplication::applicationName().toUtf8();
        if (name.isEmpty())
            name = "function explorer";
        p->context = pa_context_new(pa_threaded_mainloop_get_api(loop_), name.constData());
        if (!p->context)
            return nullptr;
        pa_context_set_state_callback(p->context, onContext, p.get());
        // Never start a server of our own: a classroom machine without one has no sound on purpose.
        if (pa_context_connect(p->context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            return nullptr;
        p->answerTimer =
            pa_context_rttime_new(p->context, pa_rtclock_now() + kAnswerUsec, onUnanswered, p.get());
        if (!await(p.get(), [&] { return pa_context_get_state(p->context) == PA_CONTEXT_READY; }))
            return nullptr;
        static const pa_sample_spec sampleFormat{PA_SAMPLE_S16LE, static_cast<std::uint32_t>(kSoundRate), 2};
        p->stream = pa_stream_new(p->context, "曲线的声音", &sampleFormat, nullptr);
        if (!p->stream)
            return nullptr;
        pa_stream_set_state_callback(p->stream, onStream, p.get());
        pa_stream_set_write_callback(p->stream, onWritable, p.get());
        pa_buffer_attr queue;
        queue.maxlength = static_cast<std::uint32_t>(-1);
        queue.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(kQueueUsec, &sampleFormat));
        queue.prebuf = static_cast<std::uint32_t>(-1);
        queue.minreq = static_cast<std::uint32_t>(pa_usec_to_bytes(kRequestUsec, &sampleFormat));
        queue.fragsize = static_cast<std::uint32_t>(-1);
        const auto flags = static_cast<pa_stream_flags_t>(
            PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_EARLY_REQUESTS);
        if (pa_stream_connect_playback(p->stream, nullptr, &queue, flags, nullptr, nullptr) < 0)
            return nullptr;
        if (!await(p.get(), [&] { return pa_stream_get_state(p->stream) == PA_STREAM_READY; }))
            return nullptr;
        pa_threaded_mainloop_get_api(loop_)->time_free(p->answerTimer);
        p->answerTimer = nullptr;
        return p;
    }

    // Ends the current sound with a fade a little ahead of what the device is playing, then silence: what
    // the server holds beyond that is written over, so the sound stops at once however much is queued.
    // Where the server is too near to tell, the fade follows what was handed over. The connection goes
    // once the rest is played out.
    void retire() {
        if (!current_)
            return;
        std::unique_ptr<Playback> p = std::move(current_);
        if (p->over() || !p->stream)
            return;
        const std::size_t from = stopFrame(*p);
        if (from * kFrameBytes < p->written) {
            QByteArray tail = fadedOut(p->pcm, from);
            const std::size_t at = from * kFrameBytes;
            const std::size_t last = std::max(p->written, at + static_cast<std::size_t>(tail.size()));
            tail.append(QByteArray(static_cast<qsizetype>(last - at) - tail.size(), '\0'));
            if (pa_stream_write(p->stream, tail.constData(), static_cast<std::size_t>(tail.size()), nullptr,
                                static_cast<std::int64_t>(at), PA_SEEK_ABSOLUTE) == 0) {
                p->written = last;
                p->end = last;
                feed(p.get(), 0);
                fading_.push_back(std::move(p));
                return;
            }
        }
        if (p->written < p->end) {
            const QByteArray fade = fadedOut(p->pcm, p->written / kFrameBytes);
            p->pcm.replace(static_cast<qsizetype>(p->written), fade.size(), fade);
            p->end = p->written + static_cast<std::size_t>(fade.size());
            feed(p.get(), 0);
        }
        fading_.push_back(std::move(p));
    }

    // The first frame a stop may still change: what the device is playing, what it holds, and a margin.
    static std::size_t stopFrame(const Playback& p) {
        pa_usec_t heard = 0;
        const pa_timing_info* timing = pa_stream_get_timing_info(p.stream);
        if (!timing || pa_stream_get_time(p.stream, &heard) < 0)
            return p.written / kFrameBytes;
        const pa_usec_t ahead = heard + (timing->sink_usec) + kStopAheadUsec;
        return static_cast<std::size_t>(static_cast<double>(ahead) * kSoundRate / 1e6);
    }

    void forgetFaded() {
        fading_.erase(std::remove_if(fading_.begin(), fading_.end(), [](const auto& p) { return p->over(); }),
                      fading_.end());
    }

    pa_threaded_mainloop* loop_ = nullptr;
    std::unique_ptr<Playback> current_;
    std::vector<std::unique_ptr<Playback>> fading_;
};

std::shared_ptr<SoundOutput>& installed() {
    static std::shared_ptr<SoundOutput> output;
    return output;
}

} // namespace

SoundOutput& soundOutput() {
    if (!installed())
        installed() = std::make_shared<PulseSoundOutput>();
    return *installed();
}

std::shared_ptr<SoundOutput> setSoundOutput(std::shared_ptr<SoundOutput> output) {
    std::shared_ptr<SoundOutput> previous = std::move(installed());
    installed() = std::move(output);
    return previous;
}

} // namespace canvas
