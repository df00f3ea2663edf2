#pragma once

#include "simulation/texts.h"

// The program's own words. They are shown exactly as written here: the digits, brackets and
// spaces in them are full-width on purpose.
namespace mokopera::texts {

inline constexpr const char* kWindowTitle = "モコペラも数撃ちゃ当たる";
inline constexpr const char* kShotsPrompt = "５以上５０以下の整数を入力してください。";
inline constexpr const char* kShotsTitle = "鉄砲の発射回数の設定";
inline constexpr const char* kOfferedShots = "20";
inline constexpr const char* kQuitPrompt = "終了していいですか？";
inline constexpr const char* kEntryQuitTitle = "確認";
// The captions beside the values, as the window shows them and as its announcements and
// 結果を送る name them.
inline constexpr const char* kExperimentsCaption = "実験回数";
inline constexpr const char* kSuccessesCaption = "成功回数";
inline constexpr const char* kRateCaption = "成功率";
inline constexpr const char* kTheoryCaption = "少なくとも一回当たる数学的確率";
inline constexpr const char* kLimitReached = "実験回数が上限の３２７６７回に達しました。\n"
                                             "最後の実験は数えられないため、結果に含めていません。\n"
                                             "これまでの結果はそのまま表示されています。\n"
                                             "新しく実験を始めるには［初期化］ボタンをクリックしてください。";

// The buttons of the dialogs.
inline constexpr const char* kOk = "OK";
inline constexpr const char* kCancel = "キャンセル";
// A lesson with predictions: the question's title and its second answer (its first is OK).
inline constexpr const char* kPredictionTitle = "撃つ前に予想しよう";
inline constexpr const char* kDontKnow = "わからない";
inline constexpr const char* kYes = "はい";
inline constexpr const char* kNo = "いいえ";

}  // namespace mokopera::texts
