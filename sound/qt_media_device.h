#pragma once

#include <QObject>
#include <map>
#include <memory>
#include <string>

#include "sound/media_device.h"

class QSoundEffect;

namespace mokopera {

// Plays wave files through Qt Multimedia. Each file is loaded once into its own QSoundEffect
// and kept, so a cue that was heard before starts at once; loading happens off the calling
// thread inside Qt, so no call here waits for the audio system. Without an audio device the
// calls still return at once and simply make no sound.
class QtMediaDevice final : public QObject, public MediaDevice {
    Q_OBJECT
public:
    QtMediaDevice();
    ~QtMediaDevice() override;

    bool Open(const std::string& path) override;
    void Play() override;
    void Stop() override;
    void Close() override;

    // Starts loading these files now, so that their first cue is not delayed.
    void Preload(const std::string& path);

private:
    QSoundEffect* EffectFor(const std::string& path);
    std::map<std::string, QSoundEffect*> effects_;
    QSoundEffect* current_ = nullptr;
    QSoundEffect* playing_ = nullptr;
};

}  // namespace mokopera
