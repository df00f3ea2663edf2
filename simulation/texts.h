#pragma once

// The words a shot writes, and the four cues' wave files: the two verdict cues a shot names, and
// the window's button and help cues, which the window logic names (program/texts.h holds its
// other texts).
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
