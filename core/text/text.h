#pragma once

// Texts that the program is given and shows again: names made safe to show in a message, and the
// well-formedness of UTF-8.

#include <cstddef>
#include <string>
#include <string_view>

namespace brindaq {

// A name that the program was given, as its messages show it, so that no name can move the
// cursor, retitle a terminal or break a message in two: between single quotes ('factors'); or,
// when it holds a quote, a control character or a byte that is not UTF-8, in the shell's $'...'
// form with those escaped ($'\e]0;x\a', $'a\nb', $'\xFF', $'it\'s'). Only its first 64
// characters are shown; "..." after the closing quote says that more followed.
std::string QuotedName(std::string_view name);

// The number of bytes of the UTF-8 character at the start of `text`, 1 to 4; 0 when `text` is
// empty or does not start with a well-formed one (a stray byte, an overlong form, a surrogate).
std::size_t Utf8CharacterSize(std::string_view text);

}  // namespace brindaq
