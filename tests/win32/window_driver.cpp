// Drives brindaq.exe as a user does, under wine and Xvfb, and checks what it shows. Prints every
// failed check and exits with 1 if there was one.
//
//   window_driver.exe BRINDAQ.EXE ROWS         the checks, at 96 and at 144 dots per inch; ROWS is
//                                              the table of one click of every operation button
//   window_driver.exe BRINDAQ.EXE --time N     N starts: from CreateProcess to the first painted
//                                              window, in milliseconds
//   window_driver.exe BRINDAQ.EXE --show BMP [DPI]  saves a picture of the window, title bar and
//                                              all, after A = 360 and PRIME FACTORS OF A
//   window_driver.exe BRINDAQ.EXE --show-full-range BMP [DPI]  the same on the full range,
//                                              after A = 10003628061488344205 and A = x^2 + y^2,
//                                              the list scrolled to the end of its lines
//   window_driver.exe BRINDAQ.EXE --long-work S  on the full range, a question of minutes: the
//                                              click to the first progress, the longest answer
//                                              to a message during S seconds, Esc to the answer
//   window_driver.exe BRINDAQ.EXE --show-long-work BMP BMP  pictures of that question at 2.5 s
//                                              and of a line of a thousand digits
//   window_driver.exe BRINDAQ.EXE --fill N     on the full range, A = 9699690 and GOLDBACH (A)
//                                              N times: from the click to the list holding every
//                                              line, in milliseconds

#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "core/operations.h"
#include "core/window.h"
#include "driver.h"
#include "layout_checks.h"

namespace {

using namespace driver;
namespace window = brindaq::window;
using namespace std::chrono_literals;

// One click of an operation button: its command, the texts of A, B and C, and every line that
// the list then shows.
struct Row {
  std::string command;
  std::array<std::string, 3> operands;
  std::vector<std::string> lines;
};

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
    fields.push_back(line.substr(start, tab - start));
  }
  fields.push_back(line.substr(start));
  return fields;
}

std::vector<Row> ReadRows(const std::wstring& path) {
  std::vector<Row> rows;
  FILE* file = _wfopen(path.c_str(), L"rb");
  Check(file != nullptr, "the rows can be read: " + Narrow(path));
  if (file == nullptr) {
    return rows;
  }
  std::string text;
  char buffer[4096];
  for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
    text.append(buffer, read);
  }
  std::fclose(file);
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = text.substr(start, end - start);
    if (line.empty() || line[0] == '#') {
      continue;
    }
    const std::vector<std::string> fields = Fields(line);
    Check(fields.size() >= 4, "a row has a command and three operands: " + line);
    if (fields.size() >= 4) {
      rows.push_back(
          {fields[0], {fields[1], fields[2], fields[3]}, {fields.begin() + 4, fields.end()}});
    }
  }
  Check(rows.size() == brindaq::kOperations.size(), "a row for every operation button");
  return rows;
}

std::string Names(const std::vector<HWND>& controls) {
  std::string names;
  for (const HWND control : controls) {
    names += (names.empty() ? "" : ", ") + Narrow(TextOf(control));
  }
  return names.empty() ? "none" : names;
}

