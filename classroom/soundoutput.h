#pragma once

// Where a curve's sound is played: the sound server's own client library (PulseAudio's, which PipeWire's
// pulse server speaks too), behind a replaceable service so that tests (and machines without sound) never
// depend on a device. The output only streams samples already rendered, with a short fade at the start, at
// the end and wherever it is stopped; it makes no sound of its own. Each sound has a connection of its own,
// so a server that was away, or started after the program, is found by the next sound.

#include <QByteArray>

#include <memory>

namespace canvas {

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    /// Starts playing 16-bit stereo samples at the curve sounds' rate, in place of any sound playing;
    /// false when there is no sound output to play them on.
    virtual bool play(const QByteArray& pcm) = 0;
    /// Stops the sound within a short fade, without a click.
    virtual void stop() = 0;
    /// True until the device has played the whole sound: not when the last samples were handed over, but
    /// when they were heard.
    virtual bool isPlaying() const = 0;
    /// Seconds of the sound heard so far: what the device has played.
    virtual double playedSeconds() const = 0;
    /// Seconds of the sound handed to the device so far, ahead of what was heard by what the server and the
    /// device hold in their buffers.
    virtual double processedSeconds() const = 0;
    /// True when the sound stopped because the output failed (the sound server went away) rather than
    /// because it was over.
    virtual bool failed() const = 0;
};

/// The service in use: the system's sound output unless another was installed.
SoundOutput& soundOutput();

/// Installs the service; returns the previous one. A null service brings back the system's output.
std::shared_ptr<SoundOutput> setSoundOutput(std::shared_ptr<SoundOutput> output);

} // namespace canvas
