#include "win32/appearance.h"

#include <string_view>

#include "win32/resources.h"
#include "win32/text.h"

namespace brindaq::win32 {
namespace {

Colours Design(window::Colours colours) {
  const auto ref = [](window::Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); };
  return {ref(colours.background), ref(colours.text)};
}

bool HighContrast() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) != FALSE &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

Scheme CurrentScheme() {
  if (HighContrast()) {
    const Colours system{GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)};
    return {
        system, system, system, {GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT)}};
  }
  return {Design(window::kFormColours), Design(window::kLabelColours), Design(window::kBoxColours),
          Design(window::kSelectionColours)};
}

// The first face of the description's list that is installed as an outline font: a bitmap face
// (as "MS Sans Serif" is on Windows) cannot grow with the screen's resolution. None installed:
// an empty name, and Windows takes its own sans-serif face.
int CALLBACK OnFace(const LOGFONTW*, const TEXTMETRICW*, DWORD type, LPARAM found) {
  if ((type & TRUETYPE_FONTTYPE) != 0) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
  }
  return 1;
}

std::wstring InstalledFace() {
  const HDC screen = GetDC(nullptr);
  std::wstring chosen;
  for (const std::string_view family : window::kFontFamilies) {
    const std::wstring face = Wide(family);
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    face.copy(query.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(screen, &query, OnFace, reinterpret_cast<LPARAM>(&found), 0);
    if (found) {
      chosen = face;
      break;
    }
  }
  ReleaseDC(nullptr, screen);
  return chosen;
}

// The height in pixels, at `dpi`, of a font of the description: rounded down, so that a text
// never grows faster than the place it is drawn in.
int FontHeight(window::TextFont font, UINT dpi) {
  return window::FontPixels(font) * static_cast<int>(dpi) / USER_DEFAULT_SCREEN_DPI;
}

HFONT MakeFont(const std::wstring& face, int height, bool bold) {
  LOGFONTW description{};
  description.lfHeight = -height;
  description.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfOutPrecision = OUT_TT_PRECIS;
  description.lfQuality = CLEARTYPE_QUALITY;
  description.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  face.copy(description.lfFaceName, LF_FACESIZE - 1);
  return CreateFontIndirectW(&description);
}

// A control's place in pixels at `dpi`.
window::Rect PlaceOf(const window::Control& control, UINT dpi) {
  const window::Rect place = window::Pixels(control.twips);
  return {Scale(place.left, dpi), Scale(place.top, dpi), Scale(place.width, dpi),
          Scale(place.height, dpi)};
}

// Whether a text, drawn in `font` as a label draws it, keeps all its lines inside `place`.
bool Fits(HDC dc, HFONT font, const std::wstring& text, const window::Rect& place) {
  const HGDIOBJ previous = SelectObject(dc, font);
  RECT needed{0, 0, place.width, 0};
  DrawTextW(dc, text.c_str(), -1, &needed,
            DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  SelectObject(dc, previous);
  return needed.right <= place.width && needed.bottom <= place.height;
}

// The height of one line of the list: the height of its font.
int LineHeight(HWND list) {
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ previous =
      SelectObject(screen, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen, &metrics);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  return metrics.tmHeight;
}

}  // namespace

int Scale(int pixels, UINT dpi) {
  return MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

Appearance::Appearance(HWND form) : dpi(GetDpiForWindow(form)), face(InstalledFace()) {}

Appearance::~Appearance() {
  for (const HFONT font : fonts) {
    DeleteObject(font);
  }
  for (const HBRUSH brush : {form_brush, label_brush, box_brush}) {
    DeleteObject(brush);
  }
  for (const HICON icon : {big_icon, small_icon}) {
    DestroyIcon(icon);
  }
}

void ApplyFonts(Appearance& look, const Controls& controls) {
  struct Made {
    int height;
    bool bold;
    HFONT font;
  };
  std::vector<Made> made;
  const auto font_of = [&](int height, bool bold) {
    for (const Made& font : made) {
      if (font.height == height && font.bold == bold) {
        return font.font;
      }
    }
    made.push_back({height, bold, MakeFont(look.face, height, bold)});
    return made.back().font;
  };
  const HDC screen = GetDC(nullptr);
  for (std::size_t index = 0; index < kControlCount; ++index) {
    const window::Control& control = window::kControls[index];
    const window::TextFont size = control.font;
    int height = FontHeight(size, look.dpi);
    HFONT font = font_of(height, size.bold);
    if (control.kind == window::Kind::kLabel) {
      // A face's widths need not grow in step with its height.
      const std::wstring text = Wide(control.text);
      const window::Rect place = PlaceOf(control, look.dpi);
      while (height > 1 && !Fits(screen, font, text, place)) {
        font = font_of(--height, size.bold);
      }
    }
    SendMessageW(controls[index], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  ReleaseDC(nullptr, screen);
  for (const HFONT font : look.fonts) {
    DeleteObject(font);
  }
  look.fonts.clear();
  for (const Made& font : made) {
    look.fonts.push_back(font.font);
  }
}

void ApplyLayout(const Appearance& look, const Controls& controls, HWND list, SIZE extra) {
  window::Rect list_place{};
  for (const window::Control& control : window::kControls) {
    if (control.kind == window::Kind::kList) {
      list_place = PlaceOf(control, look.dpi);
    }
  }
  for (std::size_t index = 0; index < kControlCount; ++index) {
    const window::Control& control = window::kControls[index];
    window::Rect place = PlaceOf(control, look.dpi);
    if (control.kind == window::Kind::kList) {
      place.width += extra.cx;
      place.height += extra.cy;
    } else if (control.name == window::kHintLabel) {
      place.width += extra.cx;
    } else {
      place.left += place.left >= list_place.left + list_place.width ? extra.cx : 0;
      place.top += place.top >= list_place.top + list_place.height ? extra.cy : 0;
    }
    SetWindowPos(controls[index], nullptr, place.left, place.top, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SendMessageW(list, LB_SETITEMHEIGHT, 0, LineHeight(list));
}

void ApplyColours(Appearance& look, HWND form) {
  look.scheme = CurrentScheme();
  for (const HBRUSH brush : {look.form_brush, look.label_brush, look.box_brush}) {
    DeleteObject(brush);
  }
  look.form_brush = CreateSolidBrush(look.scheme.form.background);
  look.label_brush = CreateSolidBrush(look.scheme.label.background);
  look.box_brush = CreateSolidBrush(look.scheme.box.background);
  RedrawWindow(form, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void ApplyIcons(Appearance& look, HWND form) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const auto load = [&](int width, int height) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(BRINDAQ_ICON), IMAGE_ICON,
                                         GetSystemMetricsForDpi(width, look.dpi),
                                         GetSystemMetricsForDpi(height, look.dpi), 0));
  };
  const HICON big_icon = load(SM_CXICON, SM_CYICON);
  const HICON small_icon = load(SM_CXSMICON, SM_CYSMICON);
  SendMessageW(form, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon));
  SendMessageW(form, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon));
  for (const HICON icon : {look.big_icon, look.small_icon}) {
    DestroyIcon(icon);
  }
  look.big_icon = big_icon;
  look.small_icon = small_icon;
}

SIZE ClientSize(UINT dpi) {
  const window::Rect client = window::Pixels({0, 0, window::kClientWidth, window::kClientHeight});
  return {Scale(client.width, dpi), Scale(client.height, dpi)};
}

SIZE FormSize(UINT dpi, Range range) {
  const SIZE client = ClientSize(dpi);
  RECT frame{0, 0, client.cx, client.cy};
  AdjustWindowRectExForDpi(&frame, FormStyle(range), FALSE, kFormExStyle, dpi);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

LRESULT ControlColours(const Appearance& look, UINT message, HDC dc) {
  const bool label = message == WM_CTLCOLORSTATIC;
  const Colours& colours = label ? look.scheme.label : look.scheme.box;
  SetTextColor(dc, colours.text);
  SetBkColor(dc, colours.background);
  return reinterpret_cast<LRESULT>(label ? look.label_brush : look.box_brush);
}

// Measured first, so that a caption of three lines keeps all three.
void DrawCaption(const Appearance& look, const NMCUSTOMDRAW& draw) {
  const HWND button = draw.hdr.hwndFrom;
  const std::wstring caption = TextOf(button);
  const HGDIOBJ previous =
      SelectObject(draw.hdc, reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)));
  RECT area = draw.rc;
  InflateRect(&area, -Scale(kTextMargin, look.dpi), -Scale(kTextMargin, look.dpi));
  constexpr UINT kFormat = DT_WORDBREAK | DT_CENTER | DT_NOPREFIX;
  RECT needed = area;
  DrawTextW(draw.hdc, caption.c_str(), -1, &needed, kFormat | DT_CALCRECT);
  const int height = needed.bottom - needed.top;
  area.top += (area.bottom - area.top - height) / 2;
  area.bottom = area.top + height;
  SetBkMode(draw.hdc, TRANSPARENT);
  SetTextColor(draw.hdc, GetSysColor((draw.uItemState & CDIS_DISABLED) != 0 ? COLOR_GRAYTEXT
                                                                            : COLOR_BTNTEXT));
  DrawTextW(draw.hdc, caption.c_str(), -1, &area, kFormat);
  SelectObject(draw.hdc, previous);
  if ((draw.uItemState & CDIS_FOCUS) != 0 &&
      (SendMessageW(button, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0) {
    RECT focus = draw.rc;
    InflateRect(&focus, -2 * Scale(kTextMargin, look.dpi), -2 * Scale(kTextMargin, look.dpi));
    DrawFocusRect(draw.hdc, &focus);
  }
}

}  // namespace brindaq::win32
