#pragma once

// A small harness for the tests of the toolkit-free code: plain C++ and nothing else, so that
// the same tests build for the desktop and as WebAssembly. A test is a function declared with
// TEST; a table-driven test loops over its rows, naming each with ROW so that a failure says
// which row it was.

#include <iostream>
#include <sstream>
#include <type_traits>
#include <string>
#include <vector>

namespace mokopera::testing {

struct Suite {
    std::vector<std::pair<const char*, void (*)()>> tests;
    std::string row;
    int failures = 0;
};

inline Suite& TheSuite()
{
    static Suite suite;
    return suite;
}

// Names the table row that the checks in its scope belong to.
struct RowScope {
    std::string saved = TheSuite().row;
    explicit RowScope(const std::string& name) { TheSuite().row = name; }
    ~RowScope() { TheSuite().row = saved; }
};

template <typename T>
std::string Show(const T& value)
{
    std::ostringstream out;
    if constexpr (std::is_same_v<T, std::vector<std::string>>)
        for (const std::string& line : value)
            out << "\n      \"" << line << '"';
    else
        out << value;
    return out.str();
}

inline bool Check(bool condition, const std::string& what, const char* file, int line)
{
    if (!condition)
        ++TheSuite().failures, std::cerr << file << ":" << line << ": FAILED [" << TheSuite().row << "] " << what << "\n";
    return condition;
}

template <typename A, typename B>
bool CheckEqual(const A& actual, const B& expected, const char* what, const char* file, int line)
{
    return actual == expected ||
           Check(false, std::string(what) + "\n   actual:   " + Show(actual) + "\n   expected: " + Show(expected), file, line);
}

inline int RunAllTests()
{
    for (const auto& [name, run] : TheSuite().tests) {
        const int before = TheSuite().failures;
        run();
        std::cout << (TheSuite().failures == before ? "PASS   " : "FAIL!  ") << name << "\n";
    }
    std::cout << TheSuite().tests.size() << " tests, " << TheSuite().failures << " failed checks\n";
    return TheSuite().failures == 0 ? 0 : 1;
}

}  // namespace mokopera::testing

#define TEST(name)                                                                                 \
    static void name();                                                                            \
    static const bool name##Registered = (::mokopera::testing::TheSuite().tests.emplace_back(#name, name), true); \
    static void name()
#define ROW(name) const ::mokopera::testing::RowScope rowScope(name)
#define CHECK(condition) ::mokopera::testing::Check((condition), #condition, __FILE__, __LINE__)
#define CHECK_NOTE(condition, note) \
    ::mokopera::testing::Check((condition), std::string(#condition " (") + (note) + ")", __FILE__, __LINE__)
#define CHECK_EQ(actual, expected) \
    ::mokopera::testing::CheckEqual((actual), (expected), #actual " == " #expected, __FILE__, __LINE__)
#define TEST_MAIN \
    int main() { return ::mokopera::testing::RunAllTests(); }
