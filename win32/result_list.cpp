#include "win32/result_list.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

#include "core/operations.h"
#include "core/window.h"
#include "win32/text.h"

namespace brindaq::win32 {
namespace {

// The commands of the list's context menu.
constexpr UINT kCopyCommand = 1;
constexpr UINT kCopyAllCommand = 2;

// The lines of `rows`, in order: a line shown on several rows once, whole.
std::vector<std::string> LinesOf(const ResultList& results, const std::vector<int>& rows) {
  std::vector<std::string> lines;
  int last_part = -1;
  for (const int row : rows) {
    const auto index = static_cast<std::size_t>(row);
    const int part = index < results.part_of.size() ? results.part_of[index] : -1;
    if (part < 0) {
      lines.push_back(results.lines.at(index));
    } else if (part != last_part) {
      lines.push_back(results.wrapped.at(static_cast<std::size_t>(part)));
    }
    last_part = part;
  }
  return lines;
}

std::vector<std::string> SelectedLines(const ResultList& results) {
  const LRESULT count = SendMessageW(results.list, LB_GETSELCOUNT, 0, 0);
  std::vector<int> rows(count > 0 ? static_cast<std::size_t>(count) : 0);
  SendMessageW(results.list, LB_GETSELITEMS, rows.size(), reinterpret_cast<LPARAM>(rows.data()));
  return LinesOf(results, rows);
}

std::vector<std::string> AllLines(const ResultList& results) {
  if (results.wrapped.empty()) {
    return results.lines;
  }
  std::vector<int> rows(results.lines.size());
  for (std::size_t row = 0; row < rows.size(); ++row) {
    rows[row] = static_cast<int>(row);
  }
  return LinesOf(results, rows);
}

// How many characters a row of a long line holds: as many of the widest digit as the list's
// inside shows, less a vertical scroll bar that the answer may yet need.
std::size_t RowCharacters(const ResultList& results) {
  RECT client{};
  GetClientRect(results.list, &client);
  const UINT dpi = GetDpiForWindow(results.list);
  const HDC dc = GetDC(results.list);
  const HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(results.list, WM_GETFONT, 0, 0)));
  std::array<INT, 10> digits{};
  GetCharWidth32W(dc, L'0', L'9', digits.data());
  SelectObject(dc, previous);
  ReleaseDC(results.list, dc);
  const int widest = std::max(1, *std::max_element(digits.begin(), digits.end()));
  // A list box shows its vertical bar, and has the style, only while its rows need it.
  const bool bar_shown = (GetWindowLongW(results.list, GWL_STYLE) & WS_VSCROLL) != 0;
  const int room = client.right - 2 * Scale(kTextMargin, dpi) -
                   (bar_shown ? 0 : GetSystemMetricsForDpi(SM_CXVSCROLL, dpi));
  return static_cast<std::size_t>(
      std::max<int>(room / widest, static_cast<int>(window::kContinuationIndent) + 8));
}

// The rows of a long line: the first as many characters as a row holds, each after it the
// continuation's blanks and as many more.
std::vector<std::string> RowsOf(const std::string& line, std::size_t row_characters) {
  const std::string indent(window::kContinuationIndent, ' ');
  std::vector<std::string> rows;
  std::size_t start = 0;
  while (start < line.size()) {
    const std::size_t room = rows.empty() ? row_characters : row_characters - indent.size();
    rows.push_back((rows.empty() ? std::string() : indent) + line.substr(start, room));
    start += room;
  }
  return rows;
}

// The lines, as the core copies them, on the clipboard as Unicode text.
void Copy(HWND form, const std::vector<std::string>& lines) {
  if (!window::CanCopy(lines.size()) || !OpenClipboard(form)) {
    return;
  }
  EmptyClipboard();
  const std::wstring text = ClipboardText(CopiedText(lines));
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    CopyMemory(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}

// Where the menu opens from the keyboard: under the line with the caret, else at the list's top.
POINT CaretPoint(HWND list) {
  RECT line{};
  const LRESULT caret = SendMessageW(list, LB_GETCARETINDEX, 0, 0);
  if (caret < 0 || SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(caret),
                                reinterpret_cast<LPARAM>(&line)) == LB_ERR) {
    line = {};
  }
  POINT at{line.left, line.bottom};
  ClientToScreen(list, &at);
  return at;
}

