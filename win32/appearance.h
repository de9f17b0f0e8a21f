#pragma once

// How the window looks at the resolution of the screen it is on: its fonts, colours, icons and
// the places of its controls, all from the one description of the window (core/window.h), and
// the captions of its buttons, drawn over the background that the buttons draw themselves.

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "core/window.h"

namespace brindaq::win32 {

inline constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
inline constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

// The full range's window may be resized and maximised, and its list takes the room; the window's
// range keeps its one size.
constexpr DWORD FormStyle(Range range) {
  return range == Range::kFull ? kFormStyle | WS_THICKFRAME | WS_MAXIMIZEBOX : kFormStyle;
}

inline constexpr std::size_t kControlCount = window::kControls.size();

// Room between a text and the edge of the list or button that it is drawn in, in pixels at
// 96 dots per inch.
inline constexpr int kTextMargin = 2;

// The window's controls, in the order of the description.
using Controls = std::array<HWND, kControlCount>;

struct Colours {
  COLORREF background, text;
};

// The colours of the window: the design's own, whatever the desktop's theme, light or dark; or,
// when the user has asked Windows for high contrast, the system's colours.
struct Scheme {
  Colours form, label, box, selection;
};

// A length of the description, in pixels at 96 dots per inch, at `dpi`.
int Scale(int pixels, UINT dpi);

// Everything that the window draws with, at its current dpi. Freed with it.
struct Appearance {
  UINT dpi = USER_DEFAULT_SCREEN_DPI;
  std::wstring face;         // the first face of the description that is installed
  std::vector<HFONT> fonts;  // every font made at this dpi
  Scheme scheme{};
  HBRUSH form_brush = nullptr;
  HBRUSH label_brush = nullptr;
  HBRUSH box_brush = nullptr;
  HICON big_icon = nullptr;
  HICON small_icon = nullptr;

  explicit Appearance(HWND form);
  ~Appearance();
  Appearance(const Appearance&) = delete;
  Appearance& operator=(const Appearance&) = delete;
};

// The fonts of the description at the appearance's dpi, set on every control. A label whose text
// would not fit its place in its font takes the largest smaller one in which it does.
void ApplyFonts(Appearance& look, const Controls& controls);

// Every control at its place, and the list's lines at the height of the font that ApplyFonts gave
// it, at the appearance's dpi.
// `extra` is the room beyond the designed size, in pixels, that a larger window gives its list:
// what stands right of the list moves right, what stands below it moves down, and the hint above
// it grows with it.
void ApplyLayout(const Appearance& look, const Controls& controls, HWND list, SIZE extra = {});

void ApplyColours(Appearance& look, HWND form);
void ApplyIcons(Appearance& look, HWND form);

// The size of the whole window, frame and title bar included, for the description's client area.
SIZE FormSize(UINT dpi, Range range);
// The designed size of the window's inside, in pixels.
SIZE ClientSize(UINT dpi);

// The brush and colours of a label (WM_CTLCOLORSTATIC), or of a box or the list.
LRESULT ControlColours(const Appearance& look, UINT message, HDC dc);

// A button's caption, wrapped at word breaks and centred as a whole, and its focus rectangle.
void DrawCaption(const Appearance& look, const NMCUSTOMDRAW& draw);

}  // namespace brindaq::win32
