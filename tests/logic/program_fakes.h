#pragma once

// A front end that records everything the program asks of it, in one log, and keeps what its
// windows show, so that tests can drive the whole program without a window toolkit.

#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "check.h"
#include "program/program.h"
#include "simulation_fakes.h"

namespace mokopera::testing {

inline const char* CommandName(Command command)
{
    static const char* const names[] = {"Command1", "Command2", "Command3", "Command4", "Command5", "Command6"};
    return names[static_cast<int>(command)];
}

class RecordingFrontEnd final : public Screens, public Dialogs, public MediaDevice {
public:
    std::vector<std::string> log;

    // The main window as it stands.
    struct Main final : MainView {
        RecordingFrontEnd& front;
        std::array<bool, kCommandCount> enabled{true, true, true, true, true, true};
        std::map<std::string, std::string> labels;
        bool timer = false, busy = false;
        int points = 0, marks = 0;
        explicit Main(RecordingFrontEnd& owner) : front(owner) {}
        void SetCommandEnabled(Command command, bool on) override
        {
            enabled[static_cast<std::size_t>(command)] = on;
            front.log.push_back(std::string(CommandName(command)) + (on ? " on" : " off"));
        }
        void SetLabelText(ValueLabel label, const std::string& text) override
        {
            labels[LabelName(label)] = text;
            front.log.push_back(std::string(LabelName(label)) + "=" + text);
        }
        void SetVerdictColour(ConsoleColour colour) override
        {
            front.log.push_back("colour " + std::to_string(static_cast<int>(colour)));
        }
        void ClearCanvas() override
        {
            marks = 0;
            front.log.push_back("clear");
        }
        void SetPoint(float, float) override { ++points; }
        void TargetDrawn() override { front.log.push_back("target"); }
        void DrawMark(float x, float y, ConsoleColour colour) override
        {
            ++marks;
            char text[64];
            std::snprintf(text, sizeof text, "mark %.1f %.1f %d", double(x), double(y), static_cast<int>(colour));
            front.log.push_back(text);
        }
        void SetBusyPointer(bool on) override
        {
            busy = on;
            front.log.push_back(on ? "busy" : "arrow");
        }
        void SetTimerRunning(bool on) override
        {
            timer = on;
            front.log.push_back(on ? "timer on" : "timer off");
        }
    };

    struct Help final : HelpView {
        std::vector<std::string> printed;
        void ClearText() override { printed.clear(); }
        void PrintLine(const std::string& line) override { printed.push_back(line); }
    };

    std::unique_ptr<Main> main;
    std::unique_ptr<Help> help;
    int mainLoads = 0, helpLoads = 0;

    MainView& LoadMainView() override
    {
        ++mainLoads;
        log.push_back("load main");
        main = std::make_unique<Main>(*this);
        return *main;
    }
    void UnloadMainView() override
    {
        log.push_back("unload main");
        main.reset();
    }
    HelpView& LoadHelpView() override
    {
        ++helpLoads;
        log.push_back("load help");
        help = std::make_unique<Help>();
        return *help;
    }
    void UnloadHelpView() override
    {
        log.push_back("unload help");
        help.reset();
    }
    void EndProgram() override { log.push_back("end"); }

    void AskEntry(const std::string& prompt, const std::string& title, const std::string& offered) override
    {
        log.push_back("ask entry " + title + " " + prompt + " " + offered);
    }
    void AskYesNo(const std::string& prompt, const std::string& title) override
    {
        log.push_back("ask yesno " + title + " " + prompt);
    }
    void ShowNotice(const std::string&, const std::string& title) override { log.push_back("notice " + title); }

    bool Open(const std::string& name) override
    {
        log.push_back("open " + name);
        return true;
    }
    void Play() override { log.push_back("play"); }
    void Stop() override { log.push_back("stop"); }
    void Close() override { log.push_back("close sound"); }

    // Fire, Auto start, Auto stop, Quit, Reset, HELP, timer: a letter when on, '.' when not.
    std::string Buttons() const
    {
        if (!main)
            return "(no main window)";
        std::string states;
        for (std::size_t i = 0; i < main->enabled.size(); ++i)
            states += main->enabled[i] ? "FASQRH"[i] : '.';
        return states + (main->timer ? 'T' : '.');
    }
};

// The whole program on a recording front end: every shot a miss at distance 101 unless the
// random values are scripted otherwise.
struct ProgramHarness {
    RecordingFrontEnd front;
    ScriptedRandom random{{0.5F}};
    FrozenClock clock;
    Program program{{front, front, front, random, clock}};

    // Runs a script of user actions and front-end events, separated by ", ": start, activate,
    // help-activated, fire, autostart, autostop, quit, reset, help, tick, close-help, close-box,
    // entry:TEXT, yes, no, ok.
    void Run(const std::string& script)
    {
        std::size_t at = 0;
        while (at < script.size()) {
            const std::size_t end = std::min(script.find(", ", at), script.size());
            Do(script.substr(at, end - at));
            at = end + 2;
        }
    }

    void Do(const std::string& step)
    {
        static const std::map<std::string, Command> commands = {
            {"fire", Command::Fire},   {"autostart", Command::AutoStart}, {"autostop", Command::AutoStop},
            {"quit", Command::Quit},   {"reset", Command::Reset},         {"help", Command::Help}};
        if (const auto command = commands.find(step); command != commands.end())
            program.Click(command->second);
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
        else if (step.rfind("entry:", 0) == 0)
            program.OnEntry(step.substr(6));
        else if (step == "yes" || step == "no")
            program.OnYesNo(step == "yes" ? kYes : kNo);
        else if (step == "ok")
            program.OnNoticeClosed();
        else
            Fail(__FILE__, __LINE__, "a script step that means nothing: " + step);
    }

    // The log from here on only.
    std::vector<std::string> RunAndLog(const std::string& script)
    {
        front.log.clear();
        Run(script);
        return front.log;
    }
};

}  // namespace mokopera::testing
