#include "sound/mm_control.h"

namespace mokopera {

MMControl::MMControl(MediaDevice& device, const CueFileLocator& locator, QObject* parent)
    : QObject(parent), device_(device), locator_(locator)
{
    setObjectName("MMControl1");
}

void MMControl::SetCommand(const std::string& command)
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
        if (state_ != State::Closed)
            return;
        const auto path = locator_.Find(fileName_);
        if (path && device_.Open(*path))
            state_ = State::Open;
    } else if (command == "Sound") {
        if (state_ == State::Closed)
            return;
        device_.Play();
        state_ = State::Sounding;
    }
}

void PlayCue(DeviceControl& control, const std::string& waveFile)
{
    control.SetCommand("Stop");
    control.SetCommand("Close");
    control.SetFileName(waveFile);
    control.SetCommand("Open");
    control.SetCommand("Sound");
}

void PlayVerdictCue(DeviceControl& control, const std::string& waveFile)
{
    control.SetCommand("close");
    control.SetFileName(waveFile);
    control.SetCommand("Open");
    control.SetCommand("Sound");
}

}  // namespace mokopera
