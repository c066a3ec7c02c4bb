#include "image/shift.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace kxp40s {

namespace {

double powerOfTwo(int n) {
    if (n < 0 || n > 255) throw std::overflow_error("shift count out of range");
    return std::ldexp(1.0, n);
}

std::int32_t powerOfTwoInt(int n) {
    if (n < 0 || n > 30) throw std::overflow_error("shift count out of range for 32 bits");
    return std::int32_t{1} << n;
}

template <typename T>
T checkedFromDouble(double v) {
    if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max()) {
        throw std::overflow_error("shift result out of range");
    }
    return static_cast<T>(v);
}

}  // namespace

void ShiftLeftLong(std::int32_t& x, int n) {
    x = checkedFromDouble<std::int32_t>(static_cast<double>(x) * powerOfTwo(n));
}

void ShiftRightLong(std::int32_t& x, int n) {
    x = ShiftRightLongOf(x, n);
}

std::int32_t ShiftRightLongOf(std::int32_t x, int n) {
    return x / powerOfTwoInt(n);
}

void ShiftRightInt(std::int16_t& x, int n) {
    x = static_cast<std::int16_t>(x / powerOfTwoInt(n));
}

void ShiftLeftByte(std::uint8_t& b, int n) {
    b = checkedFromDouble<std::uint8_t>(static_cast<double>(b) * powerOfTwo(n));
}

void ShiftLeftVar(double& v, int n) {
    v *= powerOfTwo(n);
}

void ShiftRightVar(double& v, int n) {
    const double divisor = std::nearbyint(powerOfTwo(n));
    v = std::trunc(std::nearbyint(v) / divisor);
}

}  // namespace kxp40s
