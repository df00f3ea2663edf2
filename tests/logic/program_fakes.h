#pragma once

// A front end that records everything the program asks of it, in one log, and keeps what its
// windows show, so that tests drive the whole program without a window toolkit. Its sound output
// opens every cue but "missing.wav".

#include <array>
#include <functional>
#include <map>
#include <memory>

#include "doctest_extras.h"
#include "program/program.h"
#include "simulation_fakes.h"

namespace mokopera::testing {

struct RecordingFrontEnd final : Screens, Dialogs, PredictionDialog, MediaDevice {
    std::vector<std::string> log;

    struct Main final : MainView {
        std::vector<std::string>& log;
        std::array<bool, kCommandCount> enabled = kAllEnabled;
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
        log.push_back("ask entry " + title + " " + prompt + " " + offered + " [" + buttons.words.front() + "|" +
                      buttons.words.back() + "]");
    }
    void AskYesNo(const std::string& prompt, const std::string& title, const Buttons& buttons) override
    {
        log.push_back("ask yesno " + title + " " + prompt + " [" + buttons.words.front() + "|" + buttons.words.back() +
                      "]");
    }
    void ShowNotice(const std::string&, const std::string& title, const Buttons& buttons) override
    {
        log.push_back("notice " + title + " [" + buttons.words.front() + "]");
    }

    void AskPrediction(const std::string& question, const std::string&, const Buttons& buttons) override
    {
        log.push_back("ask prediction " + question + " [" + buttons.words.front() + "|" + buttons.words.back() + "]");
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

// Ids 1, 2, 3 … for the series, in the order they begin: the series show them as "10000", "20000" …
struct CountingIds final : IdSource {
    std::uint64_t last = 0;
    std::uint64_t NextId() override { return ++last; }
};

// The tab's storage of a visit's series: what was saved last.
struct KeptSeries final : SeriesStorage {
    explicit KeptSeries(std::string kept) : codes(std::move(kept)) {}
    std::string codes;
    std::string Load() override { return codes; }
    void Save(const std::string& saved) override { codes = saved; }
};

// The whole program on a recording front end: every shot a miss at distance 101. `kept` is what
// the tab kept of the visit before this load of the page.
struct ProgramHarness {
    explicit ProgramHarness(std::string kept = {}) : storage(std::move(kept)) {}

    RecordingFrontEnd front;
    ScriptedRandom random{{0.5F}};
    FrozenClock clock;
    ExperimentState record;
    CountingIds ids;
    KeptSeries storage;
    SeriesLog series{ids, &storage};
    Program program{{front, front, front, random, clock, &front}, record, &series};

    // Runs a script of user actions and front-end events, separated by ", ": start, activate,
    // help-activated, fire, autostart, autostop, quit, reset, help, tick, close-help, window-closed,
    // entry:TEXT, cancel, yes, no, ok, predict:PERCENT (predict:? for わからない), and click:N for a
    // command given by its number.
    void Run(const std::string& script)
    {
        using Step = std::function<void(Program&, const std::string&)>;
        static const std::map<std::string, Step> steps = {
            {"fire", [](Program& p, auto&) { p.Click(Command::Fire); }},
            {"autostart", [](Program& p, auto&) { p.Click(Command::AutoStart); }},
            {"autostop", [](Program& p, auto&) { p.Click(Command::AutoStop); }},
            {"quit", [](Program& p, auto&) { p.Click(Command::Quit); }},
            {"reset", [](Program& p, auto&) { p.Click(Command::Reset); }},
            {"help", [](Program& p, auto&) { p.Click(Command::Help); }},
            {"click", [](Program& p, auto& n) { p.Click(static_cast<Command>(std::stoi(n))); }},
            {"entry", [](Program& p, auto& text) { p.OnEntry(text); }},
            {"cancel", [](Program& p, auto&) { p.OnEntry(std::nullopt); }},
            {"yes", [](Program& p, auto&) { p.OnYesNo(true); }},
            {"no", [](Program& p, auto&) { p.OnYesNo(false); }},
            {"ok", [](Program& p, auto&) { p.OnNoticeClosed(); }},
            {"predict",
             [](Program& p, auto& said) {
                 p.OnPrediction(said == "?" ? Prediction::DontKnow() : Prediction::Of(std::stoi(said)));
             }},
            {"start", [](Program& p, auto&) { p.Start(); }},
            {"activate", [](Program& p, auto&) { p.MainViewActivated(); }},
            {"help-activated", [](Program& p, auto&) { p.HelpViewActivated(); }},
            {"tick", [](Program& p, auto&) { p.Tick(); }},
            {"close-help", [](Program& p, auto&) { p.CloseHelp(); }},
            {"window-closed", [](Program& p, auto&) { p.ClosedByWindowSystem(); }}};
        for (std::size_t at = 0, end; at < script.size(); at = end + 2) {
            end = std::min(script.find(", ", at), script.size());
            const std::string step = script.substr(at, end - at);
            const std::size_t colon = std::min(step.find(':'), step.size());
            const auto found = steps.find(step.substr(0, colon));
            if (found == steps.end())
                FAIL_CHECK("a script step that means nothing: ", step);
            else
                found->second(program, step.substr(std::min(colon + 1, step.size())));
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
