// The calculator's core for JavaScript: the operations by their command names, in the window's
// range or the full one, the window's one description, and the text that copying lines gives.
//
//   import factory from './brindaq.mjs';
//   const brindaq = await factory();          // under node: factory({ wasmBinary })
//   brindaq.run('factors', '360', '', '');    // { lines: ['    2', ...], notice: null, ... }
//
// The functions that scripts call are written in module-api.js, over the ones below. They check
// their arguments there and throw from there, so nothing is ever thrown through the code here:
// an unknown command is an answer like any other, which module-api.js turns into a RangeError.

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/operations.h"
#include "core/text/text.h"
#include "core/window.h"
#include "core/work.h"

namespace {

namespace window = brindaq::window;
using emscripten::val;

val Text(std::string_view text) {
  return val(std::string(text));
}

// A colour as CSS writes it back from getComputedStyle: "rgb(0, 64, 0)".
val Css(window::Rgb rgb) {
  return val("rgb(" + std::to_string(rgb.red) + ", " + std::to_string(rgb.green) + ", " +
             std::to_string(rgb.blue) + ")");
}

val CssColours(window::Colours colours) {
  val result = val::object();
  result.set("background", Css(colours.background));
  result.set("text", Css(colours.text));
  return result;
}

template <typename Container>
val TextArray(const Container& texts) {
  val result = val::array();
  for (const auto& text : texts) {
    result.call<void>("push", Text(text));
  }
  return result;
}

// The first character of an answer that says that the command is unknown; the message follows.
constexpr char kUnknownCommand = '\x01';

std::string UnknownCommand(const std::string& command) {
  std::string text(1, kUnknownCommand);
  text += "unknown command " + brindaq::QuotedName(command) + "; the commands are ";
  for (const brindaq::OperationRow& row : brindaq::kOperations) {
    text += &row == &brindaq::kOperations.front() ? "" : ", ";
    text += row.command;
  }
  return text;
}

std::string_view ActionName(window::Action action) {
  switch (action) {
    case window::Action::kOperation:
      return "operation";
    case window::Action::kExit:
      return "exit";
    case window::Action::kClear:
      return "clear";
    case window::Action::kInfo:
      return "info";
    case window::Action::kNone:
      break;
  }
  return {};
}

std::string KindName(window::Kind kind) {
  switch (kind) {
    case window::Kind::kLabel:
      return "label";
    case window::Kind::kList:
      return "list";
    case window::Kind::kTextBox:
      return "textbox";
    case window::Kind::kButton:
    case window::Kind::kOperationButton:
      break;
  }
  return "button";
}

val Control(const window::Control& control) {
  const window::Rect pixels = window::Pixels(control.twips);
  const window::TextFont font = control.font;
  val result = val::object();
  result.set("name", Text(control.name));
  result.set("kind", KindName(control.kind));
  result.set("text", Text(control.text));
  result.set("left", pixels.left);
  result.set("top", pixels.top);
  result.set("width", pixels.width);
  result.set("height", pixels.height);
  result.set("fontPixels", window::FontPixels(font));
  result.set("bold", font.bold);
  // What a click on the button does ("operation", "exit", "clear", "info"), and the name by which
  // scripts ask for it: the operation's command, or "exit", "clear", "info".
  if (const std::string_view action = ActionName(window::ActionOf(control)); !action.empty()) {
    result.set("action", Text(action));
  }
  if (!control.command.empty()) {
    result.set("command", Text(control.command));
  }
  return result;
}

// The inclusive limit of each operand that an operation reads in `range`, by its letter, as a
// decimal text: the full range's limits go up to 10^10000 - 1, far beyond a JavaScript number's
// exact integers.
val Limits(const brindaq::OperandRules& rules, brindaq::Range range) {
  val result = val::object();
  for (std::size_t index = 0; index < brindaq::OperandCount(rules); ++index) {
    result.set(std::string(1, static_cast<char>('A' + index)),
               brindaq::LimitText(rules, index, range));
  }
  return result;
}

// What an operation asks of its operands in each range.
val Operation(const brindaq::OperationRow& operation) {
  val limits = val::object();
  for (const brindaq::window::RangeChoice& choice : brindaq::window::kRanges) {
    limits.set(Text(choice.word), Limits(operation.rules, choice.range));
  }
  val result = val::object();
  result.set("command", Text(operation.command));
  result.set("button", Text(window::ButtonOf(operation.command)->name));
  result.set("limits", limits);
  const std::uint64_t widest = operation.rules.widest_interval;
  result.set("widestInterval", widest > 0 ? val(std::to_string(widest)) : val::null());
  result.set("evenA", operation.rules.even_a);
  return result;
}

// The ranges that the window runs on, its own first: the word that names each in an address and
// in run()'s options, its title bar, its label on the page's range control, and whether the list
// scrolls sideways in it.
val Ranges() {
  val result = val::array();
  for (const window::RangeChoice& choice : window::kRanges) {
    val entry = val::object();
    entry.set("word", Text(choice.word));
    entry.set("caption", Text(choice.caption));
    entry.set("label", Text(choice.label));
    entry.set("scrollsSideways", window::ScrollsSideways(choice.range));
    result.call<void>("push", entry);
  }
  return result;
}

// Everything the page draws and says of its own, from the one description of the window.
val Description() {
  val colours = val::object();
  colours.set("form", CssColours(window::kFormColours));
  colours.set("label", CssColours(window::kLabelColours));
  colours.set("box", CssColours(window::kBoxColours));
  colours.set("selection", CssColours(window::kSelectionColours));

  val controls = val::array();
  for (const window::Control& control : window::kControls) {
    controls.call<void>("push", Control(control));
  }
  val operations = val::array();
  for (const brindaq::OperationRow& operation : brindaq::kOperations) {
    operations.call<void>("push", Operation(operation));
  }
  val labels = val::array();
  for (const window::LabelFor& pair : window::kOperandLabels) {
    val entry = val::object();
    entry.set("label", Text(pair.label));
    entry.set("box", Text(pair.box));
    labels.call<void>("push", entry);
  }

  val result = val::object();
  result.set("caption", Text(window::kCaption));
  result.set("programName", Text(window::kProgramName));
  result.set("noticeCaption", Text(window::kNoticeCaption));
  result.set("width", window::kClientWidth / window::kTwipsPerPixel);
  result.set("height", window::kClientHeight / window::kTwipsPerPixel);
  result.set("colours", colours);
  result.set("fontFamilies", TextArray(window::kFontFamilies));
  result.set("controls", controls);
  result.set("operations", operations);
  result.set("labels", labels);
  result.set("operandBoxes", TextArray(window::kOperandBoxes));
  result.set("resultList", Text(window::kResultList));
  result.set("infoLines", TextArray(window::kInfoLines));
  result.set("copyAction", Text(window::kCopyAction));
  result.set("copyAllAction", Text(window::kCopyAllAction));
  result.set("ranges", Ranges());
  result.set("wrapAbove", static_cast<double>(window::kWrapAbove));
  result.set("hintLabel", Text(window::kHintLabel));
  result.set("progressMs", window::kProgressMilliseconds);
  result.set("spokenProgressMs", window::kSpokenProgressMilliseconds);
  return result;
}

// One click of an operation as one text: the letter of the operand that the notice is about
// ('A', 'B', 'C', or '-' for none), the notice (empty when there is none), then each line after a
// "\n". The lines hold no newline, so module-api.js splits it back into { lines, notice, operand }:
// one text crosses into JavaScript far quicker than thousands of short ones. `full` runs the
// operation in the full range, else in the window's.
std::string RunText(const std::string& command, const std::string& a, const std::string& b,
                    const std::string& c, bool full) {
  const brindaq::OperationRow* operation = brindaq::FindCommand(command);
  if (operation == nullptr) {
    return UnknownCommand(command);
  }
  const brindaq::OperandTexts texts{a, b, c};
  const brindaq::Outcome outcome = brindaq::RunOperation(
      *operation, texts, full ? brindaq::Range::kFull : brindaq::Range::kWindow);
  std::size_t size = 1 + (outcome.notice ? outcome.notice->size() : 0);
  for (const std::string& line : outcome.lines) {
    size += line.size() + 1;
  }
  std::string text;
  text.reserve(size);
  text += outcome.operand.value_or('-');
  if (outcome.notice) {
    text += *outcome.notice;
  }
  for (const std::string& line : outcome.lines) {
    text += '\n';
    text += line;
  }
  return text;
}

// How often a long question's lines are handed on: often enough for the page to show them as
// they come, seldom enough that each batch is worth its passage; and not before kFirstHandOn, so
// that an answer of a fraction of a second (124180 lines of Goldbach) passes whole, at once.
constexpr auto kFirstHandOn = std::chrono::milliseconds(100);
constexpr auto kHandOnEvery = std::chrono::milliseconds(50);
// How often the work tells its progress, and asks whether to stop.
constexpr auto kReportEvery = std::chrono::milliseconds(25);

// The lines of a question that runs in a worker, handed to `listener.lines(text)` in batches, each
// a text of lines joined with "\n", as kFirstHandOn and kHandOnEvery allow, and the rest at the
// end.
class HandedOnLines final : public brindaq::LineSink {
 public:
  using Clock = brindaq::Work::Clock;

