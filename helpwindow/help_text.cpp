#include "helpwindow/help_text.h"

namespace mokopera {

namespace {

struct HelpLine {
    int indent;  // ideographic spaces before the text
    const char* text;
};

// Lines with an indent of eight open a sentence; seven continue the line before (broken by hand
// in mid-phrase) or carry the bullet.
constexpr HelpLine kLines[] = {
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

}  // namespace

QStringList HelpLines()
{
    QStringList lines;
    for (const HelpLine& line : kLines)
        lines << QString(line.indent, QChar(0x3000)) + QString::fromUtf8(line.text);
    return lines;
}

}  // namespace mokopera
