#include "sound/qt_media_device.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QFile>
#include <QMediaDevices>

#include "sound/wave_file.h"

namespace mokopera {

namespace {
constexpr qint64 kLargestCueFile = 16 * 1024 * 1024;  // far above any cue; guards memory
}

QtMediaDevice::QtMediaDevice() = default;

QtMediaDevice::~QtMediaDevice()
{
    if (sink_)
        sink_->stop();
}

const QtMediaDevice::Sound* QtMediaDevice::Load(const std::string& path)
{
    if (auto found = sounds_.find(path); found != sounds_.end())
        return &found->second;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestCueFile)
        return nullptr;
    const QByteArray bytes = file.readAll();
    const auto wave = ParseWave(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                          static_cast<std::size_t>(bytes.size())));
    if (!wave)
        return nullptr;
    Sound sound;
    sound.format.setSampleRate(wave->sampleRate);
    sound.format.setChannelCount(wave->channels);
    sound.format.setSampleFormat(wave->bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    sound.samples = bytes.mid(static_cast<qsizetype>(wave->dataOffset), static_cast<qsizetype>(wave->dataBytes));
    return &sounds_.emplace(path, std::move(sound)).first->second;
}

bool QtMediaDevice::Open(const std::string& path)
{
    current_ = Load(path);
    return current_ != nullptr;
}

void QtMediaDevice::Play()
{
    if (!current_ || noAudioDevice_)
        return;
    Stop();
    if (!sink_ || sinkFormat_ != current_->format) {
        const QAudioDevice output = QMediaDevices::defaultAudioOutput();
        if (output.isNull()) {
            noAudioDevice_ = true;  // nothing to play on; do not ask again for every cue
            return;
        }
        sink_ = std::make_unique<QAudioSink>(output, current_->format);
        sinkFormat_ = current_->format;
    }
    buffer_.close();
    buffer_.setData(current_->samples);
    buffer_.open(QIODevice::ReadOnly);
    sink_->start(&buffer_);
}

void QtMediaDevice::Stop()
{
    if (sink_)
        sink_->stop();
}

void QtMediaDevice::Close()
{
    Stop();
    current_ = nullptr;
}

}  // namespace mokopera
