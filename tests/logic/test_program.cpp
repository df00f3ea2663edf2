// The whole program without a window toolkit: the order of every sequence's effects (its buttons'
// enabling among them), the dialogs and their replies, the experiment limit, the help
// window and the way back, calls that come at the wrong moment, and the sound device control.

#include <algorithm>
#include <tuple>

#include "doctest_extras.h"
#include "program/device_control.h"
#include "program/layout.h"
#include "program_fakes.h"

using namespace mokopera;
using namespace mokopera::testing;

namespace {

const std::string kAskEntry =
    "ask entry 鉄砲の発射回数の設定 ５以上５０以下の整数を入力してください。 20 [OK|キャンセル]";
const std::string kAskToEnd = "ask yesno 確認 終了していいですか？ [はい|いいえ]";
const std::string kAskToQuit = "ask yesno モコペラも数撃ちゃ当たる 終了していいですか？ [はい|いいえ]";
const std::vector<std::string> kEmptyLabels = {
    "Label2=", "Label4=", "Label5=", "Label9=", "Label11=", "Label13=", "Label15="};

// The theory shown in Label15, and announced.
std::vector<std::string> Theory(const std::string& text)
{
    return {"Label15=" + text, "say 少なくとも一回当たる数学的確率 " + text};
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

}  // namespace

// Each sequence asks for its effects in exactly this order, the buttons' enabling among them.
TEST_CASE("SequenceOrder")
{
    const std::vector<std::string> shot1 = {"Label4=1", "Label2=0", "Label13=0", "Label11=0", "mark 149.0 250.0 12"};
    // The name, what runs first (not logged), the script, and its effects.
    // clang-format off
    const std::tuple<const char*, const char*, const char*, std::vector<std::string>> rows[] = {
        {"load and activation", "", "start, activate",
         {"load main", "Command3 off", "Command5 off", "target", kAskEntry}},
        {"the offered 20 accepted: the theory", "start, activate", "entry:20", Theory("0.8784233")},
        {"the first Fire enables Reset, then the shot", "start, activate, entry:5", "fire",
         Join({{"Command5 on"}, shot1})},
        {"the fifth shot gives the verdict and its cue", "start, activate, entry:5, fire, fire, fire, fire", "fire",
         {"Command5 on", "Label4=5", "colour 12", "Label9=失敗", "open Chimes2.wav", "play", "Label2=0", "Label13=0",
          "Label11=1", "Label5=0.0000000", "mark 149.0 250.0 12", "say 失敗。実験回数 1、成功率 0.0000000"}},
        {"Auto start, then the first tick fires", "start, activate, entry:5", "autostart, tick",
         Join({{"Command1 off", "Command2 off", "Command3 on", "Command4 off", "Command5 off", "Command6 off", "timer on"},
               shot1})},
        {"Auto stop", "start, activate, entry:5, autostart", "autostop",
         {"Command1 on", "Command2 on", "Command3 off", "Command4 on", "Command5 on", "Command6 on", "timer off"}},
        {"Reset while the verdict cue sounds", "start, activate, entry:5, fire, fire, fire, fire, fire, fire", "reset",
         Join({{"busy", "stop", "close sound", "open pinpon.wav", "play", "clear"}, kEmptyLabels,
               {"Command3 off", "Command5 off", "target", kAskEntry}})},
        {"Reset's entry accepted: the theory, then the arrow", "start, activate, entry:5, fire, reset", "entry:10",
         Join({Theory("0.6513215"), {"arrow"}})},
        {"Quit: its cue, then the question", "start, activate, entry:5", "quit", {"open endpinpon.wav", "play", kAskToQuit}},
        {"Quit answered No changes nothing, its cue plays on", "start, activate, entry:5, quit", "no", {}},
        {"Quit answered Yes ends", "start, activate, entry:5, quit", "yes", {"end"}},
        {"HELP: the cue, the main window goes, the help window comes", "start, activate, entry:5", "help",
         {"open pinpon.wav", "play", "unload main", "load help"}},
        {"Close: a fresh main window, asked for N again", "start, activate, entry:5, help, help-activated",
         "close-help, activate", {"unload help", "load main", "Command3 off", "Command5 off", "target", kAskEntry}},
        {"the window system's close ends without a question or a cue", "start, activate, entry:5", "window-closed", {"end"}},
    };
    // clang-format on
    for (const auto& row : rows) {
        const auto& [name, before, script, expected] = row;
        INFO(std::get<0>(row));
        ProgramHarness harness;
        harness.Run(before);
        CHECK_EQ(harness.RunAndLog(script), expected);
    }
}

// The entry of N, in activation and in Reset: what each reply leads to.
TEST_CASE("EntryReplies")
{
    // The name, the replies, their effects, N afterwards, and whether the program ended.
    // clang-format off
    const std::tuple<const char*, const char*, std::vector<std::string>, int, bool> rows[] = {
        {"Cancel asks whether to end; No asks again, offering 20", "cancel, no, entry:7",
         Join({{kAskToEnd, kAskEntry}, Theory("0.5217031")}), 7, false},
        {"an empty entry, then Yes ends at once: no theory", "entry:, yes", {kAskToEnd, "end"}, 33, true},
        {"a rejected entry asks again, without a word", "entry:abc, entry:   , entry:51, entry:８",
         Join({{kAskEntry, kAskEntry, kAskEntry}, Theory("0.5695328")}), 8, false},
        {"rejected, then Cancel and Yes: N as it was", "entry:4, cancel, yes", {kAskEntry, kAskToEnd, "end"}, 33, true},
    };
    // clang-format on
    for (const bool reset : {false, true}) {
        for (const auto& row : rows) {
            const auto& [name, script, effects, shots, ends] = row;
            INFO((reset ? "Reset: " : "activation: "), std::get<0>(row));
            ProgramHarness harness;
            harness.record.ShotsPerExperiment = 33;
            harness.Run(reset ? "start, activate, entry:33, fire, reset" : "start, activate");
            std::vector<std::string> expected = effects;
            if (reset && !ends)
                expected.push_back("arrow");  // the busy pointer stays when the program ends
            CHECK_EQ(harness.RunAndLog(script), expected);
            CHECK_EQ(int{harness.record.ShotsPerExperiment}, shots);
            CHECK_EQ(harness.program.Ended(), ends);
        }
    }
}

// The 32768th experiment cannot be counted (the shot step's own test: no verdict, the counts add
// up): firing stops, the user is told, a further Fire only tells again, and Reset starts a new
// series.
TEST_CASE("ExperimentLimit")
{
    ProgramHarness harness;
    harness.Run("start, activate, entry:5");
    harness.record.Successes = 20000;
    harness.record.Failures = 12766;
    harness.Run("fire, fire, fire, fire, fire");  // the 32767th experiment: counted and shown
    CHECK_EQ(harness.front.main->labels["Label11"], std::string("32767"));
    CHECK_EQ(harness.front.main->labels["Label5"], std::string("0.6103702"));

    CHECK_EQ(harness.RunAndLog("autostart, tick, tick, tick, tick, tick").back(),
             "notice モコペラも数撃ちゃ当たる [OK]");
    CHECK_EQ(harness.front.Buttons(), std::string("FA.QRH."));

    CHECK_EQ(harness.RunAndLog("fire"), std::vector<std::string>{});  // the notice is still open
    CHECK_EQ(harness.RunAndLog("ok, fire"),
             (std::vector<std::string>{"Command5 on", "notice モコペラも数撃ちゃ当たる [OK]"}));
    harness.Run("ok, reset, entry:5, fire");
    CHECK_EQ(harness.front.main->labels["Label4"], std::string("1"));
    CHECK_EQ(harness.front.main->labels["Label11"], std::string("0"));
}

// HELP and Close, twice: the help text each time, whole and never doubled; a fresh main window
// each time, with zero counters, empty labels, and N asked for again.
TEST_CASE("HelpAndBack")
{
    ProgramHarness harness;
    harness.Run("start, activate, entry:5, fire, fire, fire, fire, fire, fire, fire");
    for (int trip = 1; trip <= 2; ++trip) {
        INFO("trip ", trip);
        harness.Run("help, help-activated, help-activated");
        CHECK(!harness.front.main);
        const std::vector<std::string>& printed = harness.front.help->printed;  // indent, then text
        CHECK_EQ(printed.size(), std::size_t{25});
        CHECK_EQ(printed.front() + "|" + printed[1] + "|" + printed[9] + "|" + printed.back(),
                 std::string("0 |1 【問　　題】|0 |8 ［初期化］ボタンをクリックすると、始めから実験をやり直せます。"));
        harness.Run("close-help, activate, entry:20");
        CHECK(!harness.front.help);
        const ExperimentState& state = harness.record;
        CHECK_EQ(state.Successes + state.Failures + state.ShotNumber, 0);
        const auto& main = *harness.front.main;  // only the theory shown; the target's 6284 points, no mark
        CHECK(main.labels == std::map<std::string, std::string>{{"Label15", "0.8784233"}});
        CHECK_EQ(main.points, 6284);
        CHECK_EQ(main.marks, 0);
        CHECK_EQ(harness.front.Buttons(), std::string("FA.Q.H."));
    }
}

// Calls that come at the wrong moment do nothing: a second click on a window that is going away,
// a click while a dialog is open or on a disabled button, a tick after the timer stopped, a reply to no question, a
// second activation, values that are no command, anything after the end.
TEST_CASE("CallsAtTheWrongMoment")
{
    // The name, what comes first (from the first shot on), and the calls that must do nothing.
    // clang-format off
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"HELP twice", "help", "help"}, {"Close twice", "help, close-help", "close-help"},
        {"clicks while the entry box is open", "reset", "fire, autostart, help, quit"},
        {"a tick after Auto stop", "autostart, autostop", "tick"},
        {"clicks on disabled buttons while firing automatically", "autostart", "fire, autostart, reset, help, quit"},
        {"replies to no question, a second activation", "", "entry:7, cancel, yes, no, ok, activate"},
        {"values that are no command", "", "click:6, click:-1, click:99"},
        {"anything after the end", "quit, yes", "fire, help, window-closed, entry:5, yes, activate, tick, quit"},
    };
    // clang-format on
    for (const auto& row : rows) {
        const auto& [name, before, script] = row;
        INFO(std::get<0>(row));
        ProgramHarness harness;
        harness.Run("start, activate, entry:5, fire");
        harness.Run(before);
        CHECK_EQ(harness.RunAndLog(script), std::vector<std::string>{});
    }
}

