// Prints every text the program shows, one per line: what the page's font must be able to draw.
// With the argument "dialogs", only the texts of the dialogs and what a student may type into the
// entry box in full width: what the dialogs' font must draw. The build makes the font subsets
// from them.

#include <cstdio>
#include <cstring>

#include "program/layout.h"
#include "program/texts.h"

int main(int argc, char** argv)
{
    using namespace mokopera;
    const char* const dialogs[] = {texts::kWindowTitle, texts::kShotsPrompt, texts::kShotsTitle, texts::kOfferedShots,
                                   texts::kQuitPrompt,  texts::kEntryQuitTitle, texts::kLimitReached, texts::kOk,
                                   texts::kCancel,      texts::kYes,         texts::kNo,
                                   "０１２３４５６７８９．＋－"};
    for (const char* text : dialogs)
        std::puts(text);
    if (argc > 1 && std::strcmp(argv[1], "dialogs") == 0)
        return 0;
    for (const layout::Window* window : {&layout::kMainWindow, &layout::kHelpWindow}) {
        std::puts(window->caption);
        for (const layout::Control& control : window->controls)
            std::puts(control.caption);
    }
    for (const std::string& line : layout::HelpLines())
        std::puts(line.c_str());
    std::puts(texts::kSuccess);
    std::puts(texts::kFailure);
    std::puts("0123456789.");  // every number the labels show
    return 0;
}