  explicit HandedOnLines(const val& listener) : listener_(listener) {}

  void Reserve(std::size_t /*count*/) override {}

  // Whether the lines so far are to be handed on now.
  bool Due(Clock::time_point now) const { return now >= next_; }

  void Flush() {
    if (waiting_ > 0) {
      listener_.call<void>("lines", batch_);
      batch_.clear();
      waiting_ = 0;
    }
    next_ = Clock::now() + kHandOnEvery;
  }

 private:
  // The clock is asked once every so many lines: a line can take less than a microsecond.
  static constexpr std::size_t kLinesBetweenClocks = 256;

  void Take(std::string_view line) override {
    if (waiting_ > 0) {
      batch_ += '\n';
    }
    batch_ += line;
    if (++waiting_ % kLinesBetweenClocks == 0 && Due(Clock::now())) {
      Flush();
    }
  }

  val listener_;
  std::string batch_;
  std::size_t waiting_ = 0;
  Clock::time_point next_ = Clock::now() + kFirstHandOn;
};

// The work of a question in a worker: at most every kReportEvery it hands on the lines so far, when
// they are due, and tells `listener.progress(text, seconds)` where it stands, in the words of every
// edition; the listener answers whether to stop. (A worker without threads hears of no message
// while the core runs; the listener reads a flag that the page shares with it, where it can.)
class ListenedWork final : public brindaq::Work {
 public:
  ListenedWork(const val& listener, HandedOnLines& lines) : listener_(listener), lines_(lines) {}

