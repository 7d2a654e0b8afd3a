#pragma once
// UTF-8 (the strings of SWF 6 and later) to and from UTF-16, the units in which the
// player counts string positions.

#include <string>
#include <string_view>

namespace plavex::swf {

// A byte that does not start a valid sequence stands for itself (Latin-1), as the player
// reads such strings; surrogate pairs for code points above U+FFFF.
std::u16string toUtf16(std::string_view s);
// Unpaired surrogates are written as they are (three bytes each).
std::string fromUtf16(std::u16string_view s);
void appendUtf8(std::string& out, char32_t codePoint);

}  // namespace plavex::swf
