// QUARVEL's window on the Win32 API, in the manner of the SDK's samples: one window procedure that
// hands each message it answers to a small handler. Every control, place, font, colour and text
// comes from the one description of the window (core/window.h), and every click runs a row of the
// operation table; nothing here computes or words anything of its own. How the window looks is
// in appearance.cpp, the list of results and copying in result_list.cpp.

#include "win32/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/jobs/background_question.h"
#include "core/operations.h"
#include "core/window.h"
#include "win32/appearance.h"
#include "win32/resources.h"
#include "win32/result_list.h"
#include "win32/text.h"

namespace brindaq::win32 {
namespace {

// A control's id is its place in the description, after the ids that dialogs keep for
// themselves (IDOK, IDCANCEL and the rest).
constexpr int kFirstControlId = 100;

// Posted to the window by a control that has just got the keyboard.
constexpr UINT kFocusMessage = WM_APP;
// Posted to the window by the thread of a question of the full range when its answer has ended.
constexpr UINT kAnswerMessage = WM_APP + 1;
// The timer that gathers the lines of such a question once a frame.
constexpr UINT_PTR kFrameTimer = 1;
// At most so many lines go into the list at once.
constexpr std::size_t kSliceLines = 8192;

// Everything the window keeps between messages.
struct State {
  HWND form;
  Range range;  // where every operation button runs its operation
  Appearance look;
  Controls controls{};
  std::array<HWND, 3> boxes{};  // A, B and C
  // In the full range, under each box, the length of an operand longer than the box shows.
  std::array<HWND, 3> lengths{};
  ResultList results;
  HWND focus = nullptr;  // the control that had the keyboard when the window was last left

  // A question of the full range, worked out beside the window, and where its lines gather.
  std::unique_ptr<jobs::BackgroundQuestion> question;
  std::shared_ptr<jobs::StringLines> store;
  std::vector<std::string> taken;
  // The hint, and what it shows: its own text, or the progress of a question. What it shows is
  // drawn from `hint_shown`, which changes a few times a second; its window text, which is its
  // name to a screen reader (and changing it is what a screen reader is told of), changes at
  // most every window::kSpokenProgressMilliseconds, and says window::kAnswerEndedStatus at the
  // end.
  HWND hint = nullptr;
  std::wstring hint_text;
  std::wstring hint_shown;
  std::wstring hint_said;         // its window text
  ULONGLONG started = 0;          // GetTickCount64 at the click
  ULONGLONG progress_shown = 0;   // when the hint last showed the progress, 0 before it did
  ULONGLONG progress_spoken = 0;  // when a screen reader was last told it, the click before
  bool ticking = false;           // whether the frame timer runs: the answer did not come at once

