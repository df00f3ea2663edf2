// The bindings of the web edition: the program and its layout, as the page's JavaScript sees
// them. Every effect the program asks for is passed on to the page's front-end object as it
// comes; only the target's points are gathered and handed over at once, when the ring is drawn.

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdio>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

#include "classroom/lesson.h"
#include "classroom/result_code.h"
#include "classroom/series_log.h"
#include "program/layout.h"
#include "program/program.h"
#include "program/texts.h"
#include "simulation/entry.h"
#include "simulation/number_text.h"
#include "simulation/rules.h"
#include "simulation/texts.h"
#include "simulation/theory.h"
#include "sounds/wave_file.h"

namespace mokopera::web {

using emscripten::val;

namespace {

// The layout's kinds, looks and paints as the page names them, in the order of their enums.
constexpr const char* kKindNames[] = {"button", "label", "line", "targetCanvas", "textCanvas"};
constexpr const char* kLookNames[] = {"plain", "boxed", "title", "wrapped"};
constexpr const char* kPaintNames[] = {"default", "white", "titlePink", "black", "windowText"};
static_assert(std::size(kKindNames) == std::size_t(layout::Kind::TextCanvas) + 1 &&
              std::size(kLookNames) == std::size_t(layout::Look::Wrapped) + 1 &&
              std::size(kPaintNames) == std::size_t(layout::Paint::WindowText) + 1);

template <std::size_t N, typename Enum>
const char* Name(const char* const (&names)[N], Enum value)
{
    return names[static_cast<std::size_t>(value)];
}

// 0xRRGGBB as CSS writes it: "#ffc0ff".
std::string Css(std::uint32_t rgb)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb & 0xFFFFFFU));
    return text;
}

val Control(const layout::Control& control)
{
    val made = val::object();
    made.set("name", control.name);
    made.set("kind", Name(kKindNames, control.kind));
    made.set("caption", std::string(control.caption));
    made.set("left", control.pixels.left);
    made.set("top", control.pixels.top);
    made.set("width", control.pixels.width);
    made.set("height", control.pixels.height);
    made.set("fontPixels", control.fontPixels);
    made.set("bold", control.bold);
    made.set("look", Name(kLookNames, control.look));
    made.set("background", Name(kPaintNames, control.background));
    made.set("text", Name(kPaintNames, control.text));
    made.set("focusOrder", control.focusOrder);
    return made;
}

val Window(const layout::Window& window)
{
    val made = val::object();
    made.set("name", window.name);
    made.set("caption", std::string(window.caption));
    made.set("width", window.width);
    made.set("height", window.height);
    val controls = val::array();
    for (const layout::Control& control : window.controls)
        controls.call<void>("push", Control(control));
    made.set("controls", controls);
    return made;
}

// The layout of both windows and the constants a page needs to build them.
val Layout()
{
    val made = val::object();
    made.set("main", Window(layout::kMainWindow));
    made.set("help", Window(layout::kHelpWindow));
    made.set("fontFamily", std::string(layout::kFontFamily));
    made.set("helpFontPixels", layout::kHelpFontPixels);
    made.set("helpLinePixels", layout::kHelpLinePixels);
    made.set("canvasBorder", layout::kCanvasBorder);
    made.set("canvasUnits", layout::kCanvasUnits);
    made.set("timerIntervalMs", rules::kTimerIntervalMs);
    val paints = val::object();
    for (std::size_t paint = 0; paint < std::size(kPaintNames); ++paint)
        paints.set(kPaintNames[paint], Css(layout::PaintRgb(static_cast<layout::Paint>(paint))));
    made.set("paints", paints);
    val commands = val::array();  // the main window's buttons: their names and what they command
    for (Command command : kCommands) {
        val button = val::object();
        button.set("name", CommandName(command));
        button.set("command", command);
        commands.call<void>("push", button);
    }
    made.set("commands", commands);
    val target = val::object();  // the labels the target's name for screen readers is made of
    target.set("shots", std::string(ValueLabelName(kShotNumberLabel)));
    target.set("hits", std::string(ValueLabelName(kHitsLabel)));
    made.set("targetLabels", target);
    val captions = val::object();  // the captions 結果を送る lists a series' figures under
    captions.set("experiments", std::string(texts::kExperimentsCaption));
    captions.set("successes", std::string(texts::kSuccessesCaption));
    captions.set("rate", std::string(texts::kRateCaption));
    made.set("captions", captions);
    val consoleColours = val::object();
    for (ConsoleColour colour : {ConsoleColour::LightBlue, ConsoleColour::LightRed})
        consoleColours.set(static_cast<int>(colour), Css(ConsoleRgb(colour)));
    made.set("consoleColours", consoleColours);
    return made;
}

