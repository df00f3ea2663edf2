#pragma once

#include <string>

#include "program/front_end.h"

namespace mokopera {

// The two string properties a cue sets on a device control, in the order it sets them.
class DeviceCommands {
public:
    virtual ~DeviceCommands() = default;
    virtual void SetFileName(const std::string& name) = 0;
    virtual void SetCommand(const std::string& command) = 0;
};

// The main window's multimedia device control, MMControl1: created closed with each main
// window. FileName is remembered for the next "Open"; assigning Command carries it out at once:
// "Stop", "Close" (also "close"), "Open", "Sound". An unknown command, a command that does not
// fit the state ("Sound" before "Open", "Stop" when closed) or a cue the device cannot open does
// nothing and reports nothing: no cue is ever worth interrupting a lesson for.
class DeviceControl final : public DeviceCommands {
public:
    enum class State { Closed, Open, Sounding };

    explicit DeviceControl(MediaDevice& device) : device_(device) {}

    void SetFileName(const std::string& name) override { fileName_ = name; }
    void SetCommand(const std::string& command) override;
    [[nodiscard]] State CurrentState() const { return state_; }

private:
    MediaDevice& device_;
    std::string fileName_;
    State state_ = State::Closed;
};

// A button cue (Reset, HELP, Quit): "Stop", "Close", the file name, "Open", "Sound". Does not
// wait for the sound.
void PlayCue(DeviceCommands& control, const std::string& waveFile);

// A verdict cue: "close", the file name, "Open", "Sound" (no "Stop"). Does not wait either.
void PlayVerdictCue(DeviceCommands& control, const std::string& waveFile);

}  // namespace mokopera