// A right click on a line that is not selected selects it alone, so that the menu is about it.
void SelectClickedLine(HWND list, POINT at) {
  ScreenToClient(list, &at);
  const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(at.x, at.y));
  const WPARAM row = LOWORD(hit);
  if (HIWORD(hit) == 0 && SendMessageW(list, LB_GETSEL, row, 0) == 0) {
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    SendMessageW(list, LB_SETSEL, TRUE, static_cast<LPARAM>(row));
    SendMessageW(list, LB_SETCARETINDEX, row, FALSE);
  }
}

// The width in pixels of the widest line, in the font selected into `dc`. A line of ASCII is as
// wide as its characters' advances together, as GDI lays it out (with no kerning): added up from
// one table, so that a hundred thousand lines are measured at once. Any other line is measured
// whole.
int WidestLine(HDC dc, const std::vector<std::string>& lines) {
  std::array<INT, 128> advances{};
  GetCharWidth32W(dc, 0, static_cast<UINT>(advances.size() - 1), advances.data());
  int widest = 0;
  for (const std::string& line : lines) {
    int width = 0;
    bool ascii = true;
    for (const char character : line) {
      const auto code = static_cast<unsigned char>(character);
      ascii = ascii && code < advances.size();
      width += ascii ? advances[code] : 0;
    }
    if (!ascii) {
      const std::wstring wide = Wide(line);
      SIZE size{};
      GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
      width = size.cx;
    }
    widest = std::max(widest, width);
  }
  return widest;
}

// Scrolls the list sideways to `position`, kept between the start of its lines and their end.
void ScrollTo(const ResultList& results, int position) {
  RECT client{};
  GetClientRect(results.list, &client);
  position = std::clamp(position, 0, std::max<int>(0, results.extent - client.right));
  SendMessageW(results.list, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position), 0);
}

}  // namespace

void ClearResults(ResultList& results) {
  SendMessageW(results.list, LB_RESETCONTENT, 0, 0);
  results.lines.clear();
  results.wrapped.clear();
  results.part_of.clear();
  results.row_characters = 0;
  if (results.sideways) {
    results.extent = 0;
    SendMessageW(results.list, LB_SETHORIZONTALEXTENT, 0, 0);  // back at the start
  }
}

void AppendLines(ResultList& results, const std::vector<std::string>& given) {
  // A long line of the full range goes on several rows.
  const bool wraps = std::any_of(given.begin(), given.end(), [](const std::string& line) {
    return window::Wraps(Range::kFull, line.size());
  });
  std::vector<std::string> split;
  if (results.sideways && wraps) {
    const std::size_t row_characters = RowCharacters(results);
    results.row_characters = row_characters;
    results.part_of.resize(results.lines.size(), -1);
    for (const std::string& line : given) {
      if (!window::Wraps(Range::kFull, line.size())) {
        split.push_back(line);
        results.part_of.push_back(-1);
        continue;
      }
      for (std::string& row : RowsOf(line, row_characters)) {
        split.push_back(std::move(row));
        results.part_of.push_back(static_cast<int>(results.wrapped.size()));
      }
      results.wrapped.push_back(line);
    }
  } else if (!results.part_of.empty()) {
    results.part_of.resize(results.part_of.size() + given.size(), -1);
  }
  const std::vector<std::string>& lines = split.empty() ? given : split;
  SendMessageW(results.list, WM_SETREDRAW, FALSE, 0);
  std::size_t characters = 0;
  for (const std::string& line : lines) {
    characters += line.size() + 1;
  }
  SendMessageW(results.list, LB_INITSTORAGE, lines.size(),
               static_cast<LPARAM>(characters * sizeof(wchar_t)));
  results.lines.reserve(results.lines.size() + lines.size());
  for (const std::string& line : lines) {
    SendMessageW(results.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(line).c_str()));
    results.lines.push_back(line);
  }
  FitWidth(results, results.lines.size() - lines.size());
  SendMessageW(results.list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(results.list, nullptr, TRUE);
}

void RewrapLines(ResultList& results) {
  if (results.wrapped.empty() || RowCharacters(results) == results.row_characters) {
    return;
  }
  // The line at the top of the list, counted in whole lines.
  const auto top = static_cast<std::size_t>(
      std::max<LRESULT>(0, SendMessageW(results.list, LB_GETTOPINDEX, 0, 0)));
  std::size_t top_line = 0;
  for (std::size_t row = 1; row <= top && row < results.lines.size(); ++row) {
    const bool same = results.part_of[row] >= 0 && results.part_of[row] == results.part_of[row - 1];
    top_line += same ? 0 : 1;
  }
  const std::vector<std::string> lines = AllLines(results);
  ClearResults(results);
  AppendLines(results, lines);
  std::size_t row = 0;
  for (std::size_t line = 0; line < top_line && row < results.lines.size(); ++row) {
    const bool same = row + 1 < results.lines.size() && results.part_of[row + 1] >= 0 &&
                      results.part_of[row + 1] == results.part_of[row];
    line += same ? 0 : 1;
  }
  SendMessageW(results.list, LB_SETTOPINDEX, row, 0);
}