// The cues' wave files by name, for the build that puts them into the page.
val CueFiles()
{
    val names = val::array();
    for (const char* name : texts::kCueFiles)
        names.call<void>("push", std::string(name));
    return names;
}

// The playable part of a wave file's bytes (a Uint8Array), or null: our own reader, so that the
// page plays exactly what the desktop program would.
val ParseWaveBytes(const val& bytes)
{
    const std::vector<std::uint8_t> data = emscripten::convertJSArrayToNumberVector<std::uint8_t>(bytes);
    const auto wave = ParseWave(data);
    if (!wave)
        return val::null();
    val made = val::object();
    made.set("channels", wave->channels);
    made.set("sampleRate", wave->sampleRate);
    made.set("bitsPerSample", wave->bitsPerSample);
    made.set("dataOffset", double(wave->dataOffset));
    made.set("dataBytes", double(wave->dataBytes));
    return made;
}

// The page's main view and help view: the requests go to the page's objects of the same names.
class PageMainView final : public MainView {
public:
    explicit PageMainView(val view) : page_(std::move(view)) {}
    void SetCommandEnabled(Command command, bool enabled) override
    {
        page_.call<void>("setCommandEnabled", std::string(CommandName(command)), enabled);
    }
    void SetLabelText(ValueLabel label, const std::string& text) override
    {
        page_.call<void>("setLabelText", std::string(ValueLabelName(label)), text);
    }
    void SetVerdictColour(ConsoleColour colour) override { page_.call<void>("setVerdictColour", int(colour)); }
    void ClearCanvas() override { page_.call<void>("clearCanvas"); }
    void SetPoint(float x, float y) override
    {
        points_.push_back(x);
        points_.push_back(y);
    }
    void TargetDrawn() override
    {
        page_.call<void>("targetDrawn", val(emscripten::typed_memory_view(points_.size(), points_.data())));
        points_.clear();
    }
    void DrawMark(float x, float y, ConsoleColour colour) override { page_.call<void>("drawMark", x, y, int(colour)); }
    void SetBusyPointer(bool busy) override { page_.call<void>("setBusyPointer", busy); }
    void SetTimerRunning(bool running) override { page_.call<void>("setTimerRunning", running); }
    void Announce(const std::string& text) override { page_.call<void>("announce", text); }

private:
    val page_;
    std::vector<float> points_;  // x, y, x, y, ...
};

class PageHelpView final : public HelpView {
public:
    explicit PageHelpView(val view) : page_(std::move(view)) {}
    void ClearText() override { page_.call<void>("clearText"); }
    void PrintLine(int indent, const std::string& text) override { page_.call<void>("printLine", indent, text); }

private:
    val page_;
};

// The page's front end, seen from the program.
class PageFrontEnd final : public Screens, public Dialogs, public PredictionDialog, public MediaDevice {
public:
    explicit PageFrontEnd(val page) : page_(std::move(page)) {}

    MainView& LoadMainView() override
    {
        main_ = std::make_unique<PageMainView>(page_.call<val>("loadMainView"));
        return *main_;
    }
    void UnloadMainView() override { page_.call<void>("unloadMainView"); }
    HelpView& LoadHelpView() override
    {
        help_ = std::make_unique<PageHelpView>(page_.call<val>("loadHelpView"));
        return *help_;
    }
    void UnloadHelpView() override { page_.call<void>("unloadHelpView"); }
    void EndProgram() override { page_.call<void>("endProgram"); }

