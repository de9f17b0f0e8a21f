#pragma once

// The list of results: its lines, drawn by the window in the design's colours; selecting them
// with the keyboard and the context menu; scrolling them sideways where a line may be wider than
// the list; and copying them, whole, to the clipboard as the core copies them.

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "win32/appearance.h"

namespace brindaq::win32 {

struct ResultList {
  HWND list = nullptr;
  bool sideways = false;           // whether a line wider than the list scrolls sideways
  std::vector<std::string> lines;  // the list's rows: its lines, as the core gave them
  // Where a long line is shown on several rows (window::Wraps), its whole text, and for every
  // row the long line it is part of, or -1; empty while no line is.
  std::vector<std::string> wrapped;
  std::vector<int> part_of;
  std::size_t row_characters = 0;  // how many characters the rows of long lines hold
  int extent = 0;                  // how far the list scrolls sideways, in pixels
  int step = 1;                    // how far Left and Right move it: a character's width
};

void ClearResults(ResultList& results);
// Fills the list in one go: it is drawn again once, when all the lines are in.
void AppendLines(ResultList& results, const std::vector<std::string>& lines);

// Where the list scrolls sideways, lets it scroll as far as its widest line, measured in its
// current font, reaches: again after the font has changed. The lines from `from` on are
// measured; those before it were measured by the calls before (a long answer comes in parts).
void FitWidth(ResultList& results, std::size_t from = 0);

// Long lines are on rows of as many characters as the list shows: after the list has been
// resized, or its font changed, they are put on rows again, the list kept at the same line.
void RewrapLines(ResultList& results);

// One line of the list (WM_DRAWITEM), in the box's colours or, selected, in the selection's.
void DrawLine(const ResultList& results, const Appearance& look, const DRAWITEMSTRUCT& item);

// A key pressed in the list (WM_VKEYTOITEM): Ctrl+C copies the selected lines, Ctrl+A selects
// them all; where the list scrolls sideways, Left and Right move it a character's width, and
// Ctrl+Left and Ctrl+Right to the start and the end of the lines. Other keys move in the list as
// usual. Returns what the list is to do with the key.
LRESULT ListKey(const ResultList& results, HWND form, UINT key);

// The list's context menu (WM_CONTEXTMENU), at `at` on the screen or, at (-1, -1), from the
// keyboard, under the line with the caret: Copy and Copy All.
void ListMenu(const ResultList& results, HWND form, POINT at);

}  // namespace brindaq::win32
