// Fuzzes the shots-per-experiment entry with arbitrary bytes, as the input box could return them.
// Besides not crashing, the verdict must keep its promises.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "simulation/entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const mokopera::EntryOutcome outcome = mokopera::ValidateShotsEntry(text);
    const double value = mokopera::ReadLeadingNumber(mokopera::ToHalfWidth(text));
    switch (outcome.Kind) {
    case mokopera::EntryKind::Empty:
        if (size != 0)
            std::abort();
        break;
    case mokopera::EntryKind::Accepted:
        if (outcome.Value < 5 || outcome.Value > 50 || outcome.Value != static_cast<int>(std::floor(value)))
            std::abort();
        break;
    case mokopera::EntryKind::Rejected:
        if (size == 0 || (value >= 5.0 && value <= 50.0))
            std::abort();
        break;
    }
    return 0;
}
