#include "platform/text/number_text.h"

namespace terrafix {

std::string WithThousands(size_t number) {
  const std::string digits = std::to_string(number);
  std::string text;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return text;
}

bool ReadShortNumber(const std::string& text, int32_t& number) {
  if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  number = std::stoi(text);
  return true;
}

}  // namespace terrafix
