#include "platform/text/utf8.h"

namespace terrafix {

namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// How many bytes a character with this lead byte has; 0 for a byte that
// cannot start one.
size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The allowed range of the second byte, which rules out overlong forms,
// surrogates and values past U+10FFFF.
bool SecondByteFits(unsigned char lead, unsigned char second) {
  if (lead == 0xE0) return second >= 0xA0 && second <= 0xBF;
  if (lead == 0xED) return second >= 0x80 && second <= 0x9F;
  if (lead == 0xF0) return second >= 0x90 && second <= 0xBF;
  if (lead == 0xF4) return second >= 0x80 && second <= 0x8F;
  return IsContinuation(second);
}

// How many bytes from `at` belong to a valid start of a character (at most
// its length).
size_t ValidPrefix(std::string_view text, size_t at, size_t length) {
  const auto lead = static_cast<unsigned char>(text[at]);
  size_t n = 1;
  while (n < length && at + n < text.size()) {
    const auto c = static_cast<unsigned char>(text[at + n]);
    if (n == 1 ? !SecondByteFits(lead, c) : !IsContinuation(c)) break;
    ++n;
  }
  return n;
}

}  // namespace

char32_t DecodeUtf8(std::string_view text, size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const size_t length = SequenceLength(lead);
  if (length == 1) {
    ++at;
    return lead;
  }
  if (length == 0 || ValidPrefix(text, at, length) < length) {
    ++at;
    return ReplacementCharacter;
  }
  char32_t point = lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) point = (point << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3F);
  at += length;
  return point;
}

bool Utf8Unfinished(std::string_view text, size_t at) {
  const size_t length = SequenceLength(static_cast<unsigned char>(text[at]));
  return length > 1 && at + length > text.size() && ValidPrefix(text, at, length) == text.size() - at;
}

void AppendUtf8(std::string& out, char32_t point) {
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += static_cast<char>(0xC0 | (point >> 6));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    out += static_cast<char>(0xE0 | (point >> 12));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (point >> 18));
    out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  }
}

}  // namespace terrafix
