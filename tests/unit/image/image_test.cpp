#include <gtest/gtest.h>

#include <stdexcept>

#include "image/image.h"
#include "image/shift.h"

namespace kxp40s {
namespace {

Image imageWithByte(int address, std::uint8_t value) {
    Image image;
    image.set(address, value);
    return image;
}

TEST(BitFields, GetFieldReadsRightAlignedBits) {
    struct Case {
        const char* name;
        std::uint8_t byte;
        int firstBit, bitCount;
        int expected;
    };
    const Case cases[] = {
        {"whole byte", 0xA5, 0, 8, 0xA5},
        {"top bit of FF", 0xFF, 7, 1, 1},
        {"middle pair", 0x18, 3, 2, 3},
        {"bit count 0", 0xFF, 3, 0, 0},
        {"bit count past 8 reads the rest", 0xF0, 4, 9, 0x0F},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GetField(imageWithByte(0x123, c.byte), 0x123, c.firstBit, c.bitCount),
                  c.expected);
    }
}

TEST(BitFields, SetFieldReplacesOnlyItsBits) {
    struct Case {
        const char* name;
        std::uint8_t before;
        int firstBit, value, bitCount;
        std::uint8_t after;
    };
    const Case cases[] = {
        {"whole byte", 0x5A, 0, 0xC3, 8, 0xC3},  {"clear top bit", 0xFF, 7, 0, 1, 0x7F},
        {"pair into zero", 0x00, 3, 2, 2, 0x10}, {"pair into ones", 0xFF, 3, 2, 2, 0xF7},
        {"top pair 1", 0x00, 6, 1, 2, 0x40},     {"top pair 2", 0x00, 6, 2, 2, 0x80},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Image image = imageWithByte(7, c.before);
        SetField(image, 7, c.firstBit, c.value, c.bitCount);
        EXPECT_EQ(image.at(7), c.after);
    }
}

TEST(BitFields, SetFieldThatCannotFitChangesNothing) {
    struct Case {
        const char* name;
        int firstBit, value, bitCount;
    };
    const Case cases[] = {
        {"field crosses the byte", 7, 1, 2},
        {"value too wide once shifted", 6, 4, 2},
        {"negative value", 0, -1, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Image image = imageWithByte(9, 0x5A);
        EXPECT_THROW(SetField(image, 9, c.firstBit, c.value, c.bitCount), std::overflow_error);
        EXPECT_EQ(image.at(9), 0x5A);
    }
}

TEST(BitFields, AddressesOutsideTheImageThrowBeforeAnyChange) {
    Image image;
    const Image before = image;
    EXPECT_THROW(GetField(image, 2048, 0, 1), std::out_of_range);
    EXPECT_THROW(GetField(image, -1, 0, 1), std::out_of_range);
    EXPECT_THROW(SetField(image, 2048, 0, 1, 1), std::out_of_range);
    const std::uint8_t three[3] = {1, 2, 3};
    EXPECT_THROW(image.write(2046, three), std::out_of_range);
    EXPECT_EQ(image, before);
    EXPECT_NO_THROW(image.write(2045, three));
    EXPECT_EQ(image.at(2047), 3);
}

TEST(Shifts, RightShiftsTruncateTowardZero) {
    std::int32_t x = -5;
    ShiftRightLong(x, 1);
    EXPECT_EQ(x, -2);
    EXPECT_EQ(ShiftRightLongOf(0x12345678, 8), 0x123456);
    std::int16_t small = -7;
    ShiftRightInt(small, 2);
    EXPECT_EQ(small, -1);
    double v = 10.5;  // rounds half to even first: 10 / 4
    ShiftRightVar(v, 2);
    EXPECT_EQ(v, 2.0);
}

TEST(Shifts, LeftShiftsThatOverflowThrowInsteadOfWrapping) {
    std::uint8_t b = 0x80;
    EXPECT_THROW(ShiftLeftByte(b, 1), std::overflow_error);
    EXPECT_EQ(b, 0x80);
    b = 0x40;
    ShiftLeftByte(b, 1);
    EXPECT_EQ(b, 0x80);
    std::int32_t x = 0x40000000;
    EXPECT_THROW(ShiftLeftLong(x, 1), std::overflow_error);
    x = 3;
    ShiftLeftLong(x, 4);
    EXPECT_EQ(x, 48);
    double v = 3;
    ShiftLeftVar(v, 40);
    EXPECT_EQ(v, 3.0 * 1099511627776.0);
}

}  // namespace
}  // namespace kxp40s
