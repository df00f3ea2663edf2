#pragma once

#include <QStringList>

namespace mokopera {

// The 25 lines of the help text, top to bottom, each with its indent of ideographic spaces;
// blank lines are empty strings.
[[nodiscard]] QStringList HelpLines();

}  // namespace mokopera
