#pragma once

// The one description of QUARVEL's window: every control with its name, kind, text, place, size
// and font, in tab order, and the command of each button; the colours; the texts that the window
// shows of its own; and what its own buttons and its copying do. It holds no toolkit code: the Qt
// window, the Win32 window and the browser page all draw themselves from it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/operations.h"

namespace brindaq::window {

// Every position is drawn up in twips: 15 twips to a pixel at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;

// The client area, in twips (552 by 568 pixels).
inline constexpr int kClientWidth = 8280;
inline constexpr int kClientHeight = 8520;

inline constexpr std::string_view kFormName = "Form1";       // the window's own name
inline constexpr std::string_view kCaption = " QUARVEL";     // the window's title bar
inline constexpr std::string_view kProgramName = "QUARVEL";  // what the window is called
inline constexpr std::string_view kNoticeCaption = "brindaq";

// The ranges that a window runs on. It opens on its own range, whose title bar is kCaption; the
// option kFullRangeOption (or the page's range control) opens the same window on the full range,
// and its title bar says so, so that "NUMBER TOO LARGE !" is read against the right limits.
// `word` names the range in an address and in JSON; `label` is the page's range control.
struct RangeChoice {
  Range range;
  std::string_view word;
  std::string_view caption;
  std::string_view label;
};
inline constexpr std::string_view kFullRangeOption = "--full-range";
inline constexpr std::array<RangeChoice, 2> kRanges{{
    {Range::kWindow, "window", kCaption, "The window's range"},
    {Range::kFull, "full", " QUARVEL  (full range)",
     "Full range: whole numbers of up to 10000 digits"},
}};

constexpr const RangeChoice& ChoiceOf(Range range) {
  return range == Range::kFull ? kRanges[1] : kRanges[0];
}

// In the full range a line may be wider than the list: the list then scrolls sideways, and
// copying still gives whole lines. The window's range has no line that wide.
constexpr bool ScrollsSideways(Range range) {
  return range == Range::kFull;
}

// In the full range a result line of more than kWrapAbove characters (a factor of a thousand
// digits) is shown on several rows, each as wide as the list, and every row after the first
// starts with kContinuationIndent blanks (two more than stand before a number), so that it reads
// as the same line; copying still gives it whole, on one line. Shorter lines keep one row, and
// scroll sideways.
inline constexpr std::size_t kWrapAbove = 200;
inline constexpr std::size_t kContinuationIndent = 6;

// The label whose hint ("For large numbers, wait for the end of calculation !") gives way to the
// progress of a long calculation while it runs.
inline constexpr std::string_view kHintLabel = "Label5";

constexpr bool Wraps(Range range, std::size_t line_length) {
  return range == Range::kFull && line_length > kWrapAbove;
}

// A click in the full range may start work of minutes. It is worked out beside the window, which
// stays awake: the lines appear as they are made, gathered once every kFrameMilliseconds; the
// hint (Label5) shows the progress instead of its text, refreshed every kProgressMilliseconds,
// from kFirstProgressMilliseconds on; a screen reader is told the progress at most every
// kSpokenProgressMilliseconds, and kAnswerEndedStatus at the end. Esc stops the work (its answer
// then ends with the stopped line); CLEAR, INFO and another operation stop it first and then do
// what they always do; EXIT ends the program at once. An answer that comes within
// kAtOnceMilliseconds is shown as in the window's range, within the click.
inline constexpr int kFrameMilliseconds = 16;
inline constexpr int kFirstProgressMilliseconds = 50;
inline constexpr int kProgressMilliseconds = 250;
inline constexpr int kSpokenProgressMilliseconds = 3000;
inline constexpr int kAtOnceMilliseconds = 10;
inline constexpr std::string_view kAnswerEndedStatus = "End of the answer";
// The progress of work that has not yet said where it stands: "calculating, 2 s".
inline constexpr std::string_view kWorkingProgress = "calculating";

// In the full range an operand may have thousands of digits, more than its box shows: the number
// of its characters is then shown under the box, as "1000" + kOperandLengthUnit.
inline constexpr std::string_view kOperandLengthUnit = " characters";

struct Rgb {
  std::uint8_t red, green, blue;
};

inline constexpr Rgb kDarkGreen{0, 64, 0};
inline constexpr Rgb kLightGreen{192, 255, 192};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};

// A background and the colour of the text drawn on it.
struct Colours {
  Rgb background, text;
};

// Every colour of the window's design is set, none is left to the desktop's theme, so that the
// window reads the same under a light or a dark one. Only the buttons and the notice box follow
// the theme, as a native program's do.
inline constexpr Colours kFormColours{kDarkGreen, kWhite};
inline constexpr Colours kLabelColours{kDarkGreen, kWhite};
inline constexpr Colours kBoxColours{kLightGreen, kBlack};  // the operand boxes and the list
// Selected lines of the list and selected text in a box.
inline constexpr Colours kSelectionColours{kDarkGreen, kWhite};