  State(HWND handle, Range chosen) : form(handle), range(chosen), look(handle) {
    results.sideways = window::ScrollsSideways(chosen);
  }
};

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

bool IsButton(const window::Control& control) {
  return control.kind == window::Kind::kButton || control.kind == window::Kind::kOperationButton;
}

struct ControlClass {
  const wchar_t* name;
  DWORD style, ex_style;
};

ControlClass ClassOf(window::Kind kind, Range range) {
  switch (kind) {
    case window::Kind::kLabel:
      return {WC_STATICW, SS_LEFT | SS_NOPREFIX, 0};
    case window::Kind::kList:
      // Lines are drawn by the window, so that selected ones take the design's colours. A line
      // wider than the list scrolls sideways rather than being cut.
      return {WC_LISTBOXW,
              WS_TABSTOP | WS_VSCROLL | (window::ScrollsSideways(range) ? DWORD{WS_HSCROLL} : 0) |
                  LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                  LBS_WANTKEYBOARDINPUT | LBS_NOTIFY,
              WS_EX_CLIENTEDGE};
    case window::Kind::kTextBox:
      return {WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case window::Kind::kButton:
    case window::Kind::kOperationButton:
      break;
  }
  return {WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, 0};
}

// Tells the window when the control gets the keyboard. Posted: on Tab, the dialog manager of
// IsDialogMessage sets the default button after the control has the keyboard, and on a click it
// does not.
LRESULT CALLBACK TellFocus(HWND control, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                           DWORD_PTR) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(control, TellFocus, id);
  } else if (message == WM_SETFOCUS) {
    PostMessageW(GetParent(control), kFocusMessage, 0, 0);
  }
  return DefSubclassProc(control, message, wparam, lparam);
}

// The hint draws what it shows, and gives it when asked for its text (WM_GETTEXT); its window
// text, which the system reads for its name without asking it, is changed only to be heard.
LRESULT CALLBACK DrawHint(HWND hint, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                          DWORD_PTR data) {
  const std::wstring& shown = *reinterpret_cast<const std::wstring*>(data);
  switch (message) {
    case WM_NCDESTROY:
      RemoveWindowSubclass(hint, DrawHint, id);
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      const HDC dc = BeginPaint(hint, &paint);
      // The colours of every label, as the static control takes them from the window.
      const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hint), WM_CTLCOLORSTATIC,
                                                               reinterpret_cast<WPARAM>(dc),
                                                               reinterpret_cast<LPARAM>(hint)));
      RECT client{};
      GetClientRect(hint, &client);
      FillRect(dc, &client, brush);
      const HGDIOBJ previous =
          SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hint, WM_GETFONT, 0, 0)));
      SetBkMode(dc, TRANSPARENT);
      DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &client,
                DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
      SelectObject(dc, previous);
      EndPaint(hint, &paint);
      return 0;
    }
    case WM_SETTEXT:
      // Its name changes, and the system tells screen readers; the static control itself would
      // draw the new text at once, over what the hint shows.
      DefWindowProcW(hint, message, wparam, lparam);
      InvalidateRect(hint, nullptr, FALSE);
      return TRUE;
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(shown.size());
    case WM_GETTEXT: {
      if (wparam == 0) {
        return 0;
      }
      const std::size_t copied = std::min<std::size_t>(shown.size(), wparam - 1);
      auto* buffer = reinterpret_cast<wchar_t*>(lparam);
      std::copy_n(shown.c_str(), copied, buffer);
      buffer[copied] = L'\0';
      return static_cast<LRESULT>(copied);
    }
    default:
      break;
  }
  return DefSubclassProc(hint, message, wparam, lparam);
}

