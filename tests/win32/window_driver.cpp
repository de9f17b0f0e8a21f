// Drives brindaq.exe as a user does, under wine and Xvfb: keys go in through SendInput, clicks as
// the messages that a click sends, and what the window shows is read back by messages. Prints every
// failed check and exits with 1 if there was one.
//
//   window_driver.exe BRINDAQ.EXE              the checks, at 96 and at 144 dots per inch
//   window_driver.exe BRINDAQ.EXE --time N     N starts: from CreateProcess to the first painted
//                                              window, in milliseconds
//   window_driver.exe BRINDAQ.EXE --show BMP   saves a picture of the window, title bar and all,
//                                              after A = 360 and PRIME FACTORS OF A

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/window.h"

namespace {

namespace window = brindaq::window;
using namespace std::chrono_literals;

int failures = 0;

void Check(bool passed, const std::string& what) {
  if (!passed) {
    std::fprintf(stderr, "FAILED: %s\n", what.c_str());
    ++failures;
  }
}

// Waits for a condition that the window reaches in its own time.
bool Eventually(const std::function<bool()>& condition) {
  const auto end = std::chrono::steady_clock::now() + 10s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) {
      return false;
    }
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

std::wstring Wide(std::string_view text) {
  return std::wstring(text.begin(), text.end());  // the window's texts are ASCII
}

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (const wchar_t character : text) {
    narrow += character < 0x80 ? static_cast<char>(character) : '?';
  }
  return narrow;
}

std::wstring ClassOf(HWND handle) {
  wchar_t name[64] = {};
  GetClassNameW(handle, name, 64);
  return name;
}

// The text of a control of the other process, as it is now (WM_GETTEXT crosses processes).
std::wstring TextOf(HWND handle) {
  wchar_t text[512] = {};
  SendMessageW(handle, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
  return text;
}

// Input
// ---------------------------------------------------------------------------------------------

void Send(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  std::this_thread::sleep_for(30ms);
}

INPUT KeyInput(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

// A key, with the modifiers held down around it.
void Press(WORD key, std::vector<WORD> modifiers = {}) {
  std::vector<INPUT> inputs;
  for (const WORD modifier : modifiers) {
    inputs.push_back(KeyInput(modifier, false));
  }
  inputs.push_back(KeyInput(key, false));
  inputs.push_back(KeyInput(key, true));
  for (const WORD modifier : modifiers) {
    inputs.push_back(KeyInput(modifier, true));
  }
  Send(inputs);
}

void Type(const std::wstring& text) {
  for (const wchar_t character : text) {
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wScan = character;
    down.ki.dwFlags = KEYEVENTF_UNICODE;
    INPUT up = down;
    up.ki.dwFlags |= KEYEVENTF_KEYUP;
    Send({down, up});
  }
}

// A click with the left (or right) button at a point of a control's client area, by default its
// middle, with Shift or Ctrl held down. The click is posted to the control as the pointer would
// bring it there: under wine, pointer moves through the X server can come in late and carry the
// pointer back to where an earlier click was.
void Click(HWND control, WPARAM keys = 0, std::optional<POINT> at = {}, bool right = false) {
  RECT client;
  GetClientRect(control, &client);
  const POINT point = at.value_or(POINT{client.right / 2, client.bottom / 2});
  const LPARAM where = MAKELPARAM(point.x, point.y);
  PostMessageW(control, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN,
               keys | (right ? MK_RBUTTON : MK_LBUTTON), where);
  PostMessageW(control, right ? WM_RBUTTONUP : WM_LBUTTONUP, keys, where);
  std::this_thread::sleep_for(30ms);
}

// The program and its window
// ------------------------------------------------------------------------

struct Program {
  PROCESS_INFORMATION process{};
  HWND form = nullptr;
  double start_ms = 0;
};

HWND FindForm(DWORD process_id) {
  HWND form = nullptr;
  Eventually([&] {
    form = FindWindowW(nullptr, Wide(window::kCaption).c_str());
    DWORD owner = 0;
    GetWindowThreadProcessId(form, &owner);
    return form != nullptr && (process_id == 0 || owner == process_id) && IsWindowVisible(form);
  });
  return form;
}

// Starts the program and waits until its window is painted and waits for input.
Program Start(const std::wstring& path) {
  Program program;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring command = L"\"" + path + L"\"";
  const auto begin = std::chrono::steady_clock::now();
  if (!CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &program.process)) {
    Check(false, "brindaq.exe starts");
    return program;
  }
  WaitForInputIdle(program.process.hProcess, 30000);
  program.start_ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
  program.form = FindForm(program.process.dwProcessId);
  Check(program.form != nullptr, "the window \" QUARVEL\" appears");
  if (program.form != nullptr) {
    SetForegroundWindow(program.form);
  }
  return program;
}

// Whether the program ends with status 0. One that does not is ended here, so that no run of the
// driver leaves it behind.
bool Ends(const Program& program) {
  DWORD status = 1;
  const bool ended = WaitForSingleObject(program.process.hProcess, 10000) == WAIT_OBJECT_0 &&
                     GetExitCodeProcess(program.process.hProcess, &status) && status == 0;
  if (!ended) {
    TerminateProcess(program.process.hProcess, 1);
  }
  CloseHandle(program.process.hProcess);
  CloseHandle(program.process.hThread);
  return ended;
}

std::vector<HWND> Children(HWND form) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(form, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

HWND ChildOf(HWND form, const wchar_t* kind, const std::wstring& text) {
  for (const HWND child : Children(form)) {
    if (lstrcmpiW(ClassOf(child).c_str(), kind) == 0 && (text.empty() || TextOf(child) == text)) {
      return child;
    }
  }
  return nullptr;
}

HWND ButtonOf(HWND form, std::string_view caption) {
  return ChildOf(form, L"Button", Wide(caption));
}

HWND ListOf(HWND form) {
  return ChildOf(form, L"ListBox", L"");
}

// An operand box: the control right after the label that names it, as screen readers find it.
HWND BoxOf(HWND form, std::string_view box) {
  for (const window::LabelFor& pair : window::kOperandLabels) {
    for (const window::Control& control : window::kControls) {
      if (pair.box == box && control.name == pair.label) {
        const HWND label = ChildOf(form, L"Static", Wide(control.text));
        return label != nullptr ? GetWindow(label, GW_HWNDNEXT) : nullptr;
      }
    }
  }
  return nullptr;
}

HWND Focus(const Program& program) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(program.process.dwThreadId, &info);
  return info.hwndFocus;
}

std::vector<std::string> Lines(HWND list) {
  std::vector<std::string> lines;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT row = 0; row < count; ++row) {
    wchar_t line[256] = {};
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(line));
    lines.push_back(Narrow(line));
  }
  return lines;
}