// "MS Sans Serif" where it exists, else a face with the same metrics, else any sans-serif.
inline constexpr std::array<std::string_view, 4> kFontFamilies{
    "MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial"};

// The font of a control's text, in points.
struct TextFont {
  double points;
  bool bold;
};

// The window's default font, which most operation buttons keep, and the larger one of two of
// them.
inline constexpr TextFont kDefaultFont{8.0, false};
inline constexpr TextFont kLargeCaptionFont{12.0, false};

// A font size in pixels at 96 dots per inch, so that the layout does not move with the
// resolution of the screen: 8 points are 11 pixels, 13.5 points 18.
constexpr int FontPixels(TextFont font) {
  return static_cast<int>(font.points * 96 / 72 + 0.5);
}

inline constexpr TextFont kBold13_5{13.5, true};
inline constexpr TextFont kRegular9_75{9.75, false};
inline constexpr TextFont kRegular12{12.0, false};
inline constexpr TextFont kBold18{18.0, true};

enum class Kind { kLabel, kList, kTextBox, kButton, kOperationButton };

struct Rect {
  int left, top, width, height;
};

struct Control {
  std::string_view name;
  Kind kind;
  // A label's or button's text; what the list and the boxes are called.
  std::string_view text;
  Rect twips;  // relative to the client area
  TextFont font;
  // A button's command: the name by which the command line and scripts call its operation, or
  // ask for a click on one of the window's own buttons ("exit", "clear", "info"); empty for
  // every other control.
  std::string_view command = {};
};

// The controls in tab order.
// clang-format off
inline constexpr std::array<Control, 28> kControls{{
    {"Label1",    Kind::kLabel,           "QUARVEL BY TORVASK",               {120, 120, 4815, 735},   kBold13_5},
    {"List1",     Kind::kList,            "Results",                          {120, 1320, 5175, 2940}, kBold13_5},
    {"Text1",     Kind::kTextBox,         "A =",                              {6240, 1080, 1695, 615}, kBold13_5},
    {"Text2",     Kind::kTextBox,         "B =",                              {6240, 1920, 1695, 615}, kBold13_5},
    {"Text3",     Kind::kTextBox,         "C =",                              {6240, 2760, 1695, 615}, kBold13_5},
    {"Label2",    Kind::kLabel,           "A =",                              {5640, 1200, 495, 375},  kBold13_5},
    {"Label3",    Kind::kLabel,           "B =",                              {5640, 2040, 495, 375},  kBold13_5},
    {"Label4",    Kind::kLabel,           "C =",                              {5640, 2880, 495, 375},  kBold13_5},
    {"Command1",  Kind::kButton,          "EXIT",                             {6240, 240, 1695, 615},  kBold13_5,         "exit"},
    {"Command2",  Kind::kButton,          "CLEAR",                            {6240, 3600, 1695, 615}, kBold13_5,         "clear"},
    {"Command3",  Kind::kOperationButton, "PRIME NUMBERS BETWEEN A AND B",    {120, 4440, 1695, 615},  kDefaultFont,      "primes"},
    {"Command4",  Kind::kOperationButton, "TWIN PRIMES BETWEEN A AND B",      {2160, 4440, 1695, 615}, kDefaultFont,      "twin-primes"},
    {"Command5",  Kind::kOperationButton, "NUMBER OF PRIMES BETWEEN A AND B", {4200, 4440, 1695, 615}, kDefaultFont,      "prime-count"},
    {"Label5",    Kind::kLabel,           "For large numbers, wait for the end of calculation !",
                                                                              {120, 960, 4455, 255},   kRegular9_75},
    {"Command6",  Kind::kOperationButton, "NEXTPRIME(A)",                     {6240, 4440, 1695, 615}, kDefaultFont,      "next-prime"},
    {"Command7",  Kind::kOperationButton, "A = x^2 + y^2",                    {120, 5280, 1695, 615},  kLargeCaptionFont, "two-squares"},
    {"Command8",  Kind::kOperationButton, "GOLDBACH (A)",                     {2160, 5280, 1695, 615}, kDefaultFont,      "goldbach"},
    {"Command9",  Kind::kOperationButton, "COLLATZ (A)",                      {4200, 5280, 1695, 615}, kDefaultFont,      "collatz"},
    {"Command10", Kind::kOperationButton, "PRIME FACTORS OF A",               {6240, 5280, 1695, 615}, kDefaultFont,      "factors"},
    {"Command11", Kind::kOperationButton, "TEST IF A IS A PRIME NUMBER",      {120, 6120, 1695, 615},  kDefaultFont,      "is-prime"},
    {"Command12", Kind::kOperationButton, "A^B MOD. C",                       {2160, 6120, 1695, 615}, kLargeCaptionFont, "power-mod"},
    {"Command13", Kind::kOperationButton, "THE FIRST A FIBONACCI NUMBERS",    {4200, 6120, 1695, 615}, kDefaultFont,      "fibonacci"},
    {"Command14", Kind::kOperationButton, "AX CONG: B MOD C",                 {6240, 6120, 1695, 615}, kDefaultFont,      "linear-congruence"},
    {"Command15", Kind::kOperationButton, "AX^2 CONG: B MOD C",               {120, 6960, 1695, 615},  kDefaultFont,      "quadratic-congruence"},
    {"Command16", Kind::kOperationButton, "INVERSE OF A MOD. B",              {2160, 6960, 1695, 615}, kDefaultFont,      "inverse"},
    {"Command17", Kind::kOperationButton, "SUM AND NUMBER OF DIVISORS OF A",  {4200, 6960, 1695, 615}, kDefaultFont,      "divisors"},
    {"Command18", Kind::kButton,          "INFO",                             {6240, 6960, 1695, 615}, kBold18,           "info"},
    {"Label6",    Kind::kLabel,           "MORE FREE MATHS PROGRAMS TO DOWNLOAD: EXAMPLE.ORG",
                                                                              {120, 7800, 7815, 615},  kRegular12},
}};
// clang-format on

