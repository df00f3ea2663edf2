#pragma once

#include <QFont>

#include "program/layout.h"

namespace mokopera {

// Registers IPAPGothic, then Noto Sans CJK JP, then the system's sans-serif as stand-ins for the
// family every text of the program is set in ("ＭＳ Ｐゴシック", which Linux does not have),
// nearest metrics first. Call once after the application object exists.
void InstallFontSubstitutes();

// The program's font at a pixel size (not points, so the layout ignores the screen's DPI).
[[nodiscard]] QFont JapaneseFont(int pixelSize, bool bold);

}  // namespace mokopera
