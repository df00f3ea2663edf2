#include "desktop/qt_media_device.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QFile>
#include <QMediaDevices>

#include "sounds/wave_file.h"

namespace mokopera {

namespace {
constexpr qint64 kLargestCueFile = qint64{16} * 1024 * 1024;  // far above any cue; guards memory
}

QtMediaDevice::QtMediaDevice() = default;

QtMediaDevice::~QtMediaDevice()
{
    Stop();
}

const QtMediaDevice::Sound* QtMediaDevice::Load(const std::string& path)
{
    if (auto found = sounds_.find(path); found != sounds_.end())
        return &found->second;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestCueFile)
        return nullptr;
    const QByteArray bytes = file.readAll();
    const auto wave = ParseWave(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())));
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

// Every cue gets an output stream of its own, on the output that is the default at this moment.
// A stream that is stopped and started again loses sound on a real sound server (later cues come
// out cut short or not at all), and a stream kept from before a restart of the sound server
// never plays again; a fresh one plays in both cases.
void QtMediaDevice::Play()
{
    if (!current_)
        return;
    Stop();
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull())
        return;
    playing_ = std::make_unique<QBuffer>();
    playing_->setData(current_->samples);
    playing_->open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(output, current_->format);
    sink_->start(playing_.get());
}

void QtMediaDevice::Stop()
{
    if (sink_)
        sink_->stop();
    sink_.reset();
    playing_.reset();
}

void QtMediaDevice::Close()
{
    Stop();
    current_ = nullptr;
}

}  // namespace mokopera
