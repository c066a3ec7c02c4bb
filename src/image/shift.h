#pragma once

#include <cstdint>

namespace kxp40s {

// Power-of-two shifts as the editors and the link use them to compose and
// split multi-byte values. Right shifts divide, truncating toward zero (so -5
// shifted right by 1 is -2, not -3); left shifts that leave the type's range
// throw std::overflow_error instead of wrapping. n is 0-30 for the 32-bit helpers.

void ShiftLeftLong(std::int32_t& x, int n);
void ShiftRightLong(std::int32_t& x, int n);
std::int32_t ShiftRightLongOf(std::int32_t x, int n);
void ShiftRightInt(std::int16_t& x, int n);
void ShiftLeftByte(std::uint8_t& b, int n);
void ShiftLeftVar(double& v, int n);
// Both operands are rounded to integers (half to even) before the division.
void ShiftRightVar(double& v, int n);

}  // namespace kxp40s