    void AskEntry(const std::string& prompt, const std::string& title, const std::string& offered,
                  const Buttons& buttons) override
    {
        page_.call<void>("askEntry", prompt, title, offered, Words(buttons));
    }
    void AskYesNo(const std::string& prompt, const std::string& title, const Buttons& buttons) override
    {
        page_.call<void>("askYesNo", prompt, title, Words(buttons));
    }
    void ShowNotice(const std::string& text, const std::string& title, const Buttons& buttons) override
    {
        page_.call<void>("showNotice", text, title, Words(buttons));
    }

    void AskPrediction(const std::string& question, const std::string& title, const Buttons& buttons) override
    {
        page_.call<void>("askPrediction", question, title, Words(buttons));
    }

    bool Open(const std::string& name) override { return page_.call<bool>("openCue", name); }
    void Play() override { page_.call<void>("playCue"); }
    void Stop() override { page_.call<void>("stopCue"); }
    void Close() override { page_.call<void>("closeCue"); }

private:
    // {words, yes, centred}, as the page's dialogs take them.
    static val Words(const Buttons& buttons)
    {
        val words = val::array();
        for (const std::string& word : buttons.words)
            words.call<void>("push", word);
        val made = val::object();
        made.set("words", words);
        made.set("yes", buttons.yes);
        made.set("centred", buttons.centred);
        return made;
    }

    val page_;
    std::unique_ptr<PageMainView> main_;
    std::unique_ptr<PageHelpView> help_;
};

}  // namespace

// The visit's series where the page keeps them: `keeper.load()` gives the codes kept, and
// `keeper.save(codes)` keeps them (the tab's session storage).
class PageSeriesStorage final : public SeriesStorage {
public:
    explicit PageSeriesStorage(val keeper) : keeper_(std::move(keeper)) {}
    std::string Load() override
    {
        const val kept = keeper_.call<val>("load");
        return kept.isString() ? kept.as<std::string>() : std::string();
    }
    void Save(const std::string& codes) override { keeper_.call<void>("save", codes); }

private:
    val keeper_;
};

// The visit's series, kept by the page across restarts of the program and, through `keeper`,
// across loads of the page; their ids come from the browser's cryptographic generator.
class WebSeries {
public:
    explicit WebSeries(val keeper) : storage_(std::move(keeper)) {}

    // Each series with at least one finished experiment, the oldest first: {shots, experiments,
    // successes, rate (as the window shows a rate), code}.
    [[nodiscard]] val All() const
    {
        val all = val::array();
        for (const codes::Series& series : log_.All()) {
            val made = val::object();
            made.set("shots", series.shots);
            made.set("experiments", series.experiments);
            made.set("successes", series.successes);
            made.set("rate", FormatRate(series.successes, series.experiments));
            made.set("code", codes::Encode(series));
            made.set("theory", TheoryOf(series.shots).text);
            made.set("asked", series.prediction.kind != Prediction::Kind::None);
            made.set("prediction", PredictionText(series.prediction));
            made.set("predicted", series.prediction.kind == Prediction::Kind::Percent ? val(series.prediction.percent)
                                                                                      : val::null());
            made.set("sentence",
                     ComparisonSentence(series.prediction, series.shots, series.experiments, series.successes));
            all.call<void>("push", made);
        }
        return all;
    }
    SeriesLog& Log() { return log_; }

private:
    SystemIds ids_;
    PageSeriesStorage storage_;
    SeriesLog log_{ids_, &storage_};
};