// The buttons that look like the default one, and those that have the keyboard.
std::vector<HWND> DefaultButtons(HWND form) {
  std::vector<HWND> buttons;
  for (const HWND child : Children(form)) {
    if (lstrcmpiW(ClassOf(child).c_str(), L"Button") == 0 &&
        (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
      buttons.push_back(child);
    }
  }
  return buttons;
}

std::vector<HWND> FocusedButtons(HWND form) {
  std::vector<HWND> buttons;
  for (const HWND child : Children(form)) {
    if (lstrcmpiW(ClassOf(child).c_str(), L"Button") == 0 &&
        (SendMessageW(child, BM_GETSTATE, 0, 0) & BST_FOCUS) != 0) {
      buttons.push_back(child);
    }
  }
  return buttons;
}

// The button with the keyboard, and it alone, looks like the default one; with the keyboard in a
// box or the list, none does.
void CheckDefaultButton(const Program& program, const std::string& after) {
  const HWND focus = Focus(program);
  const std::vector<HWND> expected = lstrcmpiW(ClassOf(focus).c_str(), L"Button") == 0
                                         ? std::vector<HWND>{focus}
                                         : std::vector<HWND>{};
  Check(Eventually([&] {
          return DefaultButtons(program.form) == expected &&
                 FocusedButtons(program.form) == expected;
        }),
        "after " + after + ", the default button: " + Names(DefaultButtons(program.form)) +
            "; with the keyboard: " + Names(FocusedButtons(program.form)) + "; expected " +
            Names(expected));
}

// Tab goes through the list, the boxes and the buttons in the description's order, and round.
void CheckTabOrder(const Program& program) {
  std::vector<HWND> order;
  for (const window::Control& control : window::kControls) {
    switch (control.kind) {
      case window::Kind::kList:
        order.push_back(ListOf(program.form));
        break;
      case window::Kind::kTextBox:
        order.push_back(BoxOf(program.form, control.name));
        break;
      case window::Kind::kButton:
      case window::Kind::kOperationButton:
        order.push_back(ButtonOf(program.form, control.text));
        break;
      case window::Kind::kLabel:
        break;
    }
  }
  Check(Eventually([&] { return Focus(program) == order.front(); }),
        "the list has the keyboard first");
  for (std::size_t step = 1; step <= order.size(); ++step) {
    Press(VK_TAB);
    const HWND expected = order[step % order.size()];
    const std::string name = Narrow(TextOf(expected));
    Check(Eventually([&] { return Focus(program) == expected; }),
          "Tab number " + std::to_string(step) + " goes to " + name);
    CheckDefaultButton(program, "Tab to " + name);
  }
  Press(VK_TAB, {VK_SHIFT});
  Check(Eventually([&] { return Focus(program) == order.back(); }), "Shift+Tab goes back");
  Press(VK_TAB);
}

void TypeInto(const Program& program, HWND box, const std::string& text) {
  Click(box);
  Check(Eventually([&] { return Focus(program) == box; }), "a click takes the keyboard to a box");
  Type(Wide(text));
  Check(Eventually([&] { return TextOf(box) == Wide(text); }), text + " is typed");
}

// CLEAR, the row's operands typed into their boxes, a click on the row's button.
void ClickRow(const Program& program, const Row& row) {
  Click(ButtonOf(program.form, "CLEAR"));
  Check(Eventually([&] { return Lines(ListOf(program.form)).empty(); }), "CLEAR empties the list");
  for (std::size_t index = 0; index < row.operands.size(); ++index) {
    if (!row.operands[index].empty()) {
      TypeInto(program, BoxOf(program.form, window::kOperandBoxes[index]), row.operands[index]);
    }
  }
  const window::Control* button = window::ButtonOf(row.command);
  Check(button != nullptr, "the operation " + row.command);
  if (button != nullptr) {
    Click(ButtonOf(program.form, button->text));
  }
}

// Every button once: the list shows the row's lines, whole, and its button alone looks like the
// default one.
void CheckEveryButton(const Program& program, const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    ClickRow(program, row);
    const HWND list = ListOf(program.form);
    const bool shown = Eventually([&] { return Lines(list) == row.lines; });
    std::string lines;
    for (const std::string& line : Lines(list)) {
      lines += "\n  [" + line + "]";
    }
    Check(shown, row.command + " shows its lines; it shows:" + lines);
    if (const HWND notice = FindWindowW(L"#32770", nullptr); notice != nullptr) {
      Check(false, row.command + " shows no notice");
      PostMessageW(notice, WM_COMMAND, IDOK, 0);
    }
    CheckDefaultButton(program, "a click on " + row.command);
  }
}

// Lines as the core copies them, as the clipboard then holds them.
std::wstring Copied(const std::vector<std::string>& lines) {
  std::wstring text;
  for (const char character : brindaq::CopiedText(lines)) {
    text += character == '\n' ? L"\r\n" : std::wstring(1, static_cast<wchar_t>(character));
  }
  return text;
}

