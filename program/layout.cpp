#include "program/layout.h"

#include "program/texts.h"

namespace mokopera::layout {

namespace {

// clang-format off
constexpr Control kMainControls[] = {
    // name, kind, caption, pixels, font pixels, bold, look, background, text, focus order
    {"Line1", Kind::Line, "", {0, 24, 433, 1}, 0, false, Look::Plain, Paint::Default, Paint::Default, -1},
    {"Picture1", Kind::TargetCanvas, "", {16, 40, 401, 377}, 0, false, Look::Plain, Paint::Default, Paint::Default, 0},
    {"Label7", Kind::Label, "モコペラも数撃ちゃ当たる", {56, 0, 273, 25}, 21, true, Look::Title, Paint::TitlePink, Paint::WindowText, -1},
    {"Label8", Kind::Label, "鉄砲の腕前が１０回中１回命中する人が鉄砲を撃ちます。", {16, 424, 401, 17}, 16, false, Look::Plain, Paint::Default, Paint::Default, -1},
    {"Label1", Kind::Label, "命中回数", {16, 448, 89, 25}, 19, true, Look::Boxed, Paint::White, Paint::Default, -1},
    {"Label2", Kind::Label, "", {104, 448, 49, 25}, 19, true, Look::Boxed, Paint::White, Paint::Black, -1},
    {"Label3", Kind::Label, "発射回数", {160, 448, 89, 25}, 19, true, Look::Boxed, Paint::White, Paint::Default, -1},
    {"Label4", Kind::Label, "", {248, 448, 49, 25}, 19, true, Look::Boxed, Paint::White, Paint::Default, -1},
    {"Label9", Kind::Label, "", {320, 448, 97, 25}, 19, true, Look::Boxed, Paint::White, Paint::Default, -1},
    {"Label12", Kind::Label, texts::kSuccessesCaption, {32, 480, 89, 25}, 19, true, Look::Boxed, Paint::White, Paint::Default, -1},
    {"Label13", Kind::Label, "", {120, 480, 65, 25}, 19, true, Look::Boxed, Paint::White, Paint::Default, -1},
    {"Label6", Kind::Label, texts::kRateCaption, {192, 496, 89, 25}, 19, true, Look::Boxed, Paint::White, Paint::Default, -1},
    {"Label5", Kind::Label, "", {280, 496, 121, 25}, 19, true, Look::Boxed, Paint::White, Paint::Default, -1},
    {"Label10", Kind::Label, texts::kExperimentsCaption, {32, 512, 89, 25}, 19, true, Look::Boxed, Paint::White, Paint::Default, -1},
    {"Label11", Kind::Label, "", {120, 512, 65, 25}, 19, true, Look::Boxed, Paint::White, Paint::Default, -1},
    {"Label14", Kind::Label, texts::kTheoryCaption, {280, 544, 121, 33}, 15, true, Look::Wrapped, Paint::White, Paint::Default, -1},
    {"Label15", Kind::Label, "", {280, 576, 121, 25}, 19, true, Look::Boxed, Paint::White, Paint::Default, -1},
    {"Command1", Kind::Button, "発　射", {120, 552, 129, 49}, 19, true, Look::Plain, Paint::Default, Paint::Default, 1},
    {"Command2", Kind::Button, "自動開始", {16, 544, 81, 33}, 15, true, Look::Plain, Paint::Default, Paint::Default, 2},
    {"Command3", Kind::Button, "自動停止", {16, 576, 81, 33}, 15, true, Look::Plain, Paint::Default, Paint::Default, 3},
    {"Command4", Kind::Button, "終了", {0, 0, 49, 25}, 13, false, Look::Plain, Paint::Default, Paint::Default, 4},
    {"Command5", Kind::Button, "初期化", {384, 0, 49, 25}, 13, false, Look::Plain, Paint::Default, Paint::Default, 5},
    {"Command6", Kind::Button, "HELP", {336, 0, 49, 25}, 13, false, Look::Plain, Paint::Default, Paint::Default, 6},
};
// clang-format on

// clang-format off
constexpr Control kHelpControls[] = {
    {"Line1", Kind::Line, "", {8, 24, 601, 1}, 0, false, Look::Plain, Paint::Default, Paint::Default, -1},
    {"Command1", Kind::Button, "閉じる", {560, 0, 49, 25}, 12, false, Look::Plain, Paint::Default, Paint::Default, 0},
    {"Picture1", Kind::TextCanvas, "", {8, 32, 601, 465}, kHelpFontPixels, false, Look::Plain, Paint::White, Paint::Default, 1},
};
// clang-format on

// clang-format off
constexpr HelpLine kHelpLines[] = {
    {0, ""},
    {1, "【問　　題】"},
    {8, "みなさんは「モコペラも数撃ちゃ当たる」って聞いたことありますか。"},
    {8, "仮に、鉄砲を１０回撃つと１回当たる腕前の人が鉄砲を撃ったとします。"},
    {8, "何回か鉄砲を撃って少なくとも１回は当たる確率を求めるのに、数学的には１から"},
    {7, "全てはずれる確率を引いて求めます。"},
    {8, "「モコペラも数撃ちゃ当たる」を体験してみてください。"},
    {8, "また、少なくとも１回は当たる確率を数学的に求めた理論上の確率と実験結果とし"},
    {7, "ての確率とで比較してみてください。"},
    {0, ""},
    {1, "【実験の考え方】"},
    {8, "鉄砲を１０回撃つと１回当たる腕前の人が鉄砲を撃ちます。"},
    {8, "例えば、１回の実験につき鉄砲を２０回発射する場合について考えます。"},
    {8, "２０回のうち、少なくとも１回命中すれは「成功」、そうでなければ「失敗」とします。"},
    {8, "何回か実験を行って、少なくとも１回は当たる確率（成功回数／実験回数）を求め"},
    {7, "ます。"},
    {0, ""},
    {1, "【操作方法】"},
    {7, "■理論上の数値と実験結果からの数値を比べてみてください。"},
    {8, "鉄砲の発射回数設定ウィンドウで、１回の実験での鉄砲を撃つ回数を整数で入力"},
    {7, "し［ＯＫ］ボタンをクリックします。"},
    {8, "手動で実験をやる場合は、［発射］ボタンをクリックします。"},
    {8, "自動で実験をやる場合は、［自動開始］ボタンをクリックします。"},
    {8, "［自動停止］ボタンをクリックすると、鉄砲の自動発射が止まります。"},
    {8, "［初期化］ボタンをクリックすると、始めから実験をやり直せます。"},
};
// clang-format on

}  // namespace

const Window kMainWindow{"Form1", " モコペラも数撃ちゃ当たる", 433, 620, kMainControls};
const Window kHelpWindow{"Form2", " モコペラも数撃ちゃ当たる＿ヘルプ（設問と操作方法）", 617, 503, kHelpControls};

std::uint32_t PaintRgb(Paint paint)
{
    switch (paint) {
    case Paint::White:
        return 0xFFFFFF;
    case Paint::TitlePink:
        return 0xFFC0FF;
    case Paint::Black:
    case Paint::WindowText:
        return 0x000000;
    case Paint::Default:
        break;
    }
    return 0xF0F0F0;
}

const Control* Find(const Window& window, std::string_view name)
{
    for (const Control& control : window.controls)
        if (name == control.name)
            return &control;
    return nullptr;
}

std::span<const HelpLine> HelpLines()
{
    return kHelpLines;
}

}  // namespace mokopera::layout
