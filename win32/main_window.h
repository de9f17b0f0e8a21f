#pragma once

#include <windows.h>

#include "core/frame/frame.h"

namespace brindaq::win32 {

// Registers the class of QUARVEL's one window and creates the window with all its controls,
// hidden, on `range`: every operation button runs its operation there, and the title bar names
// it. Returns nothing when Windows refuses.
HWND CreateMainWindow(HINSTANCE instance, Range range);

}  // namespace brindaq::win32
