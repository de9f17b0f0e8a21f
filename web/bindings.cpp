// The calculator's core for JavaScript: the operations by their command names, the window's one
// description, the box that a notice leads back to, and the text that copying lines gives.
//
//   import factory from './brindaq.mjs';
//   const brindaq = await factory();          // under node: factory({ wasmBinary })
//   brindaq.run('factors', '360', '', '');    // { lines: ['    2', ...], notice: null }
//
// The functions that scripts call are written in module-api.js, over the ones below. They check
// their arguments there and throw from there, so nothing is ever thrown through the code here:
// an unknown command is an answer like any other, which module-api.js turns into a RangeError.

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/operations.h"
#include "core/window.h"

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
  for (const brindaq::OperationButton& row : brindaq::kOperationButtons) {
    text += &row == &brindaq::kOperationButtons.front() ? "" : ", ";
    text += row.command;
  }
  return text;
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
  const brindaq::CaptionFont font = window::FontOf(control);
  val result = val::object();
  result.set("name", Text(control.name));
  result.set("kind", KindName(control.kind));
  result.set("text", Text(window::TextOf(control)));
  result.set("left", pixels.left);
  result.set("top", pixels.top);
  result.set("width", pixels.width);
  result.set("height", pixels.height);
  result.set("fontPixels", window::FontPixels(font));
  result.set("bold", font.bold);
  // What a click on the button does: an operation's command, or "exit", "clear", "info".
  if (const std::string_view command = window::CommandOf(control); !command.empty()) {
    result.set("command", Text(command));
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
  result.set("labels", labels);
  result.set("operandBoxes", TextArray(window::kOperandBoxes));
  result.set("resultList", Text(window::kResultList));
  result.set("infoLines", TextArray(window::kInfoLines));
  result.set("copyAction", Text(window::kCopyAction));
  result.set("copyAllAction", Text(window::kCopyAllAction));
  return result;
}

// One click of an operation as one text: the notice (empty when there is none), then each line
// after a "\n". The lines hold no newline, so module-api.js splits it back into { lines, notice }:
// one text crosses into JavaScript far quicker than thousands of short ones.
std::string RunText(const std::string& command, const std::string& a, const std::string& b,
                    const std::string& c) {
  const brindaq::OperationButton* operation = brindaq::FindCommand(command);
  if (operation == nullptr) {
    return UnknownCommand(command);
  }
  const brindaq::Outcome outcome = operation->run({a, b, c});
  std::size_t size = outcome.notice ? outcome.notice->size() : 0;
  for (const std::string& line : outcome.lines) {
    size += line.size() + 1;
  }
  std::string text;
  text.reserve(size);
  if (outcome.notice) {
    text += *outcome.notice;
  }
  for (const std::string& line : outcome.lines) {
    text += '\n';
    text += line;
  }
  return text;
}

// The name of the box ("Text1", "Text2", "Text3") that `notice` of `command` is about, so that
// the keyboard can be taken back to it; empty for a notice that names no operand.
std::string NoticeOperandText(const std::string& command, const std::string& a,
                              const std::string& b, const std::string& c,
                              const std::string& notice) {
  const brindaq::OperationButton* operation = brindaq::FindCommand(command);
  if (operation == nullptr) {
    return UnknownCommand(command);
  }
  const auto letter = brindaq::NoticeOperand(*operation, {a, b, c}, notice);
  return letter ? std::string(window::kOperandBoxes[static_cast<std::size_t>(*letter - 'A')]) : "";
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
  emscripten::function("descriptionOf", &Description);
  emscripten::function("noticeOperandText", &NoticeOperandText);
  emscripten::function("copiedTextOf", &CopiedTextOf);
  emscripten::function("canCopyCount", &window::CanCopy);
}
