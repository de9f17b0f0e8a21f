// brindaq.exe: QUARVEL's window on the Win32 API.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/window.h"
#include "win32/main_window.h"
#include "win32/text.h"

namespace {

// brindaq.exe --full-range opens the window on the full range; without it, on the window's own.
// Any other argument is passed over, as a window program with no console has nowhere to say
// what it makes of it.
brindaq::Range RangeOf(int count, wchar_t** arguments) {
  const std::wstring option = brindaq::win32::Wide(brindaq::window::kFullRangeOption);
  for (int index = 1; index < count && arguments != nullptr; ++index) {
    if (option == arguments[index]) {
      return brindaq::Range::kFull;
    }
  }
  return brindaq::Range::kWindow;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  // The C runtime has split the command line already, as Windows programs split it.
  const HWND form = brindaq::win32::CreateMainWindow(instance, RangeOf(__argc, __wargv));
  if (form == nullptr) {
    return 1;
  }
  ShowWindow(form, show);
  UpdateWindow(form);
  // IsDialogMessage gives the window a dialog's keyboard: Tab and Shift+Tab through the controls
  // in their order, Space on a button.
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(form, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  // EXIT ends the program at once, without its static destructors. A question whose work could
  // not stop in time is left behind and may still read static data; and a question whose work has
  // just ended may still be destroying its thread-local data as its thread ends, which the
  // process's own teardown (MinGW's emulated thread-local storage) can free under it: once, under
  // wine, a fault in such a destructor when EXIT was clicked while a question ran.
  std::fflush(nullptr);
  std::_Exit(static_cast<int>(message.wParam));
}