std::vector<int> SelectedRows(HWND list) {
  // LB_GETSELITEMS would need memory of the other process; the rows' states cross by themselves.
  std::vector<int> rows;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (int row = 0; row < count; ++row) {
    if (SendMessageW(list, LB_GETSEL, static_cast<WPARAM>(row), 0) > 0) {
      rows.push_back(row);
    }
  }
  return rows;
}

POINT LinePoint(HWND list, int row) {
  const int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  return {10, height * row + height / 2};
}

void EmptyTheClipboard() {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
}

std::wstring Clipboard() {
  std::wstring text;
  if (OpenClipboard(nullptr)) {
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      text = static_cast<const wchar_t*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
  }
  return text;
}

HWND NoticeOf(const Program& program) {
  HWND notice = nullptr;
  Eventually([&] {
    notice = FindWindowW(L"#32770", Wide(window::kNoticeCaption).c_str());
    DWORD owner = 0;
    GetWindowThreadProcessId(notice, &owner);
    return notice != nullptr && owner == program.process.dwProcessId;
  });
  return notice;
}

// The checks
// ---------------------------------------------------------------------------------------

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
    Check(Eventually([&] { return Focus(program) == expected; }),
          "Tab number " + std::to_string(step) + " goes to " + Narrow(TextOf(expected)));
  }
  Press(VK_TAB, {VK_SHIFT});
  Check(Eventually([&] { return Focus(program) == order.back(); }), "Shift+Tab goes back");
  Press(VK_TAB);
}

void CheckFactorsAndCopy(const Program& program) {
  const HWND list = ListOf(program.form);
  Check(list != nullptr, "the result list");
  const HWND box_a = BoxOf(program.form, window::kOperandBoxes[0]);
  Click(box_a);
  Check(Eventually([&] { return Focus(program) == box_a; }), "a click takes the keyboard to A");
  Type(L"360");
  Check(Eventually([&] { return TextOf(box_a) == L"360"; }), "A = 360 is typed");
  Click(ButtonOf(program.form, "PRIME FACTORS OF A"));
  const std::vector<std::string> factors{"    2", "    2", "    2", "    3", "    3", "    5"};
  Check(Eventually([&] { return Lines(list) == factors; }), "the list reads the six factors");

  // Click, Shift+Click and Ctrl+Click select lines; Ctrl+C copies them.
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
  EmptyTheClipboard();
  Press('C', {VK_CONTROL});
  Check(Eventually([] { return Clipboard() == L"2\r\n2\r\n2\r\n5"; }), "Ctrl+C copies them");

  // A right click on a line that is not selected selects it; the menu's second entry copies all.
  EmptyTheClipboard();
  Click(list, 0, LinePoint(list, 3), true);
  Check(Eventually([&] { return SelectedRows(list) == std::vector<int>{3}; }),
        "a right click selects its line");
  Check(Eventually([] { return FindWindowW(L"#32768", nullptr) != nullptr; }),
        "the context menu opens");
  Press(VK_DOWN);
  Press(VK_DOWN);
  Press(VK_RETURN);
  Check(Eventually([] { return Clipboard() == L"2\r\n2\r\n2\r\n3\r\n3\r\n5"; }),
        "Copy All copies every line");
}