// A script of assignments ("file:NAME" sets FileName, anything else is a command) on a fresh
// device control: what reaches the sound output, and the state it ends in.
TEST_CASE("DeviceStates")
{
    using State = DeviceControl::State;
    // clang-format off
    const std::tuple<const char*, std::vector<std::string>, std::vector<std::string>, State> rows[] = {
        {"first cue on a never-opened device", {"Stop", "Close", "file:pinpon.wav", "Open", "Sound"},
         {"open pinpon.wav", "play"}, State::Sounding},
        {"a verdict cue cuts off the one before", {"file:Chimes.wav", "Open", "Sound", "close", "file:Chimes2.wav", "Open", "Sound"},
         {"open Chimes.wav", "play", "close sound", "open Chimes2.wav", "play"}, State::Sounding},
        {"Reset while a verdict sounds stops it first", {"file:Chimes.wav", "Open", "Sound", "Stop", "Close"},
         {"open Chimes.wav", "play", "stop", "close sound"}, State::Closed},
        {"Sound before Open, and Stop on a silent device, do nothing", {"file:Chimes.wav", "Sound", "Open", "Stop"},
         {"open Chimes.wav"}, State::Open},
        {"unknown commands are ignored", {"file:Chimes.wav", "Play", "OPEN", "", "Open", "Eject"}, {"open Chimes.wav"}, State::Open},
        {"a second Open while open does nothing", {"file:Chimes.wav", "Open", "file:pinpon.wav", "Open", "Sound"},
         {"open Chimes.wav", "play"}, State::Sounding},
        {"a cue that cannot be opened stays closed and silent", {"file:missing.wav", "Open", "Sound"}, {"open missing.wav"}, State::Closed},
        {"a finished cue leaves the device open on its file", {"file:Chimes.wav", "Open", "Sound", "Sound"},
         {"open Chimes.wav", "play", "play"}, State::Sounding},
    };
    // clang-format on
    for (const auto& row : rows) {
        const auto& [name, script, output, state] = row;
        INFO(std::get<0>(row));
        RecordingFrontEnd front;
        DeviceControl control(front);
        for (const std::string& step : script)
            step.rfind("file:", 0) == 0 ? control.SetFileName(step.substr(5)) : control.SetCommand(step);
        CHECK_EQ(front.log, output);
        CHECK(control.CurrentState() == state);
    }
}

