#pragma once

// Where the pager's memory holds what. Every address the program uses
// outside the table of bound fields (field_map.h) is declared here, once;
// values that span bytes are read and written through the accessors below,
// big-endian (the most significant byte at the lowest address), as the
// pager stores them.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "image/image.h"

namespace kxp40s::pager {

// A run of bytes of the memory.
struct Run {
    int address;
    int length;
    constexpr int last() const { return address + length - 1; }
    constexpr bool contains(int a) const { return a >= address && a <= last(); }
};

// A bit field inside one byte.
struct Bits {
    int address;
    int firstBit;
    int bitCount;
};

// Synthesizer words and the channel raster.
inline constexpr Run kPllN{0x005, 3};
inline constexpr Run kPllR{0x009, 3};
// 128 or more marks a GP(RoHS) pager, whose N word is N shifted left by 7.
inline constexpr Run kPllIncd{0x00C, 2};
inline constexpr int kRoHSIncd = 128;
inline constexpr int kStepKHz = 0x00E;
inline constexpr int kStepHundredths = 0x45A;  // the step's hundredths of a kHz
inline constexpr Bits kAutoStep{0x036, 0, 1};
inline constexpr Run kBaseFreq{0x064, 4};      // the raster's base, 100 Hz units
inline constexpr Bits kBandCode{0x065, 4, 4};  // the band variant the words were made for
inline constexpr Run kPagerFreq{0x068, 4};     // the receive frequency, 100 Hz units

// Capcodes and their function bits.
inline constexpr Run kCapcodeTable{0x040, 32};  // eight slots of four bytes
inline constexpr int kCapcodeSlotSize = 4;
inline constexpr int kPriorityBits = 0x032;      // two slots a byte
inline constexpr int kMessageTypeTable = 0x370;  // four bytes a slot, one a function bit
inline constexpr int kDisplayTypeTable = 0x390;
// One decimal digit a byte, the last digit lowest: the first digit is at &H3B3.
inline constexpr Run kPassword{0x3B0, 4};

// Alerts, memory and the display.
inline constexpr int kMailDropMemory = 0x01E;  // mail drops 1-14, one byte each
inline constexpr int kTone = 0x02E;
inline constexpr int kMailDropEnable = 0x037;  // mail drops 1-8, then 9-F at &H38
inline constexpr int kPersonalMemory = 0x06C;
inline constexpr int kPersonalLength = 0x090;
inline constexpr int kMailDropAlert = 0x091;  // mail drop i at &H91 + i - 1
inline constexpr int kBatteryLow = 0x08D;     // Med and High follow
inline constexpr Bits kContrast{0x089, 0, 4};

// Language, logo and the prompts.
inline constexpr Bits kLanguage{0x03A, 0, 4};      // the letters of the pager's texts
inline constexpr int kLanguageCopy = 0x03E;        // what the language list shows
inline constexpr Bits kLogoTextMode{0x03B, 0, 2};  // 0 no logo text, 2 a logo text
inline constexpr int kSourceMode = 0x03B;          // bit 5 direction, bit 6 enabled
inline constexpr int kLogoCode = 0x03F;
inline constexpr int kFlashOnlyPrompt = 0x0A0;
inline constexpr Run kPromptSet{0x100, 620};      // 31 records of 20 bytes
inline constexpr Run kHistoryPrompts{0x3B8, 40};  // two records
inline constexpr Run kSourcePrompts{0x540, 640};  // 32 records, four a capcode
inline constexpr int kSourceEnable = 0x7C0;       // one byte a source prompt

// The pager's menu.
inline constexpr Run kMenuList{0x078, 7};  // present entries last, in ascending order
inline constexpr int kLockout = 0x03C;
inline constexpr int kOutOfService = 0x03D;

// What the pager says of itself, and what a write adds.
inline constexpr int kProgrammedMark = 0x3E0;  // 1 once written; left out of the checksum
// 14 characters: the model in 1-5, the PCB revision in 6-9, the software in 10-14.
inline constexpr Run kIdentity{0x3E1, 14};
inline constexpr Run kModel{0x3E1, 5};
inline constexpr std::string_view kModelText = "KXP40";
inline constexpr int kFirmware = 0x459;  // the firmware version times ten
// The byte the read's checksum test also counts as 255, with the firmware
// byte: some pagers were checksummed before either was set.
inline constexpr int kAfterFirmware = 0x45A;
// The last two bytes of the memory hold its checksum.
inline constexpr int kLastAddress = kImageSize - 1;
// A pager of the old format has no memory past this address and no checksum.
inline constexpr int kOldFormatLast = 0x7DF;

// The memory's texts in the pager's letters (the language's national
// variant of ASCII): the prompts, the history prompts and the source prompts.
inline constexpr Run kTextAreas[] = {kPromptSet, kHistoryPrompts, kSourcePrompts};

std::uint32_t readWord(const Image& image, Run run);
// Stores the low bytes of `word` over `run`.
void writeWord(Image& image, Run run, std::int64_t word);

inline int bitsOf(const Image& image, Bits bits) {
    return GetField(image, bits.address, bits.firstBit, bits.bitCount);
}
inline void setBits(Image& image, Bits bits, int value) {
    SetField(image, bits.address, bits.firstBit, value, bits.bitCount);
}

inline int languageCode(const Image& image) {
    return bitsOf(image, kLanguage);
}
inline int contrast(const Image& image) {
    return bitsOf(image, kContrast);
}
inline int bandCode(const Image& image) {
    return bitsOf(image, kBandCode);
}
inline std::uint16_t pllIncd(const Image& image) {
    return static_cast<std::uint16_t>(readWord(image, kPllIncd));
}

// The checksum of the memory 0..last: the 16-bit sum of every byte up to
// last - 2 but the programmed mark, stored big-endian in last - 1 and last.
std::uint16_t checksumOf(std::span<const std::uint8_t> memory, int last);
void storeChecksum(std::span<std::uint8_t> memory, int last);
std::uint16_t storedChecksum(std::span<const std::uint8_t> memory, int last);

// The identity text: its characters up to the first byte outside 32-127.
class Identity {
  public:
    explicit Identity(std::span<const std::uint8_t> bytes);
    static Identity of(const Image& image);

    const std::string& text() const { return text_; }
    // Characters 1-5, 6-9 and 10-14; missing characters are empty.
    std::string model() const { return part(0, 5); }
    std::string pcb() const { return part(5, 4); }
    std::string software() const { return part(9, 5); }
    bool isKxp40() const { return model() == kModelText; }
    // Software "V5.12" gives 512: characters 11, 13 and 14; nothing when
    // they are not all digits (a blank or unreadable version).
    std::optional<int> softwareVersion() const;

  private:
    std::string part(std::size_t from, std::size_t count) const;
    std::string text_;
};

// The identity bytes as printable text, "." for each byte that is not.
std::string printableIdentity(const Image& image);
std::string printableIdentity(std::span<const std::uint8_t> bytes);

}  // namespace kxp40s::pager
