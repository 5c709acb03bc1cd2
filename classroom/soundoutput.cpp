#include "classroom/soundoutput.h"

#include "drawing/curvesound.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>

namespace canvas {

namespace {

class SystemSoundOutput : public SoundOutput {
public:
    bool play(const QByteArray& pcm) override {
        stop();
        // No sound server, sound switched off, a build machine: all look like no default device.
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            return false;
        QAudioFormat format;
        format.setSampleRate(kSoundRate);
        format.setChannelCount(2);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(format))
            return false;
        bytes_ = pcm;
        buffer_.setBuffer(&bytes_);
        buffer_.open(QIODevice::ReadOnly);
        sink_ = std::make_unique<QAudioSink>(device, format);
        sink_->start(&buffer_);
        if (sink_->error() != QAudio::NoError) {
            stop();
            return false;
        }
        return true;
    }

    void stop() override {
        if (sink_)
            sink_->stop();
        sink_.reset();
        buffer_.close();
    }

    bool isPlaying() const override {
        // Idle once every sample has been handed over: the sound is over.
        return sink_ && sink_->state() == QAudio::ActiveState && sink_->error() == QAudio::NoError;
    }

    double playedSeconds() const override { return sink_ ? sink_->processedUSecs() / 1e6 : 0; }

    bool failed() const override {
        // Running out of samples at the end is an underrun, not a fault.
        if (!sink_)
            return false;
        const QAudio::Error error = sink_->error();
        return error == QAudio::OpenError || error == QAudio::IOError || error == QAudio::FatalError;
    }

private:
    QByteArray bytes_;
    QBuffer buffer_;
    std::unique_ptr<QAudioSink> sink_;
};

std::shared_ptr<SoundOutput>& installed() {
    static std::shared_ptr<SoundOutput> output;
    return output;
}

} // namespace

SoundOutput& soundOutput() {
    if (!installed())
        installed() = std::make_shared<SystemSoundOutput>();
    return *installed();
}

std::shared_ptr<SoundOutput> setSoundOutput(std::shared_ptr<SoundOutput> output) {
    std::shared_ptr<SoundOutput> previous = std::move(installed());
    installed() = std::move(output);
    return previous;
}

} // namespace canvas
