// Drives brindaq.exe as a user does, under wine and Xvfb, and checks what it shows. Prints every
// failed check and exits with 1 if there was one.
//
//   window_driver.exe BRINDAQ.EXE ROWS         the checks, at 96 and at 144 dots per inch; ROWS is
//                                              the table of one click of every operation button
//   window_driver.exe BRINDAQ.EXE --time N     N starts: from CreateProcess to the first painted
//                                              window, in milliseconds
//   window_driver.exe BRINDAQ.EXE --show BMP [DPI]  saves a picture of the window, title bar and
//                                              all, after A = 360 and PRIME FACTORS OF A

#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>
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
  Check(rows.size() == brindaq::kOperationButtons.size(), "a row for every operation button");
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
        order.push_back(ButtonOf(program.form, window::TextOf(control)));
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
  const brindaq::OperationButton* operation = brindaq::FindCommand(row.command);
  Check(operation != nullptr, "the operation " + row.command);
  if (operation != nullptr) {
    Click(ButtonOf(program.form, operation->caption));
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

// Click, Shift+Click and Ctrl+Click select lines; Ctrl+C copies them as the core copies them; a
// right click on a line that is not selected selects it, and the menu's second entry copies all.
void CheckCopy(const Program& program, const Row& row) {
  ClickRow(program, row);
  const HWND list = ListOf(program.form);
  Check(Eventually([&] { return Lines(list) == row.lines; }), row.command + " fills the list");
  const auto copied = [&](std::vector<std::string> lines) {
    std::wstring text;
    for (const char character : brindaq::CopiedText(lines)) {
      text += character == '\n' ? L"\r\n" : std::wstring(1, static_cast<wchar_t>(character));
    }
    return text;
  };
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
  const std::wstring selected = copied({row.lines[0], row.lines[1], row.lines[2], row.lines[5]});
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
  const std::wstring all = copied(row.lines);
  Check(Eventually([&] { return Clipboard() == all; }), "Copy All copies every line");
}

// A notice, as the core words it: the list shows the outcome's lines, and OK takes the keyboard
// back to the box the notice is about, with its text selected.
void CheckNotice(const Program& program) {
  const Row row{"primes", {"1", "2.5", ""}, {}};
  const brindaq::OperationButton& operation = *brindaq::FindCommand(row.command);
  const brindaq::Outcome outcome =
      operation.run({row.operands[0], row.operands[1], row.operands[2]});
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

int Show(const std::wstring& path, const std::wstring& file, DWORD dpi) {
  SetLogPixels(dpi);
  Program program = Start(path);
  SetLogPixels(USER_DEFAULT_SCREEN_DPI);
  if (program.form == nullptr) {
    return 1;
  }
  const HWND box_a = BoxOf(program.form, window::kOperandBoxes[0]);
  Click(box_a);
  Eventually([&] { return Focus(program) == box_a; });
  Type(L"360");
  Click(ButtonOf(program.form, "PRIME FACTORS OF A"));
  Eventually([&] { return SendMessageW(ListOf(program.form), LB_GETCOUNT, 0, 0) == 6; });
  std::this_thread::sleep_for(500ms);  // the list painted
  const bool saved = SavePicture(program.form, file);
  Click(ButtonOf(program.form, "EXIT"));
  Ends(program);
  return saved ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: window_driver.exe BRINDAQ.EXE ROWS | --time N | --show BMP [DPI]\n");
    return 2;
  }
  // Sizes in pixels of the screen, as the window has them.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  const std::wstring path = argv[1];
  const std::wstring mode = argv[2];
  if (mode == L"--time") {
    return TimeStarts(path, argc > 3 ? _wtoi(argv[3]) : 11);
  }
  if (mode == L"--show" && argc > 3) {
    return Show(path, argv[3],
                argc > 4 ? static_cast<DWORD>(_wtoi(argv[4])) : USER_DEFAULT_SCREEN_DPI);
  }
  return RunChecks(path, mode);
}
