#pragma once

#include <windows.h>

namespace brindaq::win32 {

// Registers the class of QUARVEL's one window and creates the window with all its controls,
// hidden. Returns nothing when Windows refuses.
HWND CreateMainWindow(HINSTANCE instance);

}  // namespace brindaq::win32
