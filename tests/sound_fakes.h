#pragma once

// A media device that records what it is told, and the build's own cue files.

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include "sound/cue_files.h"
#include "sound/media_device.h"

namespace mokopera::testing {

class RecordingMedia : public MediaDevice {
public:
    QStringList log;
    bool Open(const std::string& path) override
    {
        log << "open " + QFileInfo(QString::fromStdString(path)).fileName();
        return true;
    }
    void Play() override { log << "play"; }
    void Stop() override { log << "stop"; }
    void Close() override { log << "close"; }
};

// The generated cue files sit beside the test programs.
inline CueFileLocator BuildCueFiles()
{
    return CueFileLocator({QCoreApplication::applicationDirPath().toStdString()});
}

}  // namespace mokopera::testing
