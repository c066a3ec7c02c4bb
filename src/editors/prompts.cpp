#include "editors/prompts.h"

#include <algorithm>
#include <span>

#include "image/binding.h"
#include "image/default_tables.h"
#include "image/field_map.h"
#include "image/prompt_record.h"
#include "image/text.h"

namespace kxp40s {

namespace {

constexpr int kLogoBox = 0;
constexpr int kLogoTextMode = 0x3B;  // bits 0-1: 0 no logo text, 2 a logo text
constexpr int kSourceMode = 0x3B;    // bit 5 direction, bit 6 enabled
constexpr int kLanguageCopy1 = 0x3A;
constexpr int kLanguageCopy2 = 0x3E;
constexpr int kLogoCode = 0x3F;
constexpr int kPromptSetAddress = 0x100;
constexpr int kHistoryAddress = 0x3B8;
constexpr int kFlashOnlyAddress = 0xA0;
constexpr int kLargeLength = 16;
constexpr int kSmallLength = 21;
constexpr int kMaxLeadingSpaces = 15;

constexpr std::array<int, 6> kLanguageCodes = {2, 5, 6, 8, 11, 15};
enum Language { English, Spanish, French, German, Danish, Swedish };

ControlId promptControl(int index) {
    return {"txtPrompt", index};
}
const ControlId kLngList{"cboLng"};
const ControlId kLogoList{"cboLogo"};
const ControlId kSourceList{"cboSource"};

const Message kTooLong = warning("Can not exceed 18 characters exclude left space!", kShortTitle);
const Message kNotStorable = warning(
    "A prompt can only hold letters, digits and signs of the Western European character set.",
    kShortTitle);

// The language whose tables Load Default and a language change copy;
// English when the list shows nothing.
Language selectedLanguage(const Session& s) {
    const int index = s.controls[kLngList].value;
    return index < 0 ? English : static_cast<Language>(index);
}

const PromptSet& promptSetOf(Language language) {
    const DefaultTables& t = defaultTables();
    switch (language) {
        case Spanish:
            return t.PromptsSpanish;
        case French:
            return t.PromptsFrench;
        case German:
            return t.PromptsGerman;
        default:
            return t.DefaultPromptsEnglish;
    }
}

const PromptRecord& flashOnlyOf(Language language) {
    const DefaultTables& t = defaultTables();
    switch (language) {
        case Spanish:
            return t.FlashOnlySpanish;
        case French:
            return t.FlashOnlyFrench;
        case German:
            return t.FlashOnlyGerman;
        default:
            return t.FlashOnlyEnglish;
    }
}

const HistorySet* historyOf(Language language) {
    const DefaultTables& t = defaultTables();
    if (language == French) return &t.HistoryPromptsFrench;
    if (language == German) return &t.HistoryPromptsGerman;
    return nullptr;
}

// The default bytes of the 20-byte record at `address` for `language`.
std::span<const std::uint8_t> defaultRecord(int address, Language language) {
    const DefaultTables& t = defaultTables();
    const auto record = [](std::span<const std::uint8_t> table, int offset) {
        return table.subspan(static_cast<std::size_t>(offset), kPromptRecordSize);
    };
    if (address == kFlashOnlyAddress) return flashOnlyOf(language);
    if (address < 875) return record(promptSetOf(language), address - kPromptSetAddress);
    if (address < 1024) return record(t.DefaultBlock876, address - 876);
    if (address < 1344) return record(t.DefaultBlock1024, address - 1024);
    return record(t.DefaultBlock1344, address - 1344);
}

int leadingSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    return static_cast<int>(first == std::string_view::npos ? text.size() : first);
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Byte 16 is the lamp mark that "Push Key Lamp On Enable" puts into the
// "CHIRP OFF" prompt: a box that shows it must store it back unchanged.
constexpr unsigned char kLampMark = 16;

bool hasControlCharacters(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b < 0x20 && b != kLampMark) || b == 0x7F;
    });
}

int maxLengthOf(const Session& s, int index) {
    const int length = s.controls[promptControl(index)].maxLength;
    return length > 0 ? length : kSmallLength;
}

