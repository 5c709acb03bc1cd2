#pragma once

// Where a curve's sound is played: the system's sound output through Qt Multimedia, behind a replaceable
// service so that tests (and machines without sound) never depend on a device. The output only streams
// samples already rendered; it makes no sound of its own.

#include <QByteArray>

#include <memory>

namespace canvas {

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    /// Starts playing 16-bit stereo samples at the curve sounds' rate, in place of any sound playing;
    /// false when there is no sound output to play them on.
    virtual bool play(const QByteArray& pcm) = 0;
    /// Stops the sound at once.
    virtual void stop() = 0;
    /// True while the sound is still playing.
    virtual bool isPlaying() const = 0;
    /// Seconds of the sound heard so far.
    virtual double playedSeconds() const = 0;
    /// True when the sound stopped because the output failed (the sound server went away) rather than
    /// because it was over.
    virtual bool failed() const = 0;
};

/// The service in use: the system's sound output unless another was installed.
SoundOutput& soundOutput();

/// Installs the service; returns the previous one. A null service brings back the system's output.
std::shared_ptr<SoundOutput> setSoundOutput(std::shared_ptr<SoundOutput> output);

} // namespace canvas
