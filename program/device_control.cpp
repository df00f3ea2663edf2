#include "program/device_control.h"

namespace mokopera {

void DeviceControl::SetCommand(const std::string& command)
{
    if (command == "Stop") {
        if (state_ == State::Sounding) {
            device_.Stop();
            state_ = State::Open;
        }
    } else if (command == "Close" || command == "close") {
        if (state_ != State::Closed) {
            device_.Close();
            state_ = State::Closed;
        }
    } else if (command == "Open") {
        if (state_ == State::Closed && device_.Open(fileName_))
            state_ = State::Open;
    } else if (command == "Sound") {
        if (state_ == State::Closed)
            return;
        device_.Play();
        state_ = State::Sounding;
    }
}

void PlayCue(DeviceCommands& control, const std::string& waveFile)
{
    control.SetCommand("Stop");
    control.SetCommand("Close");
    control.SetFileName(waveFile);
    control.SetCommand("Open");
    control.SetCommand("Sound");
}

void PlayVerdictCue(DeviceCommands& control, const std::string& waveFile)
{
    control.SetCommand("close");
    control.SetFileName(waveFile);
    control.SetCommand("Open");
    control.SetCommand("Sound");
}

}  // namespace mokopera