// Click, Shift+Click and Ctrl+Click select lines; Ctrl+C copies them as the core copies them; a
// right click on a line that is not selected selects it, and the menu's second entry copies all.
void CheckCopy(const Program& program, const Row& row) {
  ClickRow(program, row);
  const HWND list = ListOf(program.form);
  Check(Eventually([&] { return Lines(list) == row.lines; }), row.command + " fills the list");
  Click(list, 0, LinePoint(list, 0));
  Check(Eventually([&] { return SelectedRows(list) == std::vector<int>{0}; }),
        "a click selects line 1");
  Click(list, MK_SHIFT, LinePoint(list, 2));
  Check(Eventually([&] {
          return SelectedRows(list) == std::vector<int>{0, 1, 2};
        }),
        "Shift+Click selects lines 1 to 3");
  Click(list, MK_CONTROL, LinePoint(list, 5));
  Check(Eventually([&] {
          return SelectedRows(list) == std::vector<int>{0, 1, 2, 5};
        }),
        "Ctrl+Click adds line 6");
  CheckDefaultButton(program, "a click in the list");
  EmptyTheClipboard();
  Press('C', {VK_CONTROL});
  const std::wstring selected = Copied({row.lines[0], row.lines[1], row.lines[2], row.lines[5]});
  Check(Eventually([&] { return Clipboard() == selected; }), "Ctrl+C copies them");

  EmptyTheClipboard();
  Click(list, 0, LinePoint(list, 3), true);
  Check(Eventually([&] { return SelectedRows(list) == std::vector<int>{3}; }),
        "a right click selects its line");
  Check(Eventually([] { return FindWindowW(L"#32768", nullptr) != nullptr; }),
        "the context menu opens");
  Press(VK_DOWN);
  Press(VK_DOWN);
  Press(VK_RETURN);
  const std::wstring all = Copied(row.lines);
  Check(Eventually([&] { return Clipboard() == all; }), "Copy All copies every line");
}

// A notice, as the core words it: the list shows the outcome's lines, and OK takes the keyboard
// back to the box the notice is about, with its text selected.
void CheckNotice(const Program& program) {
  const Row row{"primes", {"1", "2.5", ""}, {}};
  const brindaq::OperationRow& operation = *brindaq::FindCommand(row.command);
  const brindaq::Outcome outcome = brindaq::RunOperation(
      operation, {row.operands[0], row.operands[1], row.operands[2]}, brindaq::Range::kWindow);
  Check(outcome.notice.has_value() && outcome.operand == 'B', "the core has a notice about B");
  ClickRow(program, row);
  const HWND notice = NoticeOf(program);
  Check(notice != nullptr, "a notice titled \"brindaq\"");
  if (notice == nullptr || !outcome.notice || !outcome.operand) {
    return;
  }
  const HWND box = BoxOf(program.form, window::kOperandBoxes[*outcome.operand - 'A']);
  Check(TextOf(GetDlgItem(notice, 0xFFFF)) == Wide(*outcome.notice), "the notice's text");
  Check(Lines(ListOf(program.form)) == outcome.lines, "the list under a notice");
  Check(Eventually([&] { return GetParent(Focus(program)) == notice; }),
        "the notice has the keyboard");
  Press(VK_RETURN);
  Check(Eventually([&] { return !IsWindow(notice); }), "OK closes the notice");
  Check(Eventually([&] { return Focus(program) == box; }), "the keyboard is back in B");
  DWORD from = 1;
  DWORD to = 0;
  SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  Check(from == 0 && to == row.operands[1].size(), "B's text is selected");
  CheckDefaultButton(program, "the notice");
}

// The default button's frame after the keyboard has moved by Tab and by clicks.
void CheckDefaultAfterClicks(const Program& program) {
  const HWND list = ListOf(program.form);
  const HWND box_a = BoxOf(program.form, window::kOperandBoxes[0]);
  const HWND box_c = BoxOf(program.form, window::kOperandBoxes[2]);
  Click(box_c);
  Press(VK_TAB);
  Check(Eventually([&] { return Focus(program) == ButtonOf(program.form, "EXIT"); }),
        "Tab from C goes to EXIT");
  CheckDefaultButton(program, "Tab to EXIT");
  Click(ButtonOf(program.form, "INFO"));
  CheckDefaultButton(program, "Tab to EXIT and a click on INFO");
  Click(box_a);
  CheckDefaultButton(program, "a click on INFO and one in A");
  Click(box_c);
  Press(VK_TAB);
  Click(list, 0, LinePoint(list, 0));
  CheckDefaultButton(program, "Tab to EXIT and a click in the list");
}

bool ScrollsSideways(HWND list) {
  return (GetWindowLongW(list, GWL_STYLE) & WS_HSCROLL) != 0;
}

// The ink of one line of the list, inside the dotted frame that marks the line with the caret.
RECT InkOfRow(HWND list, int row) {
  RECT client{};
  GetClientRect(list, &client);
  const int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  const int top = (row - static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0))) * height;
  return InkOf(list, RECT{1, top + 1, client.right - 1, top + height - 1});
}

