#pragma once

// A front end that records everything the program asks of it, in one log, and keeps what its
// windows show, so that tests drive the whole program without a window toolkit. Its sound output
// opens every cue but "missing.wav".

#include <array>
#include <map>
#include <memory>

#include "doctest_extras.h"
#include "program/program.h"
#include "simulation_fakes.h"

namespace mokopera::testing {

struct RecordingFrontEnd final : Screens, Dialogs, MediaDevice {
    std::vector<std::string> log;

    struct Main final : MainView {
        std::vector<std::string>& log;
        std::array<bool, kCommandCount> enabled{true, true, true, true, true, true};
        std::map<std::string, std::string> labels;
        bool timer = false;
        int points = 0, marks = 0;
        explicit Main(std::vector<std::string>& to) : log(to) {}
        void SetCommandEnabled(Command command, bool on) override
        {
            enabled[std::size_t(command)] = on;
            log.push_back("Command" + std::to_string(int(command) + 1) + (on ? " on" : " off"));
        }
        void SetLabelText(ValueLabel label, const std::string& text) override
        {
            labels[ValueLabelName(label)] = text;
            log.push_back(ValueLabelName(label) + ("=" + text));
        }
        void SetVerdictColour(ConsoleColour colour) override { log.push_back("colour " + std::to_string(int(colour))); }
        void ClearCanvas() override { marks = 0, log.push_back("clear"); }
        void SetPoint(float, float) override { ++points; }
        void TargetDrawn() override { log.push_back("target"); }
        void DrawMark(float x, float y, ConsoleColour colour) override
        {
            ++marks, log.push_back(MarkText(x, y, colour));
        }
        void SetBusyPointer(bool on) override { log.push_back(on ? "busy" : "arrow"); }
        void SetTimerRunning(bool on) override { timer = on, log.push_back(on ? "timer on" : "timer off"); }
        void Announce(const std::string& text) override { log.push_back("say " + text); }
    };

    struct Help final : HelpView {
        std::vector<std::string> printed;
        void ClearText() override { printed.clear(); }
        void PrintLine(int indent, const std::string& text) override
        {
            printed.push_back(std::to_string(indent) + " " + text);
        }
    };

    std::unique_ptr<Main> main;
    std::unique_ptr<Help> help;

    MainView& LoadMainView() override { return log.push_back("load main"), *(main = std::make_unique<Main>(log)); }
    void UnloadMainView() override { log.push_back("unload main"), main.reset(); }
    HelpView& LoadHelpView() override { return log.push_back("load help"), *(help = std::make_unique<Help>()); }
    void UnloadHelpView() override { log.push_back("unload help"), help.reset(); }
    void EndProgram() override { log.push_back("end"); }

    void AskEntry(const std::string& prompt, const std::string& title, const std::string& offered,
                  const Buttons& buttons) override
    {
        log.push_back("ask entry " + title + " " + prompt + " " + offered + " [" + buttons.front() + "|" +
                      buttons.back() + "]");
    }
    void AskYesNo(const std::string& prompt, const std::string& title, const Buttons& buttons) override
    {
        log.push_back("ask yesno " + title + " " + prompt + " [" + buttons.front() + "|" + buttons.back() + "]");
    }
    void ShowNotice(const std::string&, const std::string& title, const Buttons& buttons) override
    {
        log.push_back("notice " + title + " [" + buttons.front() + "]");
    }

    bool Open(const std::string& name) override { return log.push_back("open " + name), name != "missing.wav"; }
    void Play() override { log.push_back("play"); }
    void Stop() override { log.push_back("stop"); }
    void Close() override { log.push_back("close sound"); }

    // Fire, Auto start, Auto stop, Quit, Reset, HELP, timer: a letter when on, '.' when not.
    std::string Buttons() const
    {
        std::string states;
        for (std::size_t i = 0; i < main->enabled.size(); ++i)
            states += main->enabled[i] ? "FASQRH"[i] : '.';
        return states + (main->timer ? 'T' : '.');
    }
};

// The whole program on a recording front end: every shot a miss at distance 101.
struct ProgramHarness {
    RecordingFrontEnd front;
    ScriptedRandom random{{0.5F}};
    FrozenClock clock;
    Program program{{front, front, front, random, clock}};

    // Runs a script of user actions and front-end events, separated by ", ": start, activate,
    // help-activated, fire, autostart, autostop, quit, reset, help, tick, close-help, close-box,
    // entry:TEXT, cancel, yes, no, ok, and click:N for a command given by its number.
    void Run(const std::string& script)
    {
        static const std::map<std::string, Command> commands = {
            {"fire", Command::Fire}, {"autostart", Command::AutoStart}, {"autostop", Command::AutoStop},
            {"quit", Command::Quit}, {"reset", Command::Reset},         {"help", Command::Help}};
        for (std::size_t at = 0, end; at < script.size(); at = end + 2) {
            end = std::min(script.find(", ", at), script.size());
            const std::string step = script.substr(at, end - at);
            if (commands.count(step))
                program.Click(commands.at(step));
            else if (step.rfind("entry:", 0) == 0)
                program.OnEntry(step.substr(6));
            else if (step.rfind("click:", 0) == 0)
                program.Click(static_cast<Command>(std::stoi(step.substr(6))));
            else if (step == "cancel")
                program.OnEntry(std::nullopt);
            else if (step == "yes" || step == "no")
                program.OnYesNo(step == "yes");
            else if (step == "start")
                program.Start();
            else if (step == "activate")
                program.MainViewActivated();
            else if (step == "help-activated")
                program.HelpViewActivated();
            else if (step == "tick")
                program.Tick();
            else if (step == "close-help")
                program.CloseHelp();
            else if (step == "close-box")
                program.CloseBox();
            else if (step == "ok")
                program.OnNoticeClosed();
            else
                FAIL_CHECK("a script step that means nothing: ", step);
        }
    }

    // The log of `script` only.
    std::vector<std::string> RunAndLog(const std::string& script)
    {
        front.log.clear();
        Run(script);
        return front.log;
    }
};

}  // namespace mokopera::testing
