// Prints every text the program shows, one per line: what the page's font must be able to draw.
// The build makes the font subset from it.

#include <cstdio>

#include "program/layout.h"
#include "program/texts.h"

int main()
{
    using namespace mokopera;
    for (const layout::Window* window : {&layout::kMainWindow, &layout::kHelpWindow}) {
        std::puts(window->caption);
        for (const layout::Control& control : window->controls)
            std::puts(control.caption);
    }
    for (const std::string& line : layout::HelpLines())
        std::puts(line.c_str());
    for (const char* text : {texts::kWindowTitle, texts::kShotsPrompt, texts::kShotsTitle, texts::kOfferedShots,
                             texts::kQuitPrompt, texts::kEntryQuitTitle, texts::kLimitReached, texts::kOk,
                             texts::kCancel, texts::kYes, texts::kNo, texts::kSuccess, texts::kFailure})
        std::puts(text);
    std::puts("0123456789.");  // every number the labels show
    return 0;
}