// On the full range, the title bar says so (Start finds the window by it), and every operation
// button runs its operation there: a prime of 20 digits is one. The widest answer scrolls
// sideways: the list shows a horizontal scroll bar and scrolls as far as its widest line
// reaches; Ctrl+Right shows that line's end, and Left, a step at a time, brings it back to its
// start; Ctrl+C copies the line whole.
void CheckFullRange(const std::wstring& path) {
  Program program = Start(path, brindaq::Range::kFull);
  if (program.form == nullptr) {
    return;
  }
  const HWND list = ListOf(program.form);
  const Row prime{"is-prime", {"18446744073709551557", "", ""}, {" A IS A PRIME NUMBER!"}};
  ClickRow(program, prime);
  Check(Eventually([&] { return Lines(list) == prime.lines; }),
        "18446744073709551557 is a prime on the full range");

  const brindaq::OperandTexts texts{"10003628061488344205", "", ""};
  const std::vector<std::string> lines =
      brindaq::RunOperation(*brindaq::FindCommand("two-squares"), texts, brindaq::Range::kFull)
          .lines;
  ClickRow(program, {"two-squares", {texts.a, texts.b, texts.c}, {}});
  Check(
      Eventually([&] {
        return SendMessageW(list, LB_GETCOUNT, 0, 0) == static_cast<LRESULT>(lines.size());
      }) &&
          Lines(list) == lines,
      "A = x^2 + y^2 of 10003628061488344205 shows its " + std::to_string(lines.size()) + " lines");
  Check(ScrollsSideways(list), "the list shows a horizontal scroll bar");

  // The widest line: the longest, as the lines differ only in their digits, which are all as
  // wide.
  const auto widest =
      static_cast<int>(std::max_element(lines.begin(), lines.end(),
                                        [](const std::string& a, const std::string& b) {
                                          return a.size() < b.size();
                                        }) -
                       lines.begin());
  constexpr int kMargin = 2;
  RECT client{};
  GetClientRect(list, &client);
  Check(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0) > client.right,
        "the list scrolls further than it is wide");

  SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(widest), 0);
  const int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
  Click(list, 0, LinePoint(list, widest - top));
  Check(Eventually([&] { return SelectedRows(list) == std::vector<int>{widest}; }),
        "a click selects the widest line");
  const RECT start = InkOfRow(list, widest);
  Check(start.right == client.right - 1, "at first the widest line runs past the list's edge");
  EmptyTheClipboard();
  Press('C', {VK_CONTROL});
  const std::wstring copied = Copied({lines[static_cast<std::size_t>(widest)]});
  Check(Eventually([&] { return Clipboard() == copied; }), "Ctrl+C copies the widest line whole");

  Press(VK_RIGHT, {VK_CONTROL});
  RECT end{};
  const bool shown = Eventually([&] {
    end = InkOfRow(list, widest);
    return end.right < client.right - 1 && end.right >= client.right - 2 * kMargin - 1;
  });
  Check(shown, "Ctrl+Right shows the widest line's end at the list's edge: its ink ends at " +
                   std::to_string(end.right) + " in " + std::to_string(client.right));

  int presses = 0;
  for (RECT shifted = end; EqualRect(&shifted, &start) == FALSE && presses < 100; ++presses) {
    Press(VK_LEFT);
    std::this_thread::sleep_for(50ms);  // the list painted
    shifted = InkOfRow(list, widest);
  }
  Check(presses > 1 && presses < 100,
        "Left, a step at a time, brings the lines back to their start");
  Check(SelectedRows(list) == std::vector<int>{widest}, "scrolling sideways keeps the selection");

  // An operand longer than its box shows has its length shown under the box.
  SetWindowTextW(BoxOf(program.form, window::kOperandBoxes[0]), std::wstring(300, L'7').c_str());
  Check(Eventually([&] {
          const HWND length = ChildOf(program.form, L"Static", L"300 characters");
          return length != nullptr && IsWindowVisible(length);
        }),
        "the length of a long operand is shown under its box");

  // A larger window gives its room to the list, and EXIT moves down with it.
  RECT form_before{};
  RECT list_before{};
  RECT exit_before{};
  GetWindowRect(program.form, &form_before);
  GetWindowRect(list, &list_before);
  GetWindowRect(ButtonOf(program.form, "EXIT"), &exit_before);
  SetWindowPos(program.form, nullptr, 0, 0, form_before.right - form_before.left + 200,
               form_before.bottom - form_before.top + 100, SWP_NOMOVE | SWP_NOZORDER);
  Check(Eventually([&] {
          RECT after{};
          GetWindowRect(list, &after);
          return after.right - after.left == list_before.right - list_before.left + 200 &&
                 after.bottom - after.top == list_before.bottom - list_before.top + 100;
        }),
        "the list takes the room of a larger window");
  RECT exit_after{};
  GetWindowRect(ButtonOf(program.form, "EXIT"), &exit_after);
  Check(exit_after.top - exit_before.top == (exit_before.top >= list_before.bottom ? 100 : 0),
        "what stands below the list moves down with it");

  Click(ButtonOf(program.form, "EXIT"));
  Check(Ends(program), "EXIT ends the program on the full range");
}

