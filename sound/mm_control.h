#pragma once

#include <QObject>
#include <string>

#include "sound/cue_files.h"
#include "sound/media_device.h"

namespace mokopera {

// The two properties a cue sets on a device control.
class DeviceControl {
public:
    virtual ~DeviceControl() = default;
    virtual void SetFileName(const std::string& name) = 0;
    virtual void SetCommand(const std::string& command) = 0;
};

// The main window's multimedia device control, `MMControl1`. Two string properties: FileName,
// remembered for the next "Open", and Command, carried out at once when assigned. Commands:
// "Stop", "Close" (also "close"), "Open", "Sound". An unknown command, a command that does not
// fit the state ("Sound" before "Open", "Stop" when closed) or a file that cannot be found or
// read does nothing and reports nothing: no cue is ever worth interrupting a lesson for.
class MMControl : public QObject, public DeviceControl {
    Q_OBJECT
public:
    enum class State { Closed, Open, Sounding };

    MMControl(MediaDevice& device, const CueFileLocator& locator, QObject* parent = nullptr);

    void SetFileName(const std::string& name) override { fileName_ = name; }
    void SetCommand(const std::string& command) override;
    [[nodiscard]] State CurrentState() const { return state_; }

private:
    MediaDevice& device_;
    const CueFileLocator& locator_;
    std::string fileName_;
    State state_ = State::Closed;
};

// A button cue: "Stop", "Close", the file name, "Open", "Sound". Does not wait for the sound.
void PlayCue(DeviceControl& control, const std::string& waveFile);

// A verdict cue: "close", the file name, "Open", "Sound" (no "Stop"). Does not wait either.
void PlayVerdictCue(DeviceControl& control, const std::string& waveFile);

}  // namespace mokopera
