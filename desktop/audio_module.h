#pragma once

#include <QLibrary>
#include <memory>
#include <string>

#include "desktop/cue_files.h"
#include "program/front_end.h"

namespace mokopera {

// The sound output, kept in a module of its own and loaded only when it is first needed: the
// program starts without Qt Multimedia and the two dozen sound and network libraries it brings,
// none of which is of use before the first cue. Cues are found by their bare names in the
// folders of `cueFiles`.
class AudioModule final : public MediaDevice {
public:
    // `modulePath`: the module file (mokopera-audio), beside the program or where it is installed.
    AudioModule(const std::string& modulePath, CueFileLocator cueFiles);
    ~AudioModule() override;

    // Loads the module now unless that has been tried already; false when it cannot be loaded,
    // and then every cue is silent. Opening the first cue file loads it too.
    bool Load();

    // The cue `name` (a bare wave-file name), found in the cue folders.
    bool Open(const std::string& name) override;
    void Play() override;
    void Stop() override;
    void Close() override;

private:
    QLibrary library_;
    CueFileLocator cueFiles_;
    std::unique_ptr<MediaDevice> device_;
    bool tried_ = false;
};

}  // namespace mokopera