void setLogoTextMode(Session& s, int mode) {
    SetField(s.ConfigImage, kLogoTextMode, 0, mode, 2);
}

void styleLogoBox(Session& s, int logoIndex) {
    const bool large = logoIndex == 0;
    s.controls.setStyle(promptControl(kLogoBox), large ? kLargeLength : kSmallLength, large);
}

void alignTarget(Session& s, int index, int spacesFor(int room)) {
    if (index == 1) s.CurPrompt = kLogoBox;
    const ControlId target = promptControl(s.CurPrompt);
    const std::string text(trimmed(s.controls[target].text));
    const int room = maxLengthOf(s, s.CurPrompt) - static_cast<int>(text.size());
    s.controls.setText(
        target, std::string(static_cast<std::size_t>(std::max(0, spacesFor(room))), ' ') + text);
}

}  // namespace

std::optional<int> languageIndexOfCode(int code) {
    if (code >= 0 && code <= 2) return English;
    for (std::size_t i = 1; i < kLanguageCodes.size(); ++i) {
        if (kLanguageCodes[i] == code) return static_cast<int>(i);
    }
    return std::nullopt;
}

void read_prompt(Session& s) {
    for (const PromptBox& box : promptBoxes()) {
        s.controls.setText(promptControl(box.index),
                           windows1252ToUtf8(shownPromptText(s.ConfigImage, box.address)));
    }
}

void read_SourcePrompt(Session& s) {
    runLoader(s, 5, [&] {
        const bool enabled = GetField(s.ConfigImage, kSourceMode, 6, 1) == 1;
        s.controls.setValue(kSourceList,
                            enabled ? GetField(s.ConfigImage, kSourceMode, 5, 1) + 1 : 0);
        for (int n = kFirstSourcePrompt; n <= kLastSourcePrompt; ++n) {
            const ControlId check{"chkSource", n};
            s.controls.setEnabled(check, enabled);
            s.controls.setEnabled(promptControl(n), enabled && s.controls[check].value == 1);
        }
    });
}

void Set_PromptEd_Width(Session& s) {
    for (const PromptBox& box : promptBoxes()) {
        if (box.index != kLogoBox)
            s.controls.setStyle(promptControl(box.index), kSmallLength, false);
    }
    // The logo list's code goes back into the image only where the list shows
    // the stored code's own item (a stored 1 becomes its item's 0); a code
    // without an item is left as the pager has it.
    const int shown = s.controls[kLogoList].value;
    if (shown < 0) return;
    styleLogoBox(s, shown);
    if (logoIndexOfCode(GetField(s.ConfigImage, kLogoCode, 0, 4)) == shown) {
        SetField(s.ConfigImage, kLogoCode, 0, logoCodeOfIndex(shown), 4);
    }
}

void read_logo(Session& s) {
    if (const auto index = logoIndexOfCode(GetField(s.ConfigImage, kLogoCode, 0, 4)))
        cboLogo_Click(s, *index);
}

void read_language(Session& s) {
    if (const auto index = languageIndexOfCode(GetField(s.ConfigImage, kLanguageCopy2, 0, 4))) {
        s.controls.setValue(kLngList, *index);
    }
}

Effects txtPrompt_GotFocus(Session& s, int index) {
    Operation op(s);
    s.CurPrompt = index;
    return op.done();
}

Effects txtPrompt_KeyPress(Session& s, int /*index*/, int& keyAscii) {
    Operation op(s);
    if (keyAscii == 13) {
        keyAscii = 0;
        s.focusOn({"picTabBack"});
    }
    return op.done();
}

