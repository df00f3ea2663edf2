#pragma once

#include <QIcon>

namespace mokopera {

// The program's icon, rendered from our SVG at 32 and 64 pixels.
[[nodiscard]] QIcon AppIcon();

}  // namespace mokopera
