#pragma once

#include <functional>

#include "foundation/desktop.h"

namespace pellorin {

// How Pellorin's programs find the running Pellorin: its main window has
// this caption and Pellorin's own window class. The caption alone is not
// enough: a folder window open on Pellorin's folder is called so too.
inline constexpr const char* pellorinCaption = "Pellorin";
inline constexpr const char* pellorinWindowClass = "PellorinForm";
// What the main window is sent to come back on the screen; it does its own
// restoring, as from the tray menu, so it always knows where it is.
inline constexpr const char* comeBackMessageName = "Pellorin.ComeBack";

// The running Pellorin's main window: the first top-level window of
// Pellorin's class captioned exactly "Pellorin", in enumeration order; 0
// for none.
Hwnd findRunningPellorin(TopLevelWindows& windows);

// Asks that window to come back, in front, and lets it take the foreground.
// Only posts: a Pellorin that hangs does not hang the one who asks.
void askToComeBack(TopLevelWindows& windows, Hwnd window);

// A Pellorin started while another runs brings that one back instead. Its
// window may not be there yet (two started at the same moment), so it is
// looked for up to attempts times, with pause between two looks. False when
// it never showed up.
bool handOverToRunningPellorin(TopLevelWindows& windows, int attempts, const std::function<void()>& pause);

// How a start stands to the lock that keeps one Pellorin per session.
enum class CopyLock {
    ours,           // no one held it: this start is the one Pellorin
    heldByAnother,  // a running Pellorin holds it, or another program in its name
    unavailable,    // its name is taken by another kind of object: no lock to be had
};

// Whether this start runs the program (true) or has handed over to the
// running Pellorin (false). A lock held by something that never shows
// Pellorin's window, or no lock at all, must not keep the user from the
// program: then it runs, the running copy found by its window alone.
bool startsHere(TopLevelWindows& windows, CopyLock lock, int attempts, const std::function<void()>& pause);

}  // namespace pellorin
