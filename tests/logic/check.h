#pragma once

// A small harness for the tests of the toolkit-free code: plain C++ and nothing else, so that
// the same tests build for the desktop and as WebAssembly. A test is a function declared with
// TEST; a table-driven test loops over its rows, naming each with ROW so that a failure says
// which row it was.

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace mokopera::testing {

struct TestCase {
    const char* name;
    void (*run)();
};

inline std::vector<TestCase>& Registry()
{
    static std::vector<TestCase> tests;
    return tests;
}

inline int& Failures()
{
    static int failures = 0;
    return failures;
}

inline std::string& CurrentRow()
{
    static std::string row;
    return row;
}

struct Registration {
    Registration(const char* name, void (*run)()) { Registry().push_back({name, run}); }
};

// Names the table row that the checks in its scope belong to.
class RowScope {
public:
    explicit RowScope(std::string name) : saved_(CurrentRow()) { CurrentRow() = std::move(name); }
    ~RowScope() { CurrentRow() = saved_; }
    RowScope(const RowScope&) = delete;
    RowScope& operator=(const RowScope&) = delete;

private:
    std::string saved_;
};

template <typename T>
std::string Show(const T& value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

template <typename T>
std::string Show(const std::vector<T>& values)
{
    std::string text = "{";
    for (const T& value : values) {
        text += ' ';
        text += Show(value);
    }
    return text + " }";
}

inline std::string Show(const std::vector<std::string>& lines)
{
    std::string text = "{";
    for (const std::string& line : lines)
        text += "\n      \"" + line + "\"";
    return text + " }";
}

inline void Fail(const char* file, int line, const std::string& message)
{
    ++Failures();
    std::cerr << file << ":" << line << ": FAILED";
    if (!CurrentRow().empty())
        std::cerr << " [" << CurrentRow() << "]";
    std::cerr << " " << message << "\n";
}

template <typename A, typename B>
bool CheckEqual(const A& actual, const B& expected, const char* what, const char* file, int line)
{
    if (actual == expected)
        return true;
    Fail(file, line, std::string(what) + "\n   actual:   " + Show(actual) + "\n   expected: " + Show(expected));
    return false;
}

inline bool Check(bool condition, const char* what, const char* file, int line, const std::string& note = {})
{
    if (!condition)
        Fail(file, line, std::string(what) + (note.empty() ? "" : " (" + note + ")"));
    return condition;
}

inline int RunAllTests()
{
    for (const TestCase& test : Registry()) {
        const int before = Failures();
        test.run();
        std::cout << (Failures() == before ? "PASS   " : "FAIL!  ") << test.name << "\n";
    }
    std::cout << Registry().size() << " tests, " << Failures() << " failed checks\n";
    return Failures() == 0 ? 0 : 1;
}

}  // namespace mokopera::testing

#define TEST(name)                                                                              \
    static void name();                                                                         \
    static const ::mokopera::testing::Registration name##Registration(#name, name);            \
    static void name()
#define ROW(name) const ::mokopera::testing::RowScope rowScope(name)
#define CHECK(condition) ::mokopera::testing::Check((condition), #condition, __FILE__, __LINE__)
#define CHECK_NOTE(condition, note) ::mokopera::testing::Check((condition), #condition, __FILE__, __LINE__, (note))
#define CHECK_EQ(actual, expected) \
    ::mokopera::testing::CheckEqual((actual), (expected), #actual " == " #expected, __FILE__, __LINE__)
#define TEST_MAIN \
    int main() { return ::mokopera::testing::RunAllTests(); }