// Timer1 keeps its grid when a tick is late by less than an interval, and after a hold-up goes
// on from the late tick, one interval at a time: never all the missed ticks at once.
TEST_CASE("TimerAfterAHoldUp")
{
    // clang-format off
    const std::tuple<const char*, double, double, double> rows[] = {
        {"on time", 100, 100, 200}, {"a little late", 100, 103, 200}, {"late by almost an interval", 100, 199.9, 200},
        {"late by an interval", 100, 200, 300}, {"after three seconds held up", 200, 3150, 3250},
    };
    // clang-format on
    for (const auto& row : rows) {
        const auto& [name, due, now, next] = row;
        INFO(std::get<0>(row));
        CHECK_EQ(NextTickDue(due, now, 100), next);
    }
}

namespace {

std::string Shots(int count)
{
    std::string script;
    for (int shot = 0; shot < count; ++shot)
        script += ", fire";
    return script;
}

// The series of a run as "N experiments successes #id, …".
std::string Listed(const SeriesLog& log)
{
    std::string listed;
    for (const codes::Series& series : log.All())
        listed += (listed.empty() ? "" : ", ") + std::to_string(series.shots) + " " +
                  std::to_string(series.experiments) + " " + std::to_string(series.successes) + " #" + series.id;
    return listed;
}

}  // namespace

