#pragma once

#include <optional>
#include <string>
#include <vector>

namespace mokopera {

// Finds a cue's wave file by its bare name in a list of folders, first match wins.
class CueFileLocator {
public:
    explicit CueFileLocator(std::vector<std::string> folders);
    // The path of `name` in the first folder that holds it as a readable file; nothing for a
    // name that is not a bare file name (a path, "..", empty) or that no folder holds.
    [[nodiscard]] std::optional<std::string> Find(const std::string& name) const;

private:
    std::vector<std::string> folders_;
};

}  // namespace mokopera
