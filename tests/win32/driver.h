#pragma once

// What the window driver does to brindaq.exe and how it reads it: keys go in through SendInput,
// clicks as the messages that a click sends, and what the window shows is read back by messages
// (which cross from one process to another).

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/frame/frame.h"

namespace driver {

// Counts and prints a failed check.
void Check(bool passed, const std::string& what);
int Failures();

// Waits up to 10 s for a condition that the window reaches in its own time.
bool Eventually(const std::function<bool()>& condition);

std::wstring Wide(std::string_view text);  // the window's texts are ASCII
std::string Narrow(const std::wstring& text);

// Input -------------------------------------------------------------------------------------------

// A key, with the modifiers held down around it.
void Press(WORD key, std::vector<WORD> modifiers = {});
void Type(const std::wstring& text);

// A click with the left (or right) button at a point of a control's client area, by default its
// middle, with Shift or Ctrl held down.
void Click(HWND control, WPARAM keys = 0, std::optional<POINT> at = {}, bool right = false);

// The program and its window --------------------------------------------------------------------

struct Program {
  PROCESS_INFORMATION process{};
  HWND form = nullptr;
  double start_ms = 0;
};

// Starts the program on `range` (given --full-range for the full range) and waits until its
// window, with the range's title bar, is painted and waits for input.
Program Start(const std::wstring& path, brindaq::Range range = brindaq::Range::kWindow);

// Whether the program ends with status 0. One that does not is ended here, so that no run of the
// driver leaves it behind.
bool Ends(const Program& program);

// The resolution that wine gives new programs, as Windows' display settings would.
void SetLogPixels(DWORD dpi);

// Reading the window ----------------------------------------------------------------------------

std::wstring ClassOf(HWND handle);
std::wstring TextOf(HWND handle);
std::vector<HWND> Children(HWND form);
HWND ChildOf(HWND form, const wchar_t* kind, const std::wstring& text);
HWND ButtonOf(HWND form, std::string_view caption);
HWND ListOf(HWND form);
// An operand box: the control right after the label that names it, as screen readers find it.
HWND BoxOf(HWND form, std::string_view box);
HWND Focus(const Program& program);

std::vector<std::string> Lines(HWND list);
std::vector<int> SelectedRows(HWND list);
// The middle of a line of the list, in its client area.
POINT LinePoint(HWND list, int row);

void EmptyTheClipboard();
std::wstring Clipboard();

// The program's notice, once it is shown; nothing after 10 s.
HWND NoticeOf(const Program& program);

// Where the screen shows a control's text: the smallest rectangle of its client area (or of
// `part` of it) that holds every pixel not of the colour of the top left corner.
RECT InkOf(HWND control, std::optional<RECT> part = {});

// Where a text drawn on one line, from the top left corner, in `font` and `colour` on
// `background`, leaves ink.
RECT InkOfLine(const std::wstring& text, HFONT font, COLORREF background, COLORREF colour);

// The window as the screen shows it, as a 24-bit BMP file.
bool SavePicture(HWND form, const std::wstring& file);

}  // namespace driver