Effects txtPrompt_LostFocus(Session& s, int index, std::string_view text) {
    Operation op(s);
    const ControlId box = promptControl(index);
    const std::string typed(text);  // `text` may be the box's own text, replaced next
    s.controls.setText(box, typed);
    const auto bytes = utf8ToWindows1252(typed);
    if (!bytes || hasControlCharacters(*bytes)) {
        s.refuse(kNotStorable, box);
        return op.done();
    }
    const std::string_view t = *bytes;
    int lead = leadingSpaces(t);
    const int extra = lead >= kMaxLeadingSpaces ? lead - kMaxLeadingSpaces : 0;
    lead = std::min(lead, kMaxLeadingSpaces);
    std::string stored =
        std::string(static_cast<std::size_t>(extra), ' ') + std::string(trimmed(t));
    // The record holds 18 characters: more, counting the spaces beyond the 15
    // that byte 0 can say, would run into the next record.
    if (static_cast<int>(t.size()) - leadingSpaces(t) > kMaxPromptChars ||
        static_cast<int>(stored.size()) > kMaxPromptChars ||
        static_cast<int>(t.size()) > maxLengthOf(s, index)) {
        s.refuse(kTooLong, box);
        return op.done();
    }
    const int address = promptBox(index).address;
    s.ConfigImage.set(address,
                      static_cast<std::uint8_t>((s.ConfigImage.at(address) & 0xF0) | lead));
    if (stored.empty()) stored = " ";
    if (index == kLogoBox) setLogoTextMode(s, trimmed(t).empty() && extra == 0 ? 0 : 2);
    s.ConfigImage.set(address + 1, static_cast<std::uint8_t>(stored.size()));
    s.ConfigImage.write(address + 2, std::span(reinterpret_cast<const std::uint8_t*>(stored.data()),
                                               stored.size()));
    read_prompt(s);
    return op.done();
}

Effects optLeft_Click(Session& s, int index) {
    Operation op(s);
    alignTarget(s, index, [](int) { return 0; });
    s.focusOn(promptControl(s.CurPrompt));
    return op.done();
}

Effects optCenter_Click(Session& s, int index) {
    Operation op(s);
    alignTarget(s, index, [](int room) { return room / 2; });
    if (s.FormReady) s.focusOn(promptControl(s.CurPrompt));
    return op.done();
}

Effects optRight_Click(Session& s, int index) {
    Operation op(s);
    alignTarget(s, index, [](int room) { return room; });
    s.focusOn(promptControl(s.CurPrompt));
    return op.done();
}

Effects optDefault_Click(Session& s, int /*index*/) {
    Operation op(s);
    const Language language = selectedLanguage(s);
    if (const HistorySet* history = historyOf(language))
        s.ConfigImage.write(kHistoryAddress, *history);
    const int address = promptBox(s.CurPrompt).address;
    s.ConfigImage.write(address, defaultRecord(address, language));
    read_prompt(s);
    s.focusOn(promptControl(s.CurPrompt));
    return op.done();
}

Effects cboLng_Click(Session& s, int listIndex) {
    Operation op(s);
    s.controls.setValue(kLngList, listIndex);
    if (s.LoadingControls) {
        s.LoadingControls = false;
        return op.done();
    }
    const auto language = static_cast<Language>(listIndex);
    const int code = kLanguageCodes.at(static_cast<std::size_t>(listIndex));
    setLogoTextMode(s, 2);
    SetField(s.ConfigImage, kLanguageCopy1, 0, code, 4);
    SetField(s.ConfigImage, kLanguageCopy2, 0, code, 4);
    s.ConfigImage.write(kPromptSetAddress, promptSetOf(language));
    if (const HistorySet* history = historyOf(language))
        s.ConfigImage.write(kHistoryAddress, *history);
    s.ConfigImage.write(kFlashOnlyAddress, flashOnlyOf(language));
    Set_PromptEd_Width(s);
    read_prompt(s);
    return op.done();
}

Effects cboLogo_Click(Session& s, int listIndex) {
    Operation op(s);
    s.controls.setValue(kLogoList, listIndex);
    SetField(s.ConfigImage, kLogoCode, 0, logoCodeOfIndex(listIndex), 4);
    styleLogoBox(s, listIndex);
    return op.done();
}

Effects cboSource_Click(Session& s, int listIndex) {
    Operation op(s);
    s.controls.setValue(kSourceList, listIndex);
    if (listIndex == 0) {
        SetField(s.ConfigImage, kSourceMode, 6, 0, 1);
    } else {
        SetField(s.ConfigImage, kSourceMode, 6, 1, 1);
        SetField(s.ConfigImage, kSourceMode, 5, listIndex - 1, 1);
    }
    read_SourcePrompt(s);
    return op.done();
}

}  // namespace kxp40s