// A notice about B: the list is empty, and OK takes the keyboard back to B with its text selected.
void CheckNotice(const Program& program) {
  const HWND box_b = BoxOf(program.form, window::kOperandBoxes[1]);
  Click(box_b);
  Check(Eventually([&] { return Focus(program) == box_b; }), "a click takes the keyboard to B");
  Type(L"2.5");
  Check(Eventually([&] { return TextOf(box_b) == L"2.5"; }), "B = 2.5 is typed");
  Click(ButtonOf(program.form, "PRIME NUMBERS BETWEEN A AND B"));
  const HWND notice = NoticeOf(program);
  Check(notice != nullptr, "a notice titled \"brindaq\"");
  if (notice == nullptr) {
    return;
  }
  Check(TextOf(GetDlgItem(notice, 0xFFFF)) == L"B MUST BE INTEGER > 0", "the notice's text");
  Check(Lines(ListOf(program.form)).empty(), "the list is empty under a notice");
  Check(Eventually([&] { return GetParent(Focus(program)) == notice; }),
        "the notice has the keyboard");
  Press(VK_RETURN);
  Check(Eventually([&] { return !IsWindow(notice); }), "OK closes the notice");
  Check(Eventually([&] { return Focus(program) == box_b; }), "the keyboard is back in B");
  DWORD from = 1;
  DWORD to = 0;
  SendMessageW(box_b, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  Check(from == 0 && to == 3, "B's text is selected");
}

struct Geometry {
  RECT client{};
  std::vector<RECT> controls;  // in the form's client area
  LRESULT line_height = 0;
};

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

// Everything half as large again at 144 dots per inch as at 96, to the pixel.
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

// The resolution that wine gives new programs, as Windows' display settings would.
void SetLogPixels(DWORD dpi) {
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi,
                  sizeof dpi);
}

int RunChecks(const std::wstring& path) {
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
  CheckTabOrder(program);
  CheckFactorsAndCopy(program);
  CheckNotice(program);

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
    Click(ButtonOf(scaled.form, "EXIT"));
    Check(Ends(scaled), "EXIT ends the program at 144 dpi");
  }
  SetLogPixels(USER_DEFAULT_SCREEN_DPI);
  std::printf("%d failed\n", failures);
  return failures == 0 ? 0 : 1;
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

// The window as the screen shows it, as a 24-bit BMP file.
bool SavePicture(HWND form, const std::wstring& file) {
  RECT place;
  GetWindowRect(form, &place);
  const int width = place.right - place.left;
  const int height = place.bottom - place.top;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, place.left, place.top, SRCCOPY);
  SelectObject(memory, previous);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const DWORD row = static_cast<DWORD>((width * 3 + 3) & ~3);
  std::vector<char> pixels(row * static_cast<DWORD>(height));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
            reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER file_header{};
  file_header.bfType = 0x4D42;  // "BM"
  file_header.bfOffBits = sizeof file_header + sizeof header;
  file_header.bfSize = file_header.bfOffBits + static_cast<DWORD>(pixels.size());
  FILE* out = _wfopen(file.c_str(), L"wb");
  if (out == nullptr) {
    return false;
  }
  std::fwrite(&file_header, sizeof file_header, 1, out);
  std::fwrite(&header, sizeof header, 1, out);
  std::fwrite(pixels.data(), 1, pixels.size(), out);
  return std::fclose(out) == 0;
}

int Show(const std::wstring& path, const std::wstring& file) {
  Program program = Start(path);
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
  if (argc < 2) {
    std::fprintf(stderr, "usage: window_driver.exe BRINDAQ.EXE [--time N | --show BMP]\n");
    return 2;
  }
  const std::wstring path = argv[1];
  const std::wstring mode = argc > 2 ? argv[2] : L"";
  if (mode == L"--time") {
    return TimeStarts(path, argc > 3 ? _wtoi(argv[3]) : 11);
  }
  if (mode == L"--show" && argc > 3) {
    return Show(path, argv[3]);
  }
  return RunChecks(path);
}