// The series a student can send: each begins at an accepted entry of N and ends at the next entry,
// Reset, HELP or Quit; only finished experiments count, and a series with none is not listed.
// The first shot of each run hits; every other shot misses.
TEST_CASE("SeriesOfARun")
{
    // clang-format off
    const std::tuple<const char*, std::string, std::string> rows[] = {
        {"an experiment under way is left out", "entry:5" + Shots(7), "5 1 1 #10000000"},
        {"Reset ends the series, the next entry begins one",
         "entry:5" + Shots(5) + ", reset, entry:10" + Shots(10), "5 1 1 #10000000, 10 1 0 #20000000"},
        {"HELP ends it; a series with nothing finished is not listed",
         "entry:5" + Shots(5) + ", help, close-help, activate, entry:20" + Shots(2) + ", reset, entry:6", "5 1 1 #10000000"},
        {"kept after Quit", "entry:5" + Shots(10) + ", quit, yes", "5 2 1 #10000000"},
        {"automatic firing counts as Fire", "entry:5, autostart, tick, tick, tick, tick, tick, autostop", "5 1 1 #10000000"},
        {"a refused entry begins nothing", "entry:99, entry:5" + Shots(5), "5 1 1 #10000000"},
    };
    // clang-format on
    for (const auto& row : rows) {
        const auto& [name, script, expected] = row;
        INFO(std::get<0>(row));
        ProgramHarness harness;
        harness.random.values = {0.01F, 0.5F};
        harness.Run("start, activate, " + script);
        CHECK_EQ(Listed(harness.series), expected);
    }
}

// A reload of the page: the series the tab kept come first, finished (the one under way ended
// with the page), and the next entry begins a new one; what the tab keeps is every series, and
// lines that are no code are left out.
TEST_CASE("SeriesKeptOverAReload")
{
    ProgramHarness before;
    before.random.values = {0.01F, 0.5F};
    before.Run("start, activate, entry:5" + Shots(12));
    ProgramHarness reloaded(before.storage.codes + "not a code\n");
    reloaded.random.values = {0.01F, 0.5F};
    reloaded.Run("start, activate, entry:6" + Shots(6));
    CHECK_EQ(Listed(reloaded.series), "5 2 1 #10000000, 6 1 1 #10000000");
    CHECK_EQ(reloaded.storage.codes,
             codes::Encode({5, 2, 1, "10000000"}) + "\n" + codes::Encode({6, 1, 1, "10000000"}) + "\n");
}

// A lesson link's N is what the entry box offers, at every question from then on; without one,
// "20" again. The rest of the question is unchanged.
TEST_CASE("LessonOffer")
{
    ProgramHarness harness;
    harness.program.FollowLesson({22, false});
    std::string offered22 = kAskEntry;
    offered22.replace(offered22.find(" 20 "), 4, " 22 ");
    CHECK_EQ(harness.RunAndLog("start, activate").back(), offered22);
    CHECK_EQ(harness.RunAndLog("entry:abc").back(), offered22);  // refused: asked again, 22 offered
    harness.program.FollowLesson({});
    CHECK_EQ(harness.RunAndLog("entry:abc").back(), kAskEntry);
}

// A lesson with predictions: each accepted entry, after Reset too, asks before the theory shows;
// Label15 stays empty, and nothing fires, until the answer, which the series keeps. Without the
// lesson's word, the same entry shows the theory at once (above).
TEST_CASE("PredictFirst")
{
    const std::string asked10 = "ask prediction " + PredictionQuestion(10) + " [OK|わからない]";
    ProgramHarness harness;
    harness.program.FollowLesson({std::nullopt, true});
    harness.random.values = {0.01F, 0.5F};
    CHECK_EQ(harness.RunAndLog("start, activate, entry:10").back(), asked10);
    CHECK_EQ(harness.front.main->labels.count("Label15"), 0U);
    CHECK(harness.RunAndLog("fire, tick, entry:20, ok").empty());  // the question holds everything
    CHECK_EQ(harness.RunAndLog("predict:30").front(), "Label15=0.6513215");
    CHECK_EQ(harness.RunAndLog("fire" + Shots(9) + ", reset, entry:10").back(), asked10);
    harness.Run("predict:?" + Shots(10));
    CHECK_EQ(harness.series.All().size(), 2U);
    CHECK_EQ(harness.series.All()[0].prediction, Prediction::Of(30));
    CHECK_EQ(harness.series.All()[1].prediction, Prediction::DontKnow());
}