  void Report(const brindaq::Progress& progress) override {
    const Clock::time_point now = Clock::now();
    if (now - last_ < kReportEvery) {
      return;
    }
    last_ = now;
    if (lines_.Due(now)) {
      lines_.Flush();
    }
    const auto taken = std::chrono::duration_cast<std::chrono::seconds>(now - start_);
    if (listener_.call<bool>("progress", brindaq::ProgressText(progress, now - start_),
                             static_cast<double>(taken.count()))) {
      Stop();
    }
  }

 private:
  val listener_;
  HandedOnLines& lines_;
  Clock::time_point start_ = Clock::now();
  Clock::time_point last_ = start_ - kReportEvery;
};

// One question as a worker runs it: its lines handed to `listener` as they are made, and its
// progress told. The answer is the letter of the operand that the notice is about ('A', 'B', 'C'
// or '-'), then '1' when the work was stopped (the lines then end with kStoppedLine) or '0', then
// the notice; or, for an unknown command, as RunText gives it.
std::string RunHandedOn(const std::string& command, const std::string& a, const std::string& b,
                        const std::string& c, bool full, const val& listener) {
  const brindaq::OperationRow* operation = brindaq::FindCommand(command);
  if (operation == nullptr) {
    return UnknownCommand(command);
  }
  HandedOnLines lines(listener);
  ListenedWork work(listener, lines);
  const brindaq::Outcome outcome = brindaq::RunOperation(
      *operation, {a, b, c}, full ? brindaq::Range::kFull : brindaq::Range::kWindow, lines, work);
  lines.Flush();
  std::string head(1, outcome.operand.value_or('-'));
  head += outcome.stopped ? '1' : '0';
  if (outcome.notice) {
    head += *outcome.notice;
  }
  return head;
}

// The text that copying `lines` (an array of strings, as module-api.js has checked) puts on the
// clipboard, as the window's Copy gives it: each line without its leading blanks, joined with
// "\n".
std::string CopiedTextOf(const val& lines) {
  return brindaq::CopiedText(emscripten::vecFromJSArray<std::string>(lines));
}

}  // namespace

EMSCRIPTEN_BINDINGS(brindaq) {
  emscripten::function("runText", &RunText);
  emscripten::function("runHandedOn", &RunHandedOn);
  emscripten::function(
      "stoppedLineText", +[] { return std::string(brindaq::kStoppedLine); });
  emscripten::function("descriptionOf", &Description);
  emscripten::function("copiedTextOf", &CopiedTextOf);
  emscripten::function("canCopyCount", &window::CanCopy);
}
