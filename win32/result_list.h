#pragma once

// The list of results: its lines, drawn by the window in the design's colours; selecting them
// with the keyboard and the context menu; and copying them to the clipboard as the core copies
// them.

#include <windows.h>

#include <string>
#include <vector>

#include "win32/appearance.h"

namespace brindaq::win32 {

struct ResultList {
  HWND list = nullptr;
  std::vector<std::string> lines;  // the list's lines, as the core gave them
};

void ClearResults(ResultList& results);
void AppendLines(ResultList& results, const std::vector<std::string>& lines);

// One line of the list (WM_DRAWITEM), in the box's colours or, selected, in the selection's.
void DrawLine(const ResultList& results, const Appearance& look, const DRAWITEMSTRUCT& item);

// A key pressed in the list (WM_VKEYTOITEM): Ctrl+C copies the selected lines, Ctrl+A selects
// them all; other keys move in the list as usual. Returns what the list is to do with the key.
LRESULT ListKey(const ResultList& results, HWND form, UINT key);

// The list's context menu (WM_CONTEXTMENU), at `at` on the screen or, at (-1, -1), from the
// keyboard, under the line with the caret: Copy and Copy All.
void ListMenu(const ResultList& results, HWND form, POINT at);

}  // namespace brindaq::win32
