#pragma once

// The window's texts cross into Windows as UTF-16 and come back as UTF-8, which the core speaks:
// here, and nowhere else.

#include <windows.h>

#include <string>
#include <string_view>

namespace brindaq::win32 {

std::wstring Wide(std::string_view text);
std::string Narrow(std::wstring_view text);

// What a control shows, or what a box holds.
std::wstring TextOf(HWND control);

// A text as Windows puts it on the clipboard: in UTF-16, with its lines ended by CR LF.
std::wstring ClipboardText(std::string_view text);

}  // namespace brindaq::win32
