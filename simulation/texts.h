#pragma once

// The words a shot writes and the cues it names. The program's other texts are the window
// logic's (program/texts.h).
namespace mokopera::texts {

inline constexpr const char* kSuccess = "成功";
inline constexpr const char* kFailure = "失敗";

inline constexpr const char* kSuccessCue = "Chimes.wav";
inline constexpr const char* kFailureCue = "Chimes2.wav";
inline constexpr const char* kButtonCue = "pinpon.wav";
inline constexpr const char* kQuitCue = "endpinpon.wav";
// Every cue's wave file: what the build generates and the page carries.
inline constexpr const char* kCueFiles[] = {kSuccessCue, kFailureCue, kButtonCue, kQuitCue};

}  // namespace mokopera::texts
