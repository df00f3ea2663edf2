#include "desktop/cue_files.h"

#include <filesystem>
#include <fstream>

namespace mokopera {

CueFileLocator::CueFileLocator(std::vector<std::string> folders) : folders_(std::move(folders)) {}

std::optional<std::string> CueFileLocator::Find(const std::string& name) const
{
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
        name.find('\0') != std::string::npos)
        return std::nullopt;
    for (const auto& folder : folders_) {
        const std::filesystem::path candidate = std::filesystem::path(folder) / name;
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error) && std::ifstream(candidate).good())
            return candidate.string();
    }
    return std::nullopt;
}

}  // namespace mokopera