// The list, and the box that holds each operand.
inline constexpr std::string_view kResultList = "List1";
inline constexpr std::array<std::string_view, 3> kOperandBoxes{"Text1", "Text2", "Text3"};

// What a click on a control does: run its row of the operation table, or one of the window's own
// three. EXIT ends the program at once. CLEAR empties the list, then the boxes A, B and C. INFO
// empties the list and shows kInfoLines, leaving the boxes as they are.
enum class Action { kNone, kOperation, kExit, kClear, kInfo };

// The window's own buttons, by their commands.
struct OwnButton {
  std::string_view command;
  Action action;
};
inline constexpr std::array<OwnButton, 3> kOwnButtons{
    {{"exit", Action::kExit}, {"clear", Action::kClear}, {"info", Action::kInfo}}};

// Each "A =", "B =", "C =" label names the box beside it.
struct LabelFor {
  std::string_view label, box;
};
inline constexpr std::array<LabelFor, 3> kOperandLabels{
    {{"Label2", "Text1"}, {"Label3", "Text2"}, {"Label4", "Text3"}}};

// What INFO shows.
inline constexpr std::array<std::string_view, 5> kInfoLines{
    "TORVASK", "e-mail  torvask@example.org", "QUARVEL", "UPDATED VERSION", "13th APRIL 2009"};

// The list's context menu: copy the selected lines, or all of them.
inline constexpr std::string_view kCopyAction = "Copy";
inline constexpr std::string_view kCopyAllAction = "Copy All";

// Whether Copy (of the selected lines) or Copy All (of every line) is offered: only when it has a
// line to copy. Copying no line leaves the clipboard as it was.
constexpr bool CanCopy(std::size_t lines) {
  return lines > 0;
}

// A place in pixels.
constexpr Rect Pixels(Rect twips) {
  return {twips.left / kTwipsPerPixel, twips.top / kTwipsPerPixel, twips.width / kTwipsPerPixel,
          twips.height / kTwipsPerPixel};
}

// The row of `operations` that an operation button runs; nothing for other controls, and for a
// button whose operation the table does not hold.
constexpr const OperationRow* OperationOf(const Control& control,
                                          std::span<const OperationRow> operations = kOperations) {
  if (control.kind != Kind::kOperationButton) {
    return nullptr;
  }
  for (const OperationRow& operation : operations) {
    if (operation.command == control.command) {
      return &operation;
    }
  }
  return nullptr;
}

constexpr Action ActionOf(const Control& control) {
  if (control.kind == Kind::kOperationButton) {
    return Action::kOperation;
  }
  for (const OwnButton& button : kOwnButtons) {
    if (control.kind == Kind::kButton && button.command == control.command) {
      return button.action;
    }
  }
  return Action::kNone;
}

// The button whose command is `command`; nothing for an unknown one.
constexpr const Control* ButtonOf(std::string_view command) {
  for (const Control& control : kControls) {
    if (!command.empty() && control.command == command) {
      return &control;
    }
  }
  return nullptr;
}

// The operand letter, 'A', 'B' or 'C', whose box is `box`; 0 for any other control.
constexpr char OperandOf(std::string_view box) {
  for (std::size_t index = 0; index < kOperandBoxes.size(); ++index) {
    if (kOperandBoxes[index] == box) {
      return static_cast<char>('A' + index);
    }
  }
  return 0;
}

// Every operation has its button, and every operation button runs an operation. (Compared by
// command: a pointer comparison is not a constant expression under the sanitizers.)
static_assert([] {
  std::size_t buttons = 0;
  for (const Control& control : kControls) {
    if (control.kind != Kind::kOperationButton) {
      continue;
    }
    ++buttons;
    bool found = false;
    for (const OperationRow& operation : kOperations) {
      found = found || operation.command == control.command;
    }
    if (!found) {
      return false;
    }
  }
  return buttons == kOperations.size();
}());

}  // namespace brindaq::window
