#pragma once

namespace mokopera {

// Where the main window hands over when it goes away.
class Navigator {
public:
    virtual ~Navigator() = default;
    // Unloads the main window that asks (after its handler returns) and shows the help window.
    virtual void OpenHelp() = 0;
    // Ends the program at once; the caller runs nothing more of its sequence.
    virtual void EndProgram() = 0;
};

}  // namespace mokopera
