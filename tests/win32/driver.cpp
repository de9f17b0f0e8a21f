#include "driver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "core/window.h"

namespace driver {

namespace window = brindaq::window;
using namespace std::chrono_literals;

namespace {
int failures = 0;
}  // namespace

void Check(bool passed, const std::string& what) {
  if (!passed) {
    std::fprintf(stderr, "FAILED: %s\n", what.c_str());
    ++failures;
  }
}

int Failures() {
  return failures;
}

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
  return std::wstring(text.begin(), text.end());
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

// Input -------------------------------------------------------------------------------------------

namespace {

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

}  // namespace

void Press(WORD key, std::vector<WORD> modifiers) {
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

// The click is posted to the control as the pointer would
// bring it there: under wine, pointer moves through the X server can come in late and carry the
// pointer back to where an earlier click was.
void Click(HWND control, WPARAM keys, std::optional<POINT> at, bool right) {
  RECT client;
  GetClientRect(control, &client);
  const POINT point = at.value_or(POINT{client.right / 2, client.bottom / 2});
  const LPARAM where = MAKELPARAM(point.x, point.y);
  PostMessageW(control, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN,
               keys | (right ? MK_RBUTTON : MK_LBUTTON), where);
  PostMessageW(control, right ? WM_RBUTTONUP : WM_LBUTTONUP, keys, where);
  std::this_thread::sleep_for(30ms);
}

// The program and its window --------------------------------------------------------------------

namespace {

HWND FindForm(DWORD process_id, const std::wstring& caption) {
  HWND form = nullptr;
  Eventually([&] {
    form = FindWindowW(nullptr, caption.c_str());
    DWORD owner = 0;
    GetWindowThreadProcessId(form, &owner);
    return form != nullptr && (process_id == 0 || owner == process_id) && IsWindowVisible(form);
  });
  return form;
}

}  // namespace

Program Start(const std::wstring& path, brindaq::Range range) {
  Program program;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring command = L"\"" + path + L"\"";
  if (range == brindaq::Range::kFull) {
    command += L" " + Wide(window::kFullRangeOption);
  }
  const auto begin = std::chrono::steady_clock::now();
  if (!CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &program.process)) {
    Check(false, "brindaq.exe starts");
    return program;
  }
  WaitForInputIdle(program.process.hProcess, 30000);
  program.start_ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
  const std::string_view caption = window::ChoiceOf(range).caption;
  program.form = FindForm(program.process.dwProcessId, Wide(caption));
  Check(program.form != nullptr, "the window \"" + std::string(caption) + "\" appears");
  if (program.form != nullptr) {
    SetForegroundWindow(program.form);
  }
  return program;
}

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

void SetLogPixels(DWORD dpi) {
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi,
                  sizeof dpi);
}

// Reading the window ----------------------------------------------------------------------------

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

namespace {

// What `screen` shows in `place`, in screen coordinates, copied into a bitmap of its own.
HBITMAP CopyOfScreen(HDC screen, const RECT& place) {
  const int width = place.right - place.left;
  const int height = place.bottom - place.top;
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, place.left, place.top, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
  return bitmap;
}

// The ink of what a bitmap of `width` by `height` holds: the smallest rectangle holding every
// pixel not of the colour of its top left corner.
RECT InkOfBitmap(HDC dc, HBITMAP bitmap, int width, int height) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = -height;  // top row first
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  std::vector<DWORD> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(),
            reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  RECT ink{width, height, 0, 0};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
      if ((pixels[at + static_cast<std::size_t>(x)] & 0xFFFFFF) != (pixels[0] & 0xFFFFFF)) {
        ink = {std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y),
               std::max<LONG>(ink.right, x + 1), std::max<LONG>(ink.bottom, y + 1)};
      }
    }
  }
  return ink;
}

}  // namespace

bool SavePicture(HWND form, const std::wstring& file) {
  RECT place;
  GetWindowRect(form, &place);
  const int width = place.right - place.left;
  const int height = place.bottom - place.top;
  const HDC screen = GetDC(nullptr);
  const HBITMAP bitmap = CopyOfScreen(screen, place);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const DWORD row = static_cast<DWORD>((width * 3 + 3) & ~3);
  std::vector<char> pixels(row * static_cast<DWORD>(height));
  GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(),
            reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  DeleteObject(bitmap);
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

RECT InkOf(HWND control, std::optional<RECT> part) {
  RECT client{};
  GetClientRect(control, &client);
  const RECT area = part.value_or(client);
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  POINT origin{area.left, area.top};
  ClientToScreen(control, &origin);
  const HDC screen = GetDC(nullptr);
  const HBITMAP bitmap =
      CopyOfScreen(screen, {origin.x, origin.y, origin.x + width, origin.y + height});
  RECT ink = InkOfBitmap(screen, bitmap, width, height);
  OffsetRect(&ink, area.left, area.top);
  DeleteObject(bitmap);
  ReleaseDC(nullptr, screen);
  return ink;
}

RECT InkOfLine(const std::wstring& text, HFONT font, COLORREF background, COLORREF colour) {
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HGDIOBJ previous_font = SelectObject(memory, font);
  RECT place{0, 0, 0, 0};
  DrawTextW(memory, text.c_str(), -1, &place, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  place.right *= 2;
  place.bottom *= 2;
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, place.right, place.bottom);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  const HBRUSH brush = CreateSolidBrush(background);
  FillRect(memory, &place, brush);
  DeleteObject(brush);
  SetBkColor(memory, background);
  SetTextColor(memory, colour);
  DrawTextW(memory, text.c_str(), -1, &place, DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(memory, previous);
  SelectObject(memory, previous_font);
  const RECT ink = InkOfBitmap(memory, bitmap, place.right, place.bottom);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ink;
}

}  // namespace driver
