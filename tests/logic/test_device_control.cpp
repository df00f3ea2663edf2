// The sound device control: the commands a cue gives, and what each does to the sound output
// in each state.

#include "check.h"
#include "program/device_control.h"
#include "program_fakes.h"

using namespace mokopera;
using namespace mokopera::testing;

namespace {

class RecordingCommands : public DeviceCommands {
public:
    std::vector<std::string> log;
    void SetFileName(const std::string& name) override { log.push_back("FileName=" + name); }
    void SetCommand(const std::string& command) override { log.push_back(command); }
};

// The sound output: "missing.wav" cannot be opened; everything else can.
class Output : public MediaDevice {
public:
    std::vector<std::string> log;
    bool Open(const std::string& name) override
    {
        log.push_back("open " + name);
        return name != "missing.wav";
    }
    void Play() override { log.push_back("play"); }
    void Stop() override { log.push_back("stop"); }
    void Close() override { log.push_back("close"); }
};

}  // namespace

TEST(CueCommands)
{
    RecordingCommands control;
    PlayCue(control, "pinpon.wav");
    CHECK_EQ(control.log, (std::vector<std::string>{"Stop", "Close", "FileName=pinpon.wav", "Open", "Sound"}));
    control.log.clear();
    PlayVerdictCue(control, "Chimes.wav");
    CHECK_EQ(control.log, (std::vector<std::string>{"close", "FileName=Chimes.wav", "Open", "Sound"}));
}

// A script of assignments ("file:NAME" sets FileName, anything else is a command) on a fresh
// control: what reaches the sound output, and the state it ends in.
TEST(DeviceStates)
{
    using State = DeviceControl::State;
    struct Row {
        const char* name;
        std::vector<std::string> script, output;
        State state;
    };
    const Row rows[] = {
        {"first cue on a never-opened device", {"Stop", "Close", "file:pinpon.wav", "Open", "Sound"},
         {"open pinpon.wav", "play"}, State::Sounding},
        {"a verdict cue cuts off the one before", {"file:Chimes.wav", "Open", "Sound", "close", "file:Chimes2.wav", "Open", "Sound"},
         {"open Chimes.wav", "play", "close", "open Chimes2.wav", "play"}, State::Sounding},
        {"Reset while a verdict sounds stops it first",
         {"file:Chimes.wav", "Open", "Sound", "Stop", "Close", "file:pinpon.wav", "Open", "Sound"},
         {"open Chimes.wav", "play", "stop", "close", "open pinpon.wav", "play"}, State::Sounding},
        {"close and Close are the same", {"file:Chimes.wav", "Open", "close", "file:Chimes.wav", "Open", "Close"},
         {"open Chimes.wav", "close", "open Chimes.wav", "close"}, State::Closed},
        {"Sound before Open does nothing", {"file:Chimes.wav", "Sound"}, {}, State::Closed},
        {"Stop on a silent open device does nothing", {"file:Chimes.wav", "Open", "Stop"}, {"open Chimes.wav"}, State::Open},
        {"unknown commands are ignored", {"file:Chimes.wav", "Play", "OPEN", "", "Open", "Eject"}, {"open Chimes.wav"},
         State::Open},
        {"a second Open while open does nothing", {"file:Chimes.wav", "Open", "file:pinpon.wav", "Open", "Sound"},
         {"open Chimes.wav", "play"}, State::Sounding},
        {"a cue that cannot be opened stays closed and silent", {"file:missing.wav", "Open", "Sound"},
         {"open missing.wav"}, State::Closed},
        {"a finished cue leaves the device open on its file", {"file:Chimes.wav", "Open", "Sound", "Sound"},
         {"open Chimes.wav", "play", "play"}, State::Sounding},
    };
    for (const Row& row : rows) {
        ROW(row.name);
        Output output;
        DeviceControl control(output);
        for (const std::string& step : row.script) {
            if (step.rfind("file:", 0) == 0)
                control.SetFileName(step.substr(5));
            else
                control.SetCommand(step);
        }
        CHECK_EQ(output.log, row.output);
        CHECK(control.CurrentState() == row.state);
    }
}

TEST_MAIN
