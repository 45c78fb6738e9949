// Numbers as the editor's messages write them.
#pragma once

#include <cstddef>
#include <string>

namespace terrafix {

// 70000 as "70,000".
std::string WithThousands(size_t number);

}  // namespace terrafix