void CreateControl(State& state, std::size_t index) {
  const window::Control& control = window::kControls[index];
  const ControlClass kind = ClassOf(control.kind, state.range);
  // A box's window text is what it holds; the list's is what it is called.
  const bool shows_text = control.kind != window::Kind::kTextBox;
  const HWND handle = CreateWindowExW(
      kind.ex_style, kind.name, shows_text ? Wide(control.text).c_str() : L"",
      WS_CHILD | WS_VISIBLE | kind.style, 0, 0, 0, 0, state.form,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + static_cast<int>(index))),
      GetModuleHandleW(nullptr), nullptr);
  state.controls[index] = handle;
  // The list says so itself (LBN_SETFOCUS), and is left as it is: a subclass costs every one of
  // its messages a look-up, and a long answer sends it one a line.
  if (control.kind != window::Kind::kLabel && control.kind != window::Kind::kList) {
    SetWindowSubclass(handle, TellFocus, 0, 0);
  }
  if (control.kind == window::Kind::kList) {
    state.results.list = handle;
  } else if (control.name == window::kHintLabel) {
    state.hint = handle;
    state.hint_text = Wide(control.text);
    state.hint_shown = state.hint_text;
    state.hint_said = state.hint_text;
    SetWindowSubclass(handle, DrawHint, 0, reinterpret_cast<DWORD_PTR>(&state.hint_shown));
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

void ShowNotice(State& state, const Outcome& outcome) {
  if (!outcome.notice) {
    return;
  }
  MessageBoxW(state.form, Wide(*outcome.notice).c_str(), Wide(window::kNoticeCaption).c_str(),
              MB_OK);
  // The keyboard goes back into the box the notice is about, its text selected, so that the
  // correction can be typed at once.
  if (outcome.operand) {
    const HWND box = state.boxes[static_cast<std::size_t>(*outcome.operand - 'A')];
    SetFocus(box);
    SendMessageW(box, EM_SETSEL, 0, -1);
  }
}

// The hint shows `text`, and no screen reader is told.
void ShowInHint(State& state, std::wstring text) {
  if (text != state.hint_shown) {
    state.hint_shown = std::move(text);
    InvalidateRect(state.hint, nullptr, FALSE);
  }
}

// A screen reader is told `text` by the hint, whose name it becomes.
void SayInHint(State& state, std::wstring text) {
  state.hint_said = std::move(text);
  SetWindowTextW(state.hint, state.hint_said.c_str());
}

// A question of the full range: its lines so far, its progress in the hint, and its end.
void Gather(State& state) {
  if (!state.question) {
    return;
  }
  const bool ended = state.question->Ended();
  state.question->TakeLines([&state] {
    state.taken.insert(state.taken.end(), std::make_move_iterator(state.store->lines.begin()),
                       std::make_move_iterator(state.store->lines.end()));
    state.store->lines.clear();
  });
  // Many lines at once go into the list a slice at a time, with the window's messages between
  // the slices: under wine a slice takes about 20 ms.
  const std::size_t slice = std::min(state.taken.size(), kSliceLines);
  if (slice > 0) {
    AppendLines(state.results, std::vector<std::string>(
                                   std::make_move_iterator(state.taken.begin()),
                                   std::make_move_iterator(state.taken.begin() +
                                                           static_cast<std::ptrdiff_t>(slice))));
    state.taken.erase(state.taken.begin(),
                      state.taken.begin() + static_cast<std::ptrdiff_t>(slice));
  }
  if (!state.taken.empty()) {
    PostMessageW(state.form, kAnswerMessage, 0, 0);
    return;
  }
  const ULONGLONG now = GetTickCount64();
  if (ended) {
    const Outcome outcome = state.question->TakeOutcome();
    state.question.reset();
    KillTimer(state.form, kFrameTimer);
    ShowInHint(state, state.hint_text);
    if (state.ticking) {
      SayInHint(state, Wide(window::kAnswerEndedStatus));
    }
    state.ticking = false;
    ShowNotice(state, outcome);
  } else if (now - state.started >= window::kFirstProgressMilliseconds &&
             (state.progress_shown == 0 ||
              now - state.progress_shown >= window::kProgressMilliseconds)) {
    state.progress_shown = now;
    const std::optional<std::string> progress = state.question->ProgressNow();
    ShowInHint(state, Wide(progress ? *progress
                                    : ProgressText({window::kWorkingProgress, {}, 0, 0},
                                                   state.question->Taken())));
    if (now - state.progress_spoken >= window::kSpokenProgressMilliseconds) {
      state.progress_spoken = now;
      SayInHint(state, state.hint_shown);
    }
  }
}

// The question is stopped and its answer left unshown, before CLEAR, INFO, EXIT or another
// operation.
void DropQuestion(State& state) {
  if (!state.question) {
    return;
  }
  state.question.reset();
  state.taken.clear();
  KillTimer(state.form, kFrameTimer);
  state.ticking = false;
  ShowInHint(state, state.hint_text);
}

void RunOperation(State& state, const OperationRow& operation) {
  DropQuestion(state);
  ClearResults(state.results);
  OperandTexts texts{Narrow(TextOf(state.boxes[0])), Narrow(TextOf(state.boxes[1])),
                     Narrow(TextOf(state.boxes[2]))};
  if (state.range == Range::kFull) {
    // Worked out beside the window: shown within the click if it ends at once, else a frame at a
    // time until its end.
    state.store = std::make_shared<jobs::StringLines>();
    const HWND form = state.form;
    state.question = std::make_unique<jobs::BackgroundQuestion>(
        operation, std::move(texts), state.range, state.store,
        [form] { PostMessageW(form, kAnswerMessage, 0, 0); });
    state.started = GetTickCount64();
    state.progress_shown = 0;
    state.progress_spoken = state.started;
    if (state.hint_said != state.hint_text) {
      SayInHint(state, state.hint_text);
    }
    state.ticking =
        !state.question->WaitFor(std::chrono::milliseconds(window::kAtOnceMilliseconds));
    if (state.ticking) {
      SetTimer(state.form, kFrameTimer, window::kFrameMilliseconds, nullptr);
    }
    Gather(state);
    return;
  }
  const Outcome outcome = RunOperation(operation, texts, state.range);
  AppendLines(state.results, outcome.lines);
  ShowNotice(state, outcome);
}

void Clear(State& state) {
  DropQuestion(state);
  ClearResults(state.results);
  for (const HWND box : state.boxes) {
    SetWindowTextW(box, L"");
  }
}

void ShowInfo(State& state) {
  DropQuestion(state);
  ClearResults(state.results);
  AppendLines(state.results,
              std::vector<std::string>(window::kInfoLines.begin(), window::kInfoLines.end()));
}

// Under each box of the full range, a label for the length of an operand that the box cannot
// show whole, as wide as the box and as tall as a line of its font.
void PlaceLengths(const State& state) {
  // The window's default font, as its operation buttons have it: "1001 characters" fits under a
  // box in it, and would not in the box's own.
  const auto small = std::find_if(
      window::kControls.begin(), window::kControls.end(), [](const window::Control& control) {
        return control.font.points == window::kDefaultFont.points && !control.font.bold;
      });
  const WPARAM font =
      SendMessageW(state.controls[static_cast<std::size_t>(small - window::kControls.begin())],
                   WM_GETFONT, 0, 0);
  for (std::size_t box = 0; box < state.boxes.size(); ++box) {
    if (state.lengths[box] == nullptr) {
      continue;
    }
    RECT place{};
    GetWindowRect(state.boxes[box], &place);
    MapWindowPoints(nullptr, state.form, reinterpret_cast<POINT*>(&place), 2);
    const HDC dc = GetDC(state.lengths[box]);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(font));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(state.lengths[box], dc);
    SetWindowPos(state.lengths[box], nullptr, place.left, place.bottom + 1,
                 place.right - place.left, metrics.tmHeight + 3, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(state.lengths[box], WM_SETFONT, font, FALSE);
  }
}

void CreateLengths(State& state) {
  for (HWND& length : state.lengths) {
    length = CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | SS_RIGHT | SS_NOPREFIX, 0, 0, 0, 0,
                             state.form, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  PlaceLengths(state);
}

// Shows the length of the operand in `box` under it where the box cannot show it whole.
void ShowLength(const State& state, std::size_t box) {
  if (state.lengths[box] == nullptr) {
    return;
  }
  const HWND edit = state.boxes[box];
  const int length = GetWindowTextLengthW(edit);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(edit, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  const HDC dc = GetDC(edit);
  const HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)));
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.c_str(), length, &extent);
  SelectObject(dc, previous);
  ReleaseDC(edit, dc);
  RECT inside{};
  GetClientRect(edit, &inside);
  if (extent.cx <= inside.right - inside.left - 8) {
    ShowWindow(state.lengths[box], SW_HIDE);
    return;
  }
  SetWindowTextW(state.lengths[box],
                 (std::to_wstring(length) + Wide(window::kOperandLengthUnit)).c_str());
  ShowWindow(state.lengths[box], SW_SHOWNOACTIVATE);
}

