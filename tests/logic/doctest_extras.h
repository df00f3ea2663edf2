#pragma once

// The tests of the toolkit-free code use doctest; a failed comparison of two lists of texts (the
// effects a step asked for) shows both lists, one text a line.

#include <doctest.h>

#include <string>
#include <vector>

namespace doctest {

template <>
struct StringMaker<std::vector<std::string>> {
    static String convert(const std::vector<std::string>& lines)
    {
        std::string shown = "{";
        for (const std::string& line : lines)
            shown += "\n      \"" + line + "\"";
        return (shown + " }").c_str();
    }
};

}  // namespace doctest
