// Numbers as the editor's messages write them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace terrafix {

// 70000 as "70,000".
std::string WithThousands(size_t number);

// A number of at most four decimal digits and nothing else, as the command
// line's options take them; false, with `number` as it was, for any other text.
bool ReadShortNumber(const std::string& text, int32_t& number);

}  // namespace terrafix
