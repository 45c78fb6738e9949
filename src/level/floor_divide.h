// Integer division rounded towards minus infinity, as pixel-to-cell
// conversions and colour shading need it.
#pragma once

#include <cstdint>

namespace terrafix {

constexpr int32_t FloorDivide(int32_t value, int32_t divisor) {
  const int32_t q = value / divisor;
  return (value % divisor != 0 && ((value < 0) != (divisor < 0))) ? q - 1 : q;
}

}  // namespace terrafix
