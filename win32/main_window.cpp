// QUARVEL's window on the Win32 API, in the manner of the SDK's samples: one window procedure that
// hands each message it answers to a small handler. Every control, place, font, colour and text
// comes from the one description of the window (core/window.h), and every click runs a row of the
// operation table; nothing here computes or words anything of its own.

#include "win32/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/operations.h"
#include "core/window.h"
#include "win32/resources.h"
#include "win32/text.h"

namespace brindaq::win32 {
namespace {

namespace window = brindaq::window;

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

// A control's id is its place in the description, after the ids that dialogs keep for
// themselves (IDOK, IDCANCEL and the rest).
constexpr int kFirstControlId = 100;

// The commands of the list's context menu.
constexpr UINT kCopyCommand = 1;
constexpr UINT kCopyAllCommand = 2;

// Room between a text and the edge of the list or button that it is drawn in, in pixels at
// 96 dots per inch.
constexpr int kTextMargin = 2;

constexpr std::size_t kControlCount = window::kControls.size();

struct Colours {
  COLORREF background, text;
};

// The colours of the window: the design's own, whatever the desktop's theme, light or dark; or,
// when the user has asked Windows for high contrast, the system's colours.
struct Scheme {
  Colours form, label, box, selection;
};

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

int Scale(int pixels, UINT dpi) {
  return MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
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

struct Font {
  CaptionFont size;
  HFONT handle;
};

// Everything the window keeps between messages.
struct State {
  HWND form = nullptr;
  UINT dpi = USER_DEFAULT_SCREEN_DPI;
  std::array<HWND, kControlCount> controls{};
  std::array<HWND, 3> boxes{};  // A, B and C
  HWND list = nullptr;
  std::vector<std::string> lines;  // the list's lines, as the core gave them
  std::wstring face;
  std::vector<Font> fonts;  // one for each size the description uses, at the current dpi
  Scheme scheme{};
  HBRUSH form_brush = nullptr;
  HBRUSH label_brush = nullptr;
  HBRUSH box_brush = nullptr;
  HICON big_icon = nullptr;
  HICON small_icon = nullptr;
  HWND focus = nullptr;  // the control that had the keyboard when the window was last left

  ~State() {
    for (const Font& font : fonts) {
      DeleteObject(font.handle);
    }
    for (const HBRUSH brush : {form_brush, label_brush, box_brush}) {
      DeleteObject(brush);
    }
    for (const HICON icon : {big_icon, small_icon}) {
      DestroyIcon(icon);
    }
  }
};

std::wstring TextOf(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::size_t IndexOf(std::string_view name) {
  std::size_t index = 0;
  while (index < kControlCount && window::kControls[index].name != name) {
    ++index;
  }
  return index;
}

const window::Control* ControlOf(int id) {
  const int index = id - kFirstControlId;
  return index >= 0 && index < static_cast<int>(kControlCount)
             ? &window::kControls[static_cast<std::size_t>(index)]
             : nullptr;
}

HFONT FontFor(const State& state, CaptionFont size) {
  for (const Font& font : state.fonts) {
    if (font.size.points == size.points && font.size.bold == size.bold) {
      return font.handle;
    }
  }
  return nullptr;
}

// The fonts of the description at the window's dpi, set on every control.
void ApplyFonts(State& state) {
  std::vector<Font> old = std::move(state.fonts);
  state.fonts.clear();
  for (std::size_t index = 0; index < kControlCount; ++index) {
    const CaptionFont size = window::FontOf(window::kControls[index]);
    HFONT font = FontFor(state, size);
    if (font == nullptr) {
      LOGFONTW description{};
      description.lfHeight = -Scale(window::FontPixels(size), state.dpi);
      description.lfWeight = size.bold ? FW_BOLD : FW_NORMAL;
      description.lfCharSet = DEFAULT_CHARSET;
      description.lfOutPrecision = OUT_TT_PRECIS;
      description.lfQuality = CLEARTYPE_QUALITY;
      description.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
      state.face.copy(description.lfFaceName, LF_FACESIZE - 1);
      font = CreateFontIndirectW(&description);
      state.fonts.push_back({size, font});
    }
    SendMessageW(state.controls[index], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  for (const Font& font : old) {
    DeleteObject(font.handle);
  }
}

// The height of one line of the list: the height of its font.
int LineHeight(const State& state) {
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ previous = SelectObject(
      screen, FontFor(state, window::FontOf(window::kControls[IndexOf(window::kResultList)])));
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen, &metrics);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  return metrics.tmHeight;
}

void ApplyColours(State& state) {
  state.scheme = CurrentScheme();
  for (const HBRUSH brush : {state.form_brush, state.label_brush, state.box_brush}) {
    DeleteObject(brush);
  }
  state.form_brush = CreateSolidBrush(state.scheme.form.background);
  state.label_brush = CreateSolidBrush(state.scheme.label.background);
  state.box_brush = CreateSolidBrush(state.scheme.box.background);
  RedrawWindow(state.form, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void ApplyIcons(State& state) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const auto load = [&](int width, int height) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(BRINDAQ_ICON), IMAGE_ICON,
                                         GetSystemMetricsForDpi(width, state.dpi),
                                         GetSystemMetricsForDpi(height, state.dpi), 0));
  };
  const HICON big_icon = load(SM_CXICON, SM_CYICON);
  const HICON small_icon = load(SM_CXSMICON, SM_CYSMICON);
  SendMessageW(state.form, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon));
  SendMessageW(state.form, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon));
  for (const HICON icon : {state.big_icon, state.small_icon}) {
    DestroyIcon(icon);
  }
  state.big_icon = big_icon;
  state.small_icon = small_icon;
}

// Every control at its place, and the list's lines at their height, at the window's dpi.
void ApplyLayout(State& state) {
  for (std::size_t index = 0; index < kControlCount; ++index) {
    const window::Rect place = window::Pixels(window::kControls[index].twips);
    SetWindowPos(state.controls[index], nullptr, Scale(place.left, state.dpi),
                 Scale(place.top, state.dpi), Scale(place.width, state.dpi),
                 Scale(place.height, state.dpi), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SendMessageW(state.list, LB_SETITEMHEIGHT, 0, LineHeight(state));
}

SIZE FormSize(UINT dpi) {
  const window::Rect client = window::Pixels({0, 0, window::kClientWidth, window::kClientHeight});
  RECT frame{0, 0, Scale(client.width, dpi), Scale(client.height, dpi)};
  AdjustWindowRectExForDpi(&frame, kFormStyle, FALSE, kFormExStyle, dpi);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

struct ControlClass {
  const wchar_t* name;
  DWORD style, ex_style;
};

ControlClass ClassOf(window::Kind kind) {
  switch (kind) {
    case window::Kind::kLabel:
      return {WC_STATICW, SS_LEFT | SS_NOPREFIX, 0};
    case window::Kind::kList:
      // Lines are drawn by the window, so that selected ones take the design's colours.
      return {WC_LISTBOXW,
              WS_TABSTOP | WS_VSCROLL | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT |
                  LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_WANTKEYBOARDINPUT | LBS_NOTIFY,
              WS_EX_CLIENTEDGE};
    case window::Kind::kTextBox:
      return {WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case window::Kind::kButton:
    case window::Kind::kOperationButton:
      break;
  }
  return {WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, 0};
}

void CreateControl(State& state, std::size_t index) {
  const window::Control& control = window::kControls[index];
  const ControlClass kind = ClassOf(control.kind);
  // A box's window text is what it holds; the list's is what it is called.
  const bool shows_text = control.kind != window::Kind::kTextBox;
  const HWND handle = CreateWindowExW(
      kind.ex_style, kind.name, shows_text ? Wide(window::TextOf(control)).c_str() : L"",
      WS_CHILD | WS_VISIBLE | kind.style, 0, 0, 0, 0, state.form,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + static_cast<int>(index))),
      GetModuleHandleW(nullptr), nullptr);
  state.controls[index] = handle;
  if (control.kind == window::Kind::kList) {
    state.list = handle;
  } else if (const char letter = window::OperandOf(control.name); letter != 0) {
    state.boxes[static_cast<std::size_t>(letter - 'A')] = handle;
  }
}

// The controls in tab order, each operand box right after the label that names it: screen
// readers take a box's name from the label just before it.
void CreateControls(State& state) {
  std::array<bool, kControlCount> created{};
  const auto create = [&](std::size_t index) {
    if (!created[index]) {
      CreateControl(state, index);
      created[index] = true;
    }
  };
  for (std::size_t index = 0; index < kControlCount; ++index) {
    for (const window::LabelFor& pair : window::kOperandLabels) {
      if (pair.box == window::kControls[index].name) {
        create(IndexOf(pair.label));
      }
    }
    create(index);
  }
}

// The frame of one click --------------------------------------------------------------------------

void ClearResults(State& state) {
  SendMessageW(state.list, LB_RESETCONTENT, 0, 0);
  state.lines.clear();
}

void AppendLines(State& state, const std::vector<std::string>& lines) {
  SendMessageW(state.list, WM_SETREDRAW, FALSE, 0);
  for (const std::string& line : lines) {
    SendMessageW(state.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(line).c_str()));
    state.lines.push_back(line);
  }
  SendMessageW(state.list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(state.list, nullptr, TRUE);
}

void ShowNotice(const State& state, const std::string& notice) {
  MessageBoxW(state.form, Wide(notice).c_str(), Wide(window::kNoticeCaption).c_str(), MB_OK);
}

void RunOperation(State& state, const OperationButton& operation) {
  ClearResults(state);
  const OperandTexts texts{Narrow(TextOf(state.boxes[0])), Narrow(TextOf(state.boxes[1])),
                           Narrow(TextOf(state.boxes[2]))};
  const Outcome outcome = operation.run(texts);
  AppendLines(state, outcome.lines);
  if (outcome.notice) {
    ShowNotice(state, *outcome.notice);
    // The keyboard goes back into the box the notice is about, its text selected, so that the
    // correction can be typed at once.
    if (outcome.operand) {
      const HWND box = state.boxes[static_cast<std::size_t>(*outcome.operand - 'A')];
      SetFocus(box);
      SendMessageW(box, EM_SETSEL, 0, -1);
    }
  }
}

void Clear(State& state) {
  ClearResults(state);
  for (const HWND box : state.boxes) {
    SetWindowTextW(box, L"");
  }
}

void ShowInfo(State& state) {
  ClearResults(state);
  AppendLines(state,
              std::vector<std::string>(window::kInfoLines.begin(), window::kInfoLines.end()));
}

// Copying -----------------------------------------------------------------------------------------

std::vector<std::string> SelectedLines(const State& state) {
  const LRESULT count = SendMessageW(state.list, LB_GETSELCOUNT, 0, 0);
  std::vector<int> rows(count > 0 ? static_cast<std::size_t>(count) : 0);
  SendMessageW(state.list, LB_GETSELITEMS, rows.size(), reinterpret_cast<LPARAM>(rows.data()));
  std::vector<std::string> lines;
  for (const int row : rows) {
    lines.push_back(state.lines.at(static_cast<std::size_t>(row)));
  }
  return lines;
}

// The lines, as the core copies them, on the clipboard as Unicode text.
void Copy(const State& state, const std::vector<std::string>& lines) {
  if (!window::CanCopy(lines.size()) || !OpenClipboard(state.form)) {
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

// Drawing -----------------------------------------------------------------------------------------

// One line of the list, in the box's colours or, selected, in the selection's.
void DrawLine(const State& state, const DRAWITEMSTRUCT& item) {
  if (item.itemAction == ODA_FOCUS) {
    DrawFocusRect(item.hDC, &item.rcItem);
    return;
  }
  const Colours colours =
      (item.itemState & ODS_SELECTED) != 0 ? state.scheme.selection : state.scheme.box;
  SetBkColor(item.hDC, colours.background);
  SetTextColor(item.hDC, colours.text);
  ExtTextOutW(item.hDC, 0, 0, ETO_OPAQUE, &item.rcItem, nullptr, 0, nullptr);
  if (item.itemID < state.lines.size()) {
    RECT text = item.rcItem;
    text.left += Scale(kTextMargin, state.dpi);
    const std::wstring line = Wide(state.lines[item.itemID]);
    DrawTextW(item.hDC, line.c_str(), static_cast<int>(line.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  if ((item.itemState & ODS_FOCUS) != 0) {
    DrawFocusRect(item.hDC, &item.rcItem);
  }
}

// A button's caption, over the background that the button drew itself: wrapped at word breaks
// and centred as a whole, measured first, so that a caption of three lines keeps all three.
void DrawCaption(const State& state, const NMCUSTOMDRAW& draw) {
  const HWND button = draw.hdr.hwndFrom;
  const std::wstring caption = TextOf(button);
  const HGDIOBJ previous =
      SelectObject(draw.hdc, reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)));
  RECT area = draw.rc;
  InflateRect(&area, -Scale(kTextMargin, state.dpi), -Scale(kTextMargin, state.dpi));
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
    InflateRect(&focus, -2 * Scale(kTextMargin, state.dpi), -2 * Scale(kTextMargin, state.dpi));
    DrawFocusRect(draw.hdc, &focus);
  }
}

// The handlers of the window's messages -----------------------------------------------------------

bool OnCreate(HWND form) {
  auto state = std::make_unique<State>();
  state->form = form;
  state->dpi = GetDpiForWindow(form);
  state->face = InstalledFace();
  SetWindowLongPtrW(form, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state.get()));
  State& created = *state.release();
  CreateControls(created);
  ApplyFonts(created);
  ApplyLayout(created);
  ApplyColours(created);
  ApplyIcons(created);
  const SIZE size = FormSize(created.dpi);
  SetWindowPos(form, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  created.focus = created.list;
  return true;
}

void OnCommand(State& state, int id, int code) {
  const window::Control* control = ControlOf(id);
  if (control == nullptr || code != BN_CLICKED) {
    return;
  }
  switch (window::ActionOf(*control)) {
    case window::Action::kOperation:
      RunOperation(state, *window::OperationOf(*control));
      break;
    case window::Action::kExit:
      DestroyWindow(state.form);
      break;
    case window::Action::kClear:
      Clear(state);
      break;
    case window::Action::kInfo:
      ShowInfo(state);
      break;
    case window::Action::kNone:
      break;
  }
}

LRESULT OnControlColour(const State& state, UINT message, HDC dc) {
  const bool label = message == WM_CTLCOLORSTATIC;
  const Colours& colours = label ? state.scheme.label : state.scheme.box;
  SetTextColor(dc, colours.text);
  SetBkColor(dc, colours.background);
  return reinterpret_cast<LRESULT>(label ? state.label_brush : state.box_brush);
}

LRESULT OnEraseBackground(const State& state, HDC dc) {
  RECT client;
  GetClientRect(state.form, &client);
  FillRect(dc, &client, state.form_brush);
  return 1;
}

LRESULT OnNotify(const State& state, const NMHDR& header) {
  const window::Control* control = ControlOf(static_cast<int>(header.idFrom));
  if (header.code != NM_CUSTOMDRAW || control == nullptr ||
      ClassOf(control->kind).name != std::wstring_view(WC_BUTTONW)) {
    return CDRF_DODEFAULT;
  }
  const auto& draw = reinterpret_cast<const NMCUSTOMDRAW&>(header);
  if (draw.dwDrawStage != CDDS_PREPAINT) {
    return CDRF_DODEFAULT;
  }
  DrawCaption(state, draw);
  return CDRF_SKIPDEFAULT;
}

// Ctrl+C copies the selected lines, Ctrl+A selects them all; other keys move in the list as usual.
LRESULT OnListKey(const State& state, UINT key) {
  if (GetKeyState(VK_CONTROL) >= 0) {
    return -1;
  }
  if (key == 'C') {
    Copy(state, SelectedLines(state));
    return -2;
  }
  if (key == 'A') {
    SendMessageW(state.list, LB_SETSEL, TRUE, -1);
    return -2;
  }
  return -1;
}

// The list's context menu, at the pointer or, from the keyboard, under the line with the caret.
bool OnContextMenu(State& state, HWND target, POINT at) {
  if (target != state.list) {
    return false;
  }
  if (at.x == -1 && at.y == -1) {
    RECT line{};
    const LRESULT caret = SendMessageW(state.list, LB_GETCARETINDEX, 0, 0);
    if (caret < 0 || SendMessageW(state.list, LB_GETITEMRECT, static_cast<WPARAM>(caret),
                                  reinterpret_cast<LPARAM>(&line)) == LB_ERR) {
      line = {};
    }
    at = {line.left, line.bottom};
    ClientToScreen(state.list, &at);
  } else {
    // A right click on a line that is not selected selects it alone, so that the menu is about it.
    POINT inside = at;
    ScreenToClient(state.list, &inside);
    const LRESULT hit =
        SendMessageW(state.list, LB_ITEMFROMPOINT, 0, MAKELPARAM(inside.x, inside.y));
    const WPARAM row = LOWORD(hit);
    if (HIWORD(hit) == 0 && SendMessageW(state.list, LB_GETSEL, row, 0) == 0) {
      SendMessageW(state.list, LB_SETSEL, FALSE, -1);
      SendMessageW(state.list, LB_SETSEL, TRUE, static_cast<LPARAM>(row));
      SendMessageW(state.list, LB_SETCARETINDEX, row, FALSE);
    }
  }
  const std::vector<std::string> selected = SelectedLines(state);
  const HMENU menu = CreatePopupMenu();
  const auto add = [menu](UINT command, std::string_view text, bool enabled) {
    AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), command, Wide(text).c_str());
  };
  add(kCopyCommand, window::kCopyAction, window::CanCopy(selected.size()));
  add(kCopyAllCommand, window::kCopyAllAction, window::CanCopy(state.lines.size()));
  const UINT chosen = static_cast<UINT>(TrackPopupMenu(
      menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, state.form, nullptr));
  DestroyMenu(menu);
  if (chosen == kCopyCommand) {
    Copy(state, selected);
  } else if (chosen == kCopyAllCommand) {
    Copy(state, state.lines);
  }
  return true;
}

// The keyboard leaves with the window and comes back to the control that had it.
void OnActivate(State& state, bool active) {
  if (!active) {
    if (const HWND focus = GetFocus(); focus != nullptr && IsChild(state.form, focus)) {
      state.focus = focus;
    }
  } else if (state.focus != nullptr) {
    SetFocus(state.focus);
  }
}

// Moved to a screen of another resolution, the whole window is laid out again at its scale.
void OnDpiChanged(State& state, UINT dpi, const RECT& suggested) {
  state.dpi = dpi;
  ApplyFonts(state);
  ApplyLayout(state);
  ApplyIcons(state);
  SetWindowPos(state.form, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawWindow(state.form, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

LRESULT CALLBACK WindowProcedure(HWND form, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CREATE) {
    return OnCreate(form) ? 0 : -1;
  }
  auto* state = reinterpret_cast<State*>(GetWindowLongPtrW(form, GWLP_USERDATA));
  if (state == nullptr) {
    return DefWindowProcW(form, message, wparam, lparam);
  }
  switch (message) {
    case WM_COMMAND:
      OnCommand(*state, LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return OnControlColour(*state, message, reinterpret_cast<HDC>(wparam));
    case WM_ERASEBKGND:
      return OnEraseBackground(*state, reinterpret_cast<HDC>(wparam));
    case WM_DRAWITEM:
      DrawLine(*state, *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_NOTIFY:
      return OnNotify(*state, *reinterpret_cast<const NMHDR*>(lparam));
    case WM_VKEYTOITEM:
      return OnListKey(*state, LOWORD(wparam));
    case WM_CONTEXTMENU:
      if (OnContextMenu(*state, reinterpret_cast<HWND>(wparam),
                        {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)})) {
        return 0;
      }
      break;
    case WM_ACTIVATE:
      OnActivate(*state, LOWORD(wparam) != WA_INACTIVE);
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(*state, HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      ApplyColours(*state);
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(form, GWLP_USERDATA, 0);
      delete state;
      break;
    default:
      break;
  }
  return DefWindowProcW(form, message, wparam, lparam);
}

}  // namespace

HWND CreateMainWindow(HINSTANCE instance) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  const std::wstring class_name = Wide(window::kFormName);
  WNDCLASSEXW form_class{};
  form_class.cbSize = sizeof form_class;
  form_class.lpfnWndProc = WindowProcedure;
  form_class.hInstance = instance;
  form_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(BRINDAQ_ICON));
  form_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  form_class.lpszClassName = class_name.c_str();
  if (RegisterClassExW(&form_class) == 0) {
    return nullptr;
  }
  return CreateWindowExW(kFormExStyle, class_name.c_str(), Wide(window::kCaption).c_str(),
                         kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                         nullptr, nullptr, instance, nullptr);
}

}  // namespace brindaq::win32