// The whole program for one page: its random source is seeded by the page (from the browser's
// cryptographic generator), its clock is the browser's; its series go to the page's log.
class WebProgram {
public:
    WebProgram(val page, double seed, WebSeries& series)
        : frontEnd_(std::move(page)), random_(static_cast<std::uint64_t>(seed)),
          program_({frontEnd_, frontEnd_, frontEnd_, random_, clock_, &frontEnd_}, record_, &series.Log())
    {
    }
    void Start() { program_.Start(); }
    void MainViewActivated() { program_.MainViewActivated(); }
    void HelpViewActivated() { program_.HelpViewActivated(); }
    // A button of the main window: one of the values of the module's Command. Anything else (a
    // number, a name, null) is no button and does nothing.
    void Click(const val& command)
    {
        if (command.instanceof (val::module_property("Command")))
            program_.Click(static_cast<Command>(command["value"].as<int>()));
    }
    void Tick() { program_.Tick(); }
    void CloseHelp() { program_.CloseHelp(); }
    void ClosedByWindowSystem() { program_.ClosedByWindowSystem(); }
    // The entry box's text, or null for Cancel; anything but a string counts as Cancel.
    void OnEntry(const val& text)
    {
        program_.OnEntry(text.isString() ? std::optional(text.as<std::string>()) : std::nullopt);
    }
    // true for Yes; anything else is No.
    void OnYesNo(const val& yes) { program_.OnYesNo(yes.isTrue()); }
    void OnNoticeClosed() { program_.OnNoticeClosed(); }
    // The prediction: a whole percentage from 0 to 100, or null for わからない. Anything else is
    // no answer, and the question stays open.
    void OnPrediction(const val& answer)
    {
        if (answer.isNull())
            program_.OnPrediction(Prediction::DontKnow());
        else if (answer.isNumber() && answer.as<double>() >= 0 && answer.as<double>() <= 100 &&
                 answer.as<double>() == static_cast<int>(answer.as<double>()))
            program_.OnPrediction(Prediction::Of(answer.as<int>()));
    }
    bool Ended() const { return program_.Ended(); }
    // A lesson link's fragment ("#n=22&predict"): the N its entry box offers (anything else offers
    // 20), and whether each entry asks for a prediction.
    void FollowLesson(const std::string& fragment) { program_.FollowLesson(ReadLessonOptions(fragment)); }

private:
    PageFrontEnd frontEnd_;
    MixingRandomSource random_;
    SystemClock clock_;
    ExperimentState record_;
    Program program_;
};

EMSCRIPTEN_BINDINGS(mokopera)
{
    auto commands = emscripten::enum_<Command>("Command");  // by the buttons' names: Command.Command1 …
    for (Command command : kCommands)
        commands.value(CommandName(command), command);
    emscripten::function("layout", &Layout);
    emscripten::function("parseWave", &ParseWaveBytes);
    emscripten::function("cueFiles", &CueFiles);
    emscripten::function("nextTickDue", &NextTickDue);
    // The prediction field's text as a percentage from 0 to 100, or null where it is none.
    emscripten::function("readPercent", emscripten::optional_override([](const std::string& text) {
                             const std::optional<int> percent = ReadPercent(text);
                             return percent ? val(*percent) : val::null();
                         }));
    emscripten::class_<WebSeries>("SeriesLog").constructor<val>().function("all", &WebSeries::All);
    emscripten::class_<WebProgram>("Program")
        .constructor<val, double, WebSeries&>()
        .function("start", &WebProgram::Start)
        .function("mainViewActivated", &WebProgram::MainViewActivated)
        .function("helpViewActivated", &WebProgram::HelpViewActivated)
        .function("click", &WebProgram::Click)
        .function("tick", &WebProgram::Tick)
        .function("closeHelp", &WebProgram::CloseHelp)
        .function("closedByWindowSystem", &WebProgram::ClosedByWindowSystem)
        .function("onEntry", &WebProgram::OnEntry)
        .function("onYesNo", &WebProgram::OnYesNo)
        .function("onNoticeClosed", &WebProgram::OnNoticeClosed)
        .function("ended", &WebProgram::Ended)
        .function("onPrediction", &WebProgram::OnPrediction)
        .function("followLesson", &WebProgram::FollowLesson);
}

}  // namespace mokopera::web
