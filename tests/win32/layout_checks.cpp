#include "layout_checks.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "core/window.h"

namespace driver {
namespace {

namespace window = brindaq::window;

// A font of the description as the window makes it at `dpi`: in the first of the description's
// faces that is installed, its height rounded down.
int CALLBACK OnFace(const LOGFONTW*, const TEXTMETRICW*, DWORD type, LPARAM found) {
  *reinterpret_cast<bool*>(found) = (type & TRUETYPE_FONTTYPE) != 0;
  return *reinterpret_cast<bool*>(found) ? 0 : 1;
}

HFONT FontAt(brindaq::window::TextFont font, UINT dpi) {
  LOGFONTW description{};
  description.lfHeight = -(window::FontPixels(font) * static_cast<int>(dpi) / 96);
  description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfOutPrecision = OUT_TT_PRECIS;
  description.lfQuality = CLEARTYPE_QUALITY;
  description.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  const HDC screen = GetDC(nullptr);
  for (const std::string_view family : window::kFontFamilies) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    Wide(family).copy(query.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(screen, &query, OnFace, reinterpret_cast<LPARAM>(&found), 0);
    if (found) {
      std::memcpy(description.lfFaceName, query.lfFaceName, sizeof query.lfFaceName);
      break;
    }
  }
  ReleaseDC(nullptr, screen);
  return CreateFontIndirectW(&description);
}

}  // namespace

void CheckTextsFit(const Program& program, UINT dpi) {
  const HDC screen = GetDC(nullptr);
  for (const window::Control& control : window::kControls) {
    const bool label = control.kind == window::Kind::kLabel;
    if (!label && control.kind != window::Kind::kButton &&
        control.kind != window::Kind::kOperationButton) {
      continue;
    }
    const std::wstring text = Wide(control.text);
    const HWND handle = ChildOf(program.form, label ? L"Static" : L"Button", text);
    RECT client{};
    GetClientRect(handle, &client);
    if (!label) {
      const int margin = MulDiv(2, static_cast<int>(dpi), 96);
      InflateRect(&client, -margin, -margin);
    }
    const HFONT font = FontAt(control.font, dpi);
    const HGDIOBJ previous = SelectObject(screen, font);
    RECT needed{0, 0, client.right - client.left, 0};
    DrawTextW(screen, text.c_str(), -1, &needed,
              DT_CALCRECT | DT_NOPREFIX | (label ? DT_SINGLELINE : DT_WORDBREAK | DT_CENTER));
    SelectObject(screen, previous);
    const std::string what = "\"" + Narrow(text) + "\" at " + std::to_string(dpi) + " dpi";
    Check(handle != nullptr && needed.right <= client.right - client.left &&
              needed.bottom <= client.bottom - client.top,
          what + " fits its control: " + std::to_string(needed.right) + " by " +
              std::to_string(needed.bottom) + " in " + std::to_string(client.right - client.left) +
              " by " + std::to_string(client.bottom - client.top));
    if (label) {
      const auto ref = [](window::Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); };
      const RECT shown = InkOf(handle);
      const RECT whole = InkOfLine(text, font, ref(window::kLabelColours.background),
                                   ref(window::kLabelColours.text));
      Check(EqualRect(&shown, &whole) != FALSE,
            what + " is shown whole on one line: its ink ends at " + std::to_string(shown.right) +
                ", " + std::to_string(shown.bottom) + ", the whole line's at " +
                std::to_string(whole.right) + ", " + std::to_string(whole.bottom));
    }
    DeleteObject(font);
  }
  ReleaseDC(nullptr, screen);
}

Geometry GeometryOf(const Program& program) {
  Geometry geometry;
  GetClientRect(program.form, &geometry.client);
  for (const HWND child : Children(program.form)) {
    RECT place;
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, program.form, reinterpret_cast<POINT*>(&place), 2);
    geometry.controls.push_back(place);
  }
  geometry.line_height = SendMessageW(ListOf(program.form), LB_GETITEMHEIGHT, 0, 0);
  return geometry;
}

void CheckScaled(const Geometry& normal, const Geometry& scaled) {
  const auto close = [](LONG at96, LONG at144) { return std::abs(at96 * 3 / 2 - at144) <= 1; };
  Check(scaled.client.right == normal.client.right * 3 / 2 &&
            scaled.client.bottom == normal.client.bottom * 3 / 2,
        "the client area at 144 dpi is 1.5 times as large: " + std::to_string(scaled.client.right) +
            " by " + std::to_string(scaled.client.bottom));
  Check(normal.controls.size() == scaled.controls.size(), "the same controls at 144 dpi");
  for (std::size_t index = 0; index < std::min(normal.controls.size(), scaled.controls.size());
       ++index) {
    const RECT& at96 = normal.controls[index];
    const RECT& at144 = scaled.controls[index];
    Check(close(at96.left, at144.left) && close(at96.top, at144.top) &&
              close(at96.right, at144.right) && close(at96.bottom, at144.bottom),
          "control " + std::to_string(index) + " at 144 dpi");
  }
  Check(close(static_cast<LONG>(normal.line_height), static_cast<LONG>(scaled.line_height)),
        "the list's lines at 144 dpi");
}

}  // namespace driver