// The window text of `control`, its name to a screen reader: kept by the system, which sends
// another process's window no WM_GETTEXT for it.
std::string NameOf(HWND control) {
  wchar_t text[512] = {};
  GetWindowTextW(control, text, 512);
  return Narrow(text);
}

// A question of the full range that runs for minutes (the factors of a product of two primes of
// 36 digits): the hint shows its progress instead of its text, Esc stops it and leaves the
// stopped answer, CLEAR stops it and leaves nothing, EXIT ends the program while it runs.
void CheckLongWork(const std::wstring& path) {
  Program program = Start(path, brindaq::Range::kFull);
  if (program.form == nullptr) {
    return;
  }
  const auto label5 = std::find_if(window::kControls.begin(), window::kControls.end(),
                                   [](const window::Control& c) { return c.name == "Label5"; });
  const std::string hint_text(label5->text);
  const HWND hint = ChildOf(program.form, L"Static", Wide(hint_text));
  const HWND list = ListOf(program.form);
  const std::string product =
      "85516261388813581694728883147391667963233204428194945495614616496002931";
  const Row factors{"factors", {product, "", ""}, {}};
  const auto progress_shows = [&] {
    return Eventually([&] {
      const std::string text = Narrow(TextOf(hint));
      return text != hint_text && text.ends_with(" s");
    });
  };
  ClickRow(program, factors);
  Check(progress_shows(), "the hint shows the progress of a long question");
  // A screen reader is told the progress (the hint's name) every few seconds, not each time the
  // hint shows it anew: its changes, read every 10 ms (wine passes on no event for them).
  int changes = 0;
  std::string name = NameOf(hint);
  const auto until = std::chrono::steady_clock::now() + 6500ms;
  while (std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(10ms);
    changes += std::exchange(name, NameOf(hint)) != name ? 1 : 0;
  }
  Check(changes >= 1 && changes <= 3, "the progress is told every few seconds, not " +
                                          std::to_string(changes) + " times in 6.5 s");
  Check(NameOf(hint).ends_with(" s"), "the hint's name is the progress");
  Press(VK_ESCAPE);
  const std::vector<std::string> stopped{" NOT YET SPLIT =  " + product, brindaq::kStoppedLine};
  Check(Eventually([&] { return Lines(list) == stopped; }), "Esc leaves the stopped answer");
  Check(Eventually([&] { return Narrow(TextOf(hint)) == hint_text; }), "the hint comes back");
  Check(NameOf(hint) == window::kAnswerEndedStatus, "a screen reader hears the end of the answer");

  ClickRow(program, factors);
  Check(progress_shows(), "the question is asked again");
  Click(ButtonOf(program.form, "CLEAR"));
  Check(Eventually([&] { return Narrow(TextOf(hint)) == hint_text; }) && Lines(list).empty(),
        "CLEAR stops the question and leaves nothing of it");

  // 7^5000 mod 10^1000: a line of a thousand digits on rows as wide as the list, every row after
  // the first indented; Ctrl+C copies it whole. (The operands are set, not typed: a thousand
  // keys take long under wine.)
  const std::string modulus = "1" + std::string(1000, '0');
  const std::vector<std::string> power =
      brindaq::RunOperation(*brindaq::FindCommand("power-mod"), {"7", "5000", modulus},
                            brindaq::Range::kFull)
          .lines;
  const std::array<std::string, 3> operands{"7", "5000", modulus};
  for (std::size_t index = 0; index < operands.size(); ++index) {
    SendMessageW(BoxOf(program.form, window::kOperandBoxes[index]), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(Wide(operands[index]).c_str()));
  }
  Click(ButtonOf(program.form, "A^B MOD. C"));
  const std::string indent(window::kContinuationIndent, ' ');
  std::vector<std::string> rows;
  Check(Eventually([&] {
          rows = Lines(list);
          return rows.size() > 1;
        }),
        "a line of a thousand digits goes on several rows");
  std::string joined = rows.empty() ? std::string() : rows.front();
  for (std::size_t row = 1; row < rows.size(); ++row) {
    Check(rows[row].starts_with(indent), "a row after the first is indented");
    joined += rows[row].substr(std::min(indent.size(), rows[row].size()));
  }
  Check(power.size() == 1 && joined == power.front(), "the rows hold the line, in order");
  Check(!ScrollsSideways(list), "the rows of a long line need no scrolling sideways");
  Click(list, 0, LinePoint(list, 0));
  Press('A', {VK_CONTROL});
  EmptyTheClipboard();
  Press('C', {VK_CONTROL});
  Check(Eventually([&] { return Clipboard() == Copied(power); }),
        "Ctrl+C copies the long line whole, on one line");
  // Its rows follow the list's width, in a wider window and back at the first size.
  RECT form{};
  GetWindowRect(program.form, &form);
  for (const int wider : {300, 0}) {
    SetWindowPos(program.form, nullptr, 0, 0, form.right - form.left + wider,
                 form.bottom - form.top, SWP_NOMOVE | SWP_NOZORDER);
    Check(Eventually([&] { return (Lines(list).size() < rows.size()) == (wider > 0); }) &&
              !ScrollsSideways(list),
          "the rows of a long line are as wide as the list, resized");
  }
  Check(Lines(list) == rows, "the same rows at the first size");
  ClickRow(program, factors);
  Check(progress_shows(), "the question is asked once more");
  Click(ButtonOf(program.form, "EXIT"));
  Check(Ends(program), "EXIT ends the program while a question runs");
}