// The handlers of the window's messages -----------------------------------------------------------

void OnCreate(HWND form, const CREATESTRUCTW& creation) {
  auto* state = new State(form, *static_cast<const Range*>(creation.lpCreateParams));
  SetWindowLongPtrW(form, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  CreateControls(*state);
  ApplyFonts(state->look, state->controls);
  ApplyLayout(state->look, state->controls, state->results.list);
  ApplyColours(state->look, form);
  ApplyIcons(state->look, form);
  const SIZE size = FormSize(state->look.dpi, state->range);
  SetWindowPos(form, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (state->range == Range::kFull) {
    CreateLengths(*state);
  }
  state->focus = state->results.list;
}

void OnCommand(State& state, int id, int code) {
  const window::Control* control = ControlOf(id);
  if (control != nullptr && control->kind == window::Kind::kList && code == LBN_SETFOCUS) {
    PostMessageW(state.form, kFocusMessage, 0, 0);  // as TellFocus does
    return;
  }
  // Esc, which the dialog manager of IsDialogMessage sends as IDCANCEL, stops the question: its
  // answer ends with what it has established and the stopped line.
  if (control != nullptr && control->kind == window::Kind::kTextBox && code == EN_CHANGE) {
    ShowLength(state, static_cast<std::size_t>(window::OperandOf(control->name) - 'A'));
    return;
  }
  if (id == IDCANCEL) {
    if (state.question) {
      state.question->Stop();
    }
    return;
  }
  if (control == nullptr || code != BN_CLICKED) {
    return;
  }
  switch (window::ActionOf(*control)) {
    case window::Action::kOperation:
      RunOperation(state, *window::OperationOf(*control));
      break;
    case window::Action::kExit:
      DropQuestion(state);
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

// Only the button with the keyboard looks like the default one (and Enter presses it); none does
// while the keyboard is in a box or the list.
void OnFocus(const State& state) {
  const HWND focused = GetFocus();
  for (std::size_t index = 0; index < kControlCount; ++index) {
    if (!IsButton(window::kControls[index])) {
      continue;
    }
    const HWND button = state.controls[index];
    const auto style = static_cast<DWORD>(GetWindowLongW(button, GWL_STYLE));
    const DWORD type = button == focused ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if ((style & BS_TYPEMASK) != type) {
      SendMessageW(button, BM_SETSTYLE, (style & 0xFFFF & ~BS_TYPEMASK) | type, TRUE);
    }
  }
}

LRESULT OnEraseBackground(const State& state, HDC dc) {
  RECT client;
  GetClientRect(state.form, &client);
  FillRect(dc, &client, state.look.form_brush);
  return 1;
}

LRESULT OnNotify(const State& state, const NMHDR& header) {
  const window::Control* control = ControlOf(static_cast<int>(header.idFrom));
  if (header.code != NM_CUSTOMDRAW || control == nullptr || !IsButton(*control)) {
    return CDRF_DODEFAULT;
  }
  const auto& draw = reinterpret_cast<const NMCUSTOMDRAW&>(header);
  if (draw.dwDrawStage != CDDS_PREPAINT) {
    return CDRF_DODEFAULT;
  }
  DrawCaption(state.look, draw);
  return CDRF_SKIPDEFAULT;
}

bool OnContextMenu(const State& state, HWND target, POINT at) {
  if (target != state.results.list) {
    return false;
  }
  ListMenu(state.results, state.form, at);
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

// The full range's window resized: its list takes the room beyond the designed size.
void OnSize(State& state) {
  if (state.range != Range::kFull) {
    return;
  }
  RECT client{};
  GetClientRect(state.form, &client);
  const SIZE designed = ClientSize(state.look.dpi);
  const SIZE extra{std::max(0L, client.right - designed.cx),
                   std::max(0L, client.bottom - designed.cy)};
  ApplyLayout(state.look, state.controls, state.results.list, extra);
  PlaceLengths(state);
  FitWidth(state.results);
  RewrapLines(state.results);
  RedrawWindow(state.form, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// Moved to a screen of another resolution, the whole window is laid out again at its scale.
void OnDpiChanged(State& state, UINT dpi, const RECT& suggested) {
  state.look.dpi = dpi;
  ApplyFonts(state.look, state.controls);
  ApplyLayout(state.look, state.controls, state.results.list);
  FitWidth(state.results);
  RewrapLines(state.results);
  ApplyIcons(state.look, state.form);
  SetWindowPos(state.form, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawWindow(state.form, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

LRESULT CALLBACK WindowProcedure(HWND form, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CREATE) {
    OnCreate(form, *reinterpret_cast<const CREATESTRUCTW*>(lparam));
    return 0;
  }
  auto* state = reinterpret_cast<State*>(GetWindowLongPtrW(form, GWLP_USERDATA));
  if (state == nullptr) {
    return DefWindowProcW(form, message, wparam, lparam);
  }
  switch (message) {
    case WM_COMMAND:
      OnCommand(*state, LOWORD(wparam), HIWORD(wparam));
      return 0;
    case kFocusMessage:
      OnFocus(*state);
      return 0;
    case kAnswerMessage:
      Gather(*state);
      return 0;
    case WM_TIMER:
      if (wparam == kFrameTimer) {
        Gather(*state);
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return ControlColours(state->look, message, reinterpret_cast<HDC>(wparam));
    case WM_ERASEBKGND:
      return OnEraseBackground(*state, reinterpret_cast<HDC>(wparam));
    case WM_DRAWITEM:
      DrawLine(state->results, state->look, *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_NOTIFY:
      return OnNotify(*state, *reinterpret_cast<const NMHDR*>(lparam));
    case WM_VKEYTOITEM:
      return ListKey(state->results, form, LOWORD(wparam));
    case WM_CONTEXTMENU:
      if (OnContextMenu(*state, reinterpret_cast<HWND>(wparam),
                        {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)})) {
        return 0;
      }
      break;
    case WM_ACTIVATE:
      OnActivate(*state, LOWORD(wparam) != WA_INACTIVE);
      return 0;
    case WM_SIZE:
      OnSize(*state);
      return 0;
    case WM_GETMINMAXINFO: {
      const SIZE least = FormSize(state->look.dpi, state->range);
      reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = {least.cx, least.cy};
      return 0;
    }
    case WM_DPICHANGED:
      OnDpiChanged(*state, HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      ApplyColours(state->look, form);
      break;
    case WM_DESTROY:
      DropQuestion(*state);
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

HWND CreateMainWindow(HINSTANCE instance, Range range) {
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
  return CreateWindowExW(kFormExStyle, class_name.c_str(),
                         Wide(window::ChoiceOf(range).caption).c_str(), FormStyle(range),
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                         nullptr, instance, &range);
}

}  // namespace brindaq::win32
