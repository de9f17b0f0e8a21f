#include "core/text/text.h"

namespace brindaq {
namespace {

// How many characters of a name a message shows.
constexpr std::size_t kShownCharacters = 64;

// The escape of a byte inside $'...': a letter for the common controls, else two hex digits.
void AppendEscaped(unsigned char byte, std::string& text) {
  constexpr std::string_view kLetters = "abtnvfr";  // 0x07 to 0x0D
  text += '\\';
  if (byte >= 0x07 && byte <= 0x0D) {
    text += kLetters[byte - 0x07];
  } else if (byte == 0x1B) {
    text += 'e';
  } else if (byte == '\\' || byte == '\'') {
    text += static_cast<char>(byte);
  } else {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    text += 'x';
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
}

// The first character of `text` (not empty): its UTF-8 bytes, or its first byte alone when that
// does not start a well-formed character.
std::string_view FirstCharacter(std::string_view text) {
  const std::size_t size = Utf8CharacterSize(text);
  return text.substr(0, size == 0 ? 1 : size);
}

// Whether a character is shown as it is: well-formed UTF-8, and not a control character of C0,
// DEL or C1 (U+0080 to U+009F, written C2 80 to C2 9F).
bool Printable(std::string_view character) {
  const auto byte = [character](std::size_t i) { return static_cast<unsigned char>(character[i]); };
  if (Utf8CharacterSize(character) != character.size()) {
    return false;
  }
  if (character.size() == 1) {
    return byte(0) >= 0x20 && byte(0) != 0x7F;
  }
  return byte(0) != 0xC2 || byte(1) >= 0xA0;
}

}  // namespace

std::string QuotedName(std::string_view name) {
  std::size_t shown = 0;  // the bytes of the characters shown
  bool plain = true;      // whether they can stand between plain quotes
  for (std::size_t count = 0; shown < name.size() && count < kShownCharacters; ++count) {
    const std::string_view character = FirstCharacter(name.substr(shown));
    plain = plain && character != "'" && Printable(character);
    shown += character.size();
  }
  std::string text = plain ? "'" : "$'";
  for (std::size_t i = 0; i < shown;) {
    const std::string_view character = FirstCharacter(name.substr(i, shown - i));
    if (plain || (character != "\\" && character != "'" && Printable(character))) {
      text += character;
    } else {
      for (const char byte : character) {
        AppendEscaped(static_cast<unsigned char>(byte), text);
      }
    }
    i += character.size();
  }
  text += '\'';
  if (shown < name.size()) {
    text += "...";
  }
  return text;
}

std::size_t Utf8CharacterSize(std::string_view text) {
  if (text.empty()) {
    return 0;
  }
  const auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) {
    return 1;
  }
  // The size from the lead byte, and the range of the second byte that keeps the character
  // shortest in form, outside the surrogates and at most U+10FFFF.
  std::size_t size = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    size = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    size = 3;
    low = lead == 0xE0 ? 0xA0 : low;
    high = lead == 0xED ? 0x9F : high;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    size = 4;
    low = lead == 0xF0 ? 0x90 : low;
    high = lead == 0xF4 ? 0x8F : high;
  } else {
    return 0;
  }
  if (text.size() < size || byte(1) < low || byte(1) > high) {
    return 0;
  }
  for (std::size_t i = 2; i < size; ++i) {
    if ((byte(i) & 0xC0) != 0x80) {
      return 0;
    }
  }
  return size;
}

}  // namespace brindaq