void FitWidth(ResultList& results, std::size_t from) {
  if (!results.sideways || from > results.lines.size()) {
    return;
  }
  const HDC dc = GetDC(results.list);
  const HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(results.list, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  results.step = std::max<int>(1, metrics.tmAveCharWidth);
  // The text's margin on either side, as DrawLine leaves it.
  const int margin = Scale(kTextMargin, GetDpiForWindow(results.list));
  const std::vector<std::string> measured(results.lines.begin() + static_cast<std::ptrdiff_t>(from),
                                          results.lines.end());
  const int extent = measured.empty() ? 0 : WidestLine(dc, measured) + 2 * margin;
  results.extent = from == 0 ? extent : std::max(results.extent, extent);
  SelectObject(dc, previous);
  ReleaseDC(results.list, dc);
  SendMessageW(results.list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(results.extent), 0);
}

// Scrolled sideways, a line's rectangle starts left of the list, as far as it has scrolled; it
// is drawn to the list's right edge at least, so that its colours fill the row.
void DrawLine(const ResultList& results, const Appearance& look, const DRAWITEMSTRUCT& item) {
  RECT row = item.rcItem;
  RECT client{};
  GetClientRect(item.hwndItem, &client);
  row.right = std::max(row.right, client.right);
  if (item.itemAction == ODA_FOCUS) {
    DrawFocusRect(item.hDC, &row);
    return;
  }
  const Colours colours =
      (item.itemState & ODS_SELECTED) != 0 ? look.scheme.selection : look.scheme.box;
  SetBkColor(item.hDC, colours.background);
  SetTextColor(item.hDC, colours.text);
  ExtTextOutW(item.hDC, 0, 0, ETO_OPAQUE, &row, nullptr, 0, nullptr);
  if (item.itemID < results.lines.size()) {
    RECT text = row;
    text.left += Scale(kTextMargin, look.dpi);
    const std::wstring line = Wide(results.lines[item.itemID]);
    DrawTextW(item.hDC, line.c_str(), static_cast<int>(line.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  if ((item.itemState & ODS_FOCUS) != 0) {
    DrawFocusRect(item.hDC, &row);
  }
}

LRESULT ListKey(const ResultList& results, HWND form, UINT key) {
  constexpr LRESULT kDefault = -1;  // the list moves as usual
  constexpr LRESULT kDone = -2;     // the key is taken
  const bool control = GetKeyState(VK_CONTROL) < 0;
  if (results.sideways && (key == VK_LEFT || key == VK_RIGHT)) {
    const int sign = key == VK_LEFT ? -1 : 1;
    ScrollTo(results, control ? sign * results.extent
                              : GetScrollPos(results.list, SB_HORZ) + sign * results.step);
    return kDone;
  }
  if (!control) {
    return kDefault;
  }
  if (key == 'C') {
    Copy(form, SelectedLines(results));
    return kDone;
  }
  if (key == 'A') {
    SendMessageW(results.list, LB_SETSEL, TRUE, -1);
    return kDone;
  }
  return kDefault;
}

void ListMenu(const ResultList& results, HWND form, POINT at) {
  if (at.x == -1 && at.y == -1) {
    at = CaretPoint(results.list);
  } else {
    SelectClickedLine(results.list, at);
  }
  const std::vector<std::string> selected = SelectedLines(results);
  const HMENU menu = CreatePopupMenu();
  const auto add = [menu](UINT command, std::string_view text, bool enabled) {
    AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), command, Wide(text).c_str());
  };
  add(kCopyCommand, window::kCopyAction, window::CanCopy(selected.size()));
  add(kCopyAllCommand, window::kCopyAllAction, window::CanCopy(results.lines.size()));
  const UINT chosen = static_cast<UINT>(TrackPopupMenu(
      menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, form, nullptr));
  DestroyMenu(menu);
  if (chosen == kCopyCommand) {
    Copy(form, selected);
  } else if (chosen == kCopyAllCommand) {
    Copy(form, AllLines(results));
  }
}

}  // namespace brindaq::win32
