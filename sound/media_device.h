#pragma once

#include <string>

namespace mokopera {

// The sound output behind the device control. One per program: it outlives the main window, so
// a cue started just before the window goes away still plays to its end.
class MediaDevice {
public:
    virtual ~MediaDevice() = default;
    // Prepares the wave file at `path` for playing; false when it cannot be read.
    virtual bool Open(const std::string& path) = 0;
    // Plays the opened file once from its beginning, cutting off whatever was playing.
    virtual void Play() = 0;
    virtual void Stop() = 0;
    // Forgets the opened file; stops it if it is playing.
    virtual void Close() = 0;
};

}  // namespace mokopera
