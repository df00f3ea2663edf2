#include "sound/qt_media_device.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace mokopera {

QtMediaDevice::QtMediaDevice() = default;
QtMediaDevice::~QtMediaDevice() = default;  // the effects are children of this object

QSoundEffect* QtMediaDevice::EffectFor(const std::string& path)
{
    auto found = effects_.find(path);
    if (found != effects_.end())
        return found->second;
    auto* effect = new QSoundEffect(this);
    effect->setSource(QUrl::fromLocalFile(QString::fromStdString(path)));
    effects_.emplace(path, effect);
    return effect;
}

void QtMediaDevice::Preload(const std::string& path)
{
    if (QFileInfo(QString::fromStdString(path)).isReadable())
        EffectFor(path);
}

bool QtMediaDevice::Open(const std::string& path)
{
    if (!QFileInfo(QString::fromStdString(path)).isReadable())
        return false;
    current_ = EffectFor(path);
    return true;
}

void QtMediaDevice::Play()
{
    if (!current_)
        return;
    // One cue at a time: a new one cuts off the one still sounding.
    if (playing_ && playing_ != current_)
        playing_->stop();
    current_->stop();
    current_->play();
    playing_ = current_;
}

void QtMediaDevice::Stop()
{
    if (playing_)
        playing_->stop();
}

void QtMediaDevice::Close()
{
    Stop();
    current_ = nullptr;
}

}  // namespace mokopera