int RunChecks(const std::wstring& path, const std::wstring& rows_file) {
  const std::vector<Row> rows = ReadRows(rows_file);
  SetLogPixels(USER_DEFAULT_SCREEN_DPI);
  Program program = Start(path);
  if (program.form == nullptr) {
    return 1;
  }
  const Geometry normal = GeometryOf(program);
  Check(normal.client.right == window::kClientWidth / window::kTwipsPerPixel &&
            normal.client.bottom == window::kClientHeight / window::kTwipsPerPixel,
        "the client area is 552 by 568 pixels");
  for (const window::LabelFor& pair : window::kOperandLabels) {
    const HWND box = BoxOf(program.form, pair.box);
    Check(box != nullptr && lstrcmpiW(ClassOf(box).c_str(), L"Edit") == 0,
          std::string(pair.box) + " comes right after its label");
  }
  CheckTextsFit(program, USER_DEFAULT_SCREEN_DPI);
  CheckTabOrder(program);
  CheckEveryButton(program, rows);
  Check(!ScrollsSideways(ListOf(program.form)) &&
            SendMessageW(ListOf(program.form), LB_GETHORIZONTALEXTENT, 0, 0) == 0,
        "on the window's range the list does not scroll sideways");
  const auto longest = std::max_element(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
    return a.lines.size() < b.lines.size();
  });
  Check(longest != rows.end() && longest->lines.size() >= 6, "a row of six lines or more");
  if (longest != rows.end() && longest->lines.size() >= 6) {
    CheckCopy(program, *longest);
  }
  CheckNotice(program);
  CheckDefaultAfterClicks(program);

  // INFO shows the program's lines; CLEAR empties the list and the boxes.
  const HWND list = ListOf(program.form);
  Click(ButtonOf(program.form, "INFO"));
  const std::vector<std::string> info(window::kInfoLines.begin(), window::kInfoLines.end());
  Check(Eventually([&] { return Lines(list) == info; }), "INFO shows the program's lines");
  Click(ButtonOf(program.form, "CLEAR"));
  Check(Eventually([&] {
          return Lines(list).empty() && TextOf(BoxOf(program.form, "Text1")).empty() &&
                 TextOf(BoxOf(program.form, "Text2")).empty();
        }),
        "CLEAR empties the list and the boxes");

  Click(ButtonOf(program.form, "EXIT"));
  Check(Ends(program), "EXIT ends the program with status 0");

  SetLogPixels(USER_DEFAULT_SCREEN_DPI * 3 / 2);
  Program scaled = Start(path);
  if (scaled.form != nullptr) {
    CheckScaled(normal, GeometryOf(scaled));
    CheckTextsFit(scaled, USER_DEFAULT_SCREEN_DPI * 3 / 2);
    Click(ButtonOf(scaled.form, "EXIT"));
    Check(Ends(scaled), "EXIT ends the program at 144 dpi");
  }
  SetLogPixels(USER_DEFAULT_SCREEN_DPI);
  CheckFullRange(path);
  CheckLongWork(path);
  std::printf("%d failed\n", Failures());
  return Failures() == 0 ? 0 : 1;
}

