#pragma once

// Scripted services for driving the real windows on the offscreen platform: dialogs answer
// from a script, the media device records what it is told, ending the program is recorded.

#include <QApplication>

#include "core_fakes.h"
#include "helpwindow/window_switcher.h"
#include "mainwindow/fonts.h"
#include "mainwindow/main_window.h"
#include "sound_fakes.h"

namespace mokopera::testing {

class RecordingNavigator : public Navigator {
public:
    int helpRequests = 0;
    int endRequests = 0;
    void OpenHelp() override { ++helpRequests; }
    void EndProgram() override { ++endRequests; }
};

// Everything a MainWindow needs, scripted. The window itself is made by Make().
struct Harness {
    ScriptedDialogs dialogs;
    ScriptedRandom random{{0.5F}};  // every shot a miss at distance 101, angle π
    FrozenClock clock;
    RecordingMedia media;
    CueFileLocator cueFiles = BuildCueFiles();
    RecordingNavigator navigator;

    MainWindowServices Services() { return {random, clock, dialogs, media, cueFiles, navigator}; }
};

}  // namespace mokopera::testing
