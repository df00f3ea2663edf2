#pragma once

#include <QFont>

namespace mokopera {

// The family every text of the program is set in. Linux has no such font, so the substitutes
// below stand in for it, nearest metrics first.
inline constexpr const char* kJapaneseFamily = "ＭＳ Ｐゴシック";

// Registers IPAPGothic, then Noto Sans CJK JP, then the system's sans-serif as stand-ins for the
// family above. Call once after the application object exists.
void InstallFontSubstitutes();

// The program's font at a pixel size (not points, so the layout ignores the screen's DPI).
[[nodiscard]] QFont JapaneseFont(int pixelSize, bool bold);

}  // namespace mokopera
