#pragma once
// Finding the program's own forms in another process that runs it: a second
// start hands over to the first instead of showing windows of its own.

namespace ui::win32 {

// Brings to the front the form of another process that takes input now: its
// open dialog, else its main window (a form behind a modal dialog is
// disabled). True when there was one.
bool BringOtherInstanceToFront();

}  // namespace ui::win32
