// UTF-8, as terminals and the window system hand over typed text and as file
// names and terminal output are written.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace terrafix {

constexpr char32_t ReplacementCharacter = 0xFFFD;

// The character that starts at `at`, moving `at` past it. A broken sequence
// (a stray continuation byte, a lead byte whose continuation bytes are
// missing, an overlong form, a surrogate or a value past U+10FFFF) gives one
// ReplacementCharacter and moves past its first byte only, so the byte after
// it is read as itself.
char32_t DecodeUtf8(std::string_view text, size_t& at);

// Whether the bytes from `at` to the end of `text` are the start of a valid
// character that is still missing its last bytes (more may be on the way).
bool Utf8Unfinished(std::string_view text, size_t at);

void AppendUtf8(std::string& out, char32_t point);

// The longest start of `text` of at most `limit` bytes that does not end
// inside a character.
inline std::string_view CutAtCharacter(std::string_view text, size_t limit) {
  if (text.size() <= limit) return text;
  size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;  // a continuation byte
  return text.substr(0, end);
}

}  // namespace terrafix
