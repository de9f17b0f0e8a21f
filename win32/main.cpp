// brindaq.exe: QUARVEL's window on the Win32 API.

#include <windows.h>

#include "win32/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  const HWND form = brindaq::win32::CreateMainWindow(instance);
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
  return static_cast<int>(message.wParam);
}
