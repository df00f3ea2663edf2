#pragma once

#include <QAudioFormat>
#include <QBuffer>
#include <QByteArray>
#include <map>
#include <memory>
#include <string>

#include "program/front_end.h"

class QAudioSink;

namespace mokopera {

// Plays wave files through Qt Multimedia's audio output; Open takes a file's path. A file is read
// and checked once, when it is first opened, and kept in memory, so its cue starts at once.
// Without an audio device, or with a file that is not a playable wave, the calls return at once
// and make no sound.
class QtMediaDevice final : public MediaDevice {
public:
    QtMediaDevice();
    ~QtMediaDevice() override;

    bool Open(const std::string& path) override;
    void Play() override;
    void Stop() override;
    void Close() override;

private:
    struct Sound {
        QAudioFormat format;
        QByteArray samples;
    };
    const Sound* Load(const std::string& path);

    std::map<std::string, Sound> sounds_;
    const Sound* current_ = nullptr;
    std::unique_ptr<QBuffer> playing_;
    std::unique_ptr<QAudioSink> sink_;
};

}  // namespace mokopera