int TimeStarts(const std::wstring& path, int count) {
  std::vector<double> times;
  for (int run = 0; run < count; ++run) {
    Program program = Start(path);
    times.push_back(program.start_ms);
    std::printf("start to first painted window: %.0f ms\n", program.start_ms);
    PostMessageW(program.form, WM_CLOSE, 0, 0);
    Ends(program);
  }
  std::sort(times.begin(), times.end());
  std::printf("median of %d: %.0f ms\n", count, times[times.size() / 2]);
  return 0;
}

int TimeFill(const std::wstring& path, int count) {
  const brindaq::OperationRow& goldbach = *brindaq::FindCommand("goldbach");
  const brindaq::OperandTexts texts{"9699690", "", ""};
  const auto begin = std::chrono::steady_clock::now();
  const auto lines = static_cast<LRESULT>(
      brindaq::RunOperation(goldbach, texts, brindaq::Range::kFull).lines.size());
  std::printf(
      "the core's answer alone: %.0f ms, %ld lines\n",
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count(),
      static_cast<long>(lines));
  Program program = Start(path, brindaq::Range::kFull);
  if (program.form == nullptr) {
    return 1;
  }
  const HWND list = ListOf(program.form);
  TypeInto(program, BoxOf(program.form, window::kOperandBoxes[0]), texts.a);
  std::vector<double> times;
  for (int run = 0; run < count; ++run) {
    Click(ButtonOf(program.form, "INFO"));
    Eventually([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 5; });
    const auto click = std::chrono::steady_clock::now();
    Click(ButtonOf(program.form, window::ButtonOf(goldbach.command)->text));
    // The window answers no message until it has filled the list.
    while (SendMessageW(list, LB_GETCOUNT, 0, 0) != lines) {
      std::this_thread::sleep_for(1ms);
    }
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - click)
            .count());
    std::printf("click to %ld lines in the list: %.0f ms\n", static_cast<long>(lines),
                times.back());
  }
  Click(ButtonOf(program.form, "EXIT"));
  Ends(program);
  std::sort(times.begin(), times.end());
  std::printf("median of %d: %.0f ms\n", count, times[times.size() / 2]);
  return 0;
}

int Show(const std::wstring& path, const std::wstring& file, DWORD dpi, brindaq::Range range) {
  SetLogPixels(dpi);
  Program program = Start(path, range);
  SetLogPixels(USER_DEFAULT_SCREEN_DPI);
  if (program.form == nullptr) {
    return 1;
  }
  const bool full = range == brindaq::Range::kFull;
  const HWND list = ListOf(program.form);
  TypeInto(program, BoxOf(program.form, window::kOperandBoxes[0]),
           full ? "10003628061488344205" : "360");
  Click(ButtonOf(program.form, full ? "A = x^2 + y^2" : "PRIME FACTORS OF A"));
  Eventually([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) >= 6; });
  if (full) {
    Click(list, 0, LinePoint(list, 0));
    Press(VK_RIGHT, {VK_CONTROL});
  }
  std::this_thread::sleep_for(500ms);  // the list painted
  const bool saved = SavePicture(program.form, file);
  Click(ButtonOf(program.form, "EXIT"));
  Ends(program);
  return saved ? 0 : 1;
}

// The long question of CheckLongWork on a window of the full range: its operands set, its button
// clicked.
void AskLongQuestion(const Program& program) {
  SendMessageW(BoxOf(program.form, window::kOperandBoxes[0]), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(
                   L"85516261388813581694728883147391667963233204428194945495614616496002931"));
  Click(ButtonOf(program.form, "PRIME FACTORS OF A"));
}

// The click to the first progress in the hint; the longest time that the window took to answer
// a message (sent every 5 ms) while the question ran for `seconds`; Esc to the stopped answer.
int TimeLongWork(const std::wstring& path, int seconds) {
  Program program = Start(path, brindaq::Range::kFull);
  if (program.form == nullptr) {
    return 1;
  }
  const HWND hint = ChildOf(program.form, L"Static",
                            Wide("For large numbers, wait for the end of calculation !"));
  const std::wstring hint_text = TextOf(hint);
  const HWND list = ListOf(program.form);
  using Clock = std::chrono::steady_clock;
  const auto milliseconds = [](Clock::duration time) {
    return std::chrono::duration<double, std::milli>(time).count();
  };
  const Clock::time_point clicked = Clock::now();
  AskLongQuestion(program);
  double first = -1, longest = 0;
  while (Clock::now() - clicked < std::chrono::seconds(seconds)) {
    const Clock::time_point asked = Clock::now();
    DWORD_PTR result = 0;
    SendMessageTimeoutW(program.form, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
    longest = std::max(longest, milliseconds(Clock::now() - asked));
    if (first < 0 && TextOf(hint) != hint_text) {
      first = milliseconds(Clock::now() - clicked);
      std::printf("click to first progress: %.0f ms (%s)\n", first, Narrow(TextOf(hint)).c_str());
    }
    std::this_thread::sleep_for(5ms);
  }
  std::printf("after %d s: %s; longest answer to a message: %.0f ms\n", seconds,
              Narrow(TextOf(hint)).c_str(), longest);
  const Clock::time_point escape = Clock::now();
  Press(VK_ESCAPE);
  Eventually([&] {
    const std::vector<std::string> lines = Lines(list);
    return !lines.empty() && lines.back() == brindaq::kStoppedLine;
  });
  std::printf("Esc to the stopped answer: %.0f ms\n", milliseconds(Clock::now() - escape));
  Click(ButtonOf(program.form, "EXIT"));
  Ends(program);
  return 0;
}

// Pictures of the full range: the long question 2.5 s after its click, and a line of a thousand
// digits (7^5000 mod 10^1000) on several rows.
int ShowLongWork(const std::wstring& path, const std::wstring& during, const std::wstring& rows) {
  Program program = Start(path, brindaq::Range::kFull);
  if (program.form == nullptr) {
    return 1;
  }
  AskLongQuestion(program);
  std::this_thread::sleep_for(2500ms);
  bool saved = SavePicture(program.form, during);
  Click(ButtonOf(program.form, "CLEAR"));
  const std::array<std::string, 3> operands{"7", "5000", "1" + std::string(1000, '0')};
  for (std::size_t index = 0; index < operands.size(); ++index) {
    SendMessageW(BoxOf(program.form, window::kOperandBoxes[index]), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(Wide(operands[index]).c_str()));
  }
  Click(ButtonOf(program.form, "A^B MOD. C"));
  Eventually([&] { return SendMessageW(ListOf(program.form), LB_GETCOUNT, 0, 0) > 1; });
  std::this_thread::sleep_for(500ms);  // the list painted
  saved = SavePicture(program.form, rows) && saved;
  Click(ButtonOf(program.form, "EXIT"));
  Ends(program);
  return saved ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: window_driver.exe BRINDAQ.EXE ROWS | --time N | --fill N | --show BMP "
                 "[DPI] | --show-full-range BMP [DPI] | --long-work S | --show-long-work BMP "
                 "BMP\n");
    return 2;
  }
  // Sizes in pixels of the screen, as the window has them.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  const std::wstring path = argv[1];
  const std::wstring mode = argv[2];
  if (mode == L"--time") {
    return TimeStarts(path, argc > 3 ? _wtoi(argv[3]) : 11);
  }
  if (mode == L"--long-work") {
    return TimeLongWork(path, _wtoi(argv[3]));
  }
  if (mode == L"--show-long-work" && argc > 4) {
    return ShowLongWork(path, argv[3], argv[4]);
  }
  if (mode == L"--fill") {
    return TimeFill(path, argc > 3 ? _wtoi(argv[3]) : 5);
  }
  if ((mode == L"--show" || mode == L"--show-full-range") && argc > 3) {
    return Show(path, argv[3],
                argc > 4 ? static_cast<DWORD>(_wtoi(argv[4])) : USER_DEFAULT_SCREEN_DPI,
                mode == L"--show" ? brindaq::Range::kWindow : brindaq::Range::kFull);
  }
  return RunChecks(path, mode);
}
