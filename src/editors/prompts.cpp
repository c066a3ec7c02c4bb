#include "editors/prompts.h"

#include <algorithm>
#include <span>
#include <variant>

#include "image/binding.h"
#include "image/default_tables.h"
#include "image/field_map.h"
#include "image/pager_map.h"
#include "image/prompt_record.h"
#include "image/text.h"

namespace kxp40s {

namespace {

constexpr int kLogoBox = 0;
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
    const auto record = [](std::span<const std::uint8_t> table, int offset) {
        return table.subspan(static_cast<std::size_t>(offset), kPromptRecordSize);
    };
    if (address == pager::kFlashOnlyPrompt) return flashOnlyOf(language);
    if (pager::kPromptSet.contains(address))
        return record(promptSetOf(language), address - pager::kPromptSet.address);
    return defaultBytes(address, kPromptRecordSize);
}

int leadingSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    return static_cast<int>(first == std::string_view::npos ? text.size() : first);
}

std::string_view withoutTrailingSpaces(std::string_view text) {
    return text.substr(0, text.find_last_not_of(' ') + 1);
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
    SetField(s.ConfigImage, pager::kLogoTextMode.address, 0, mode, 2);
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

// What storing a typed text writes into a record: the spaces byte 0 counts
// (at most 15) and the characters, the spaces beyond 15 first.
struct StoredPrompt {
    int lead;
    std::string characters;
    bool logoText;  // the logo box holds a text (logo text mode 2)
};

std::variant<StoredPrompt, Message> storedPrompt(const Session& s, int index,
                                                 std::string_view typed) {
    const auto bytes = utf8ToWindows1252(typed);
    if (!bytes || hasControlCharacters(*bytes)) return kNotStorable;
    const std::string_view t = *bytes;
    const int lead = leadingSpaces(t);
    const int extra = std::max(0, lead - kMaxLeadingSpaces);
    std::string characters =
        std::string(static_cast<std::size_t>(extra), ' ') + std::string(trimmed(t));
    // The record holds 18 characters: more, counting the spaces beyond the 15
    // that byte 0 can say, would run into the next record.
    if (static_cast<int>(t.size()) - lead > kMaxPromptChars ||
        static_cast<int>(characters.size()) > kMaxPromptChars ||
        static_cast<int>(t.size()) > maxLengthOf(s, index)) {
        return kTooLong;
    }
    const bool logoText = !characters.empty();
    if (characters.empty()) characters = " ";
    return StoredPrompt{std::min(lead, kMaxLeadingSpaces), std::move(characters), logoText};
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
        const bool enabled = GetField(s.ConfigImage, pager::kSourceMode, 6, 1) == 1;
        s.controls.setValue(kSourceList,
                            enabled ? GetField(s.ConfigImage, pager::kSourceMode, 5, 1) + 1 : 0);
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
    if (logoIndexOfCode(GetField(s.ConfigImage, pager::kLogoCode, 0, 4)) == shown) {
        SetField(s.ConfigImage, pager::kLogoCode, 0, logoCodeOfIndex(shown), 4);
    }
}

void read_logo(Session& s) {
    if (const auto index = logoIndexOfCode(GetField(s.ConfigImage, pager::kLogoCode, 0, 4)))
        cboLogo_Click(s, *index);
}

void read_language(Session& s) {
    if (const auto index =
            languageIndexOfCode(GetField(s.ConfigImage, pager::kLanguageCopy, 0, 4))) {
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
    if (keyAscii == kEnterKey) {
        keyAscii = 0;
        s.focusOn({"picTabBack"});
    }
    return op.done();
}

bool promptTypesBack(const Session& s, int index) {
    const int address = promptBox(index).address;
    if (s.ConfigImage.at(address + 1) > kMaxPromptChars) return false;  // damaged: keep it whole
    const auto stored = storedPrompt(s, index, s.controls[promptControl(index)].text);
    const auto* prompt = std::get_if<StoredPrompt>(&stored);
    if (!prompt) return false;
    const std::string typed =
        std::string(static_cast<std::size_t>(prompt->lead), ' ') + prompt->characters;
    return withoutTrailingSpaces(shownPromptText(s.ConfigImage, address)) ==
           withoutTrailingSpaces(typed);
}

Effects txtPrompt_LostFocus(Session& s, int index, std::string_view text) {
    Operation op(s);
    const ControlId box = promptControl(index);
    const std::string typed(text);  // `text` may be the box's own text, replaced next
    s.controls.setText(box, typed);
    auto stored = storedPrompt(s, index, typed);
    if (auto* refusal = std::get_if<Message>(&stored)) {
        s.refuse(std::move(*refusal), box);
        return op.done();
    }
    const StoredPrompt& prompt = std::get<StoredPrompt>(stored);
    const int address = promptBox(index).address;
    s.ConfigImage.set(address,
                      static_cast<std::uint8_t>((s.ConfigImage.at(address) & 0xF0) | prompt.lead));
    if (index == kLogoBox) setLogoTextMode(s, prompt.logoText ? 2 : 0);
    s.ConfigImage.set(address + 1, static_cast<std::uint8_t>(prompt.characters.size()));
    s.ConfigImage.write(address + 2,
                        std::span(reinterpret_cast<const std::uint8_t*>(prompt.characters.data()),
                                  prompt.characters.size()));
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
        s.ConfigImage.write(pager::kHistoryPrompts.address, *history);
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
    SetField(s.ConfigImage, pager::kLanguage.address, 0, code, 4);
    SetField(s.ConfigImage, pager::kLanguageCopy, 0, code, 4);
    s.ConfigImage.write(pager::kPromptSet.address, promptSetOf(language));
    if (const HistorySet* history = historyOf(language))
        s.ConfigImage.write(pager::kHistoryPrompts.address, *history);
    s.ConfigImage.write(pager::kFlashOnlyPrompt, flashOnlyOf(language));
    Set_PromptEd_Width(s);
    read_prompt(s);
    return op.done();
}

Effects cboLogo_Click(Session& s, int listIndex) {
    Operation op(s);
    s.controls.setValue(kLogoList, listIndex);
    SetField(s.ConfigImage, pager::kLogoCode, 0, logoCodeOfIndex(listIndex), 4);
    styleLogoBox(s, listIndex);
    return op.done();
}

Effects cboSource_Click(Session& s, int listIndex) {
    Operation op(s);
    s.controls.setValue(kSourceList, listIndex);
    if (listIndex == 0) {
        SetField(s.ConfigImage, pager::kSourceMode, 6, 0, 1);
    } else {
        SetField(s.ConfigImage, pager::kSourceMode, 6, 1, 1);
        SetField(s.ConfigImage, pager::kSourceMode, 5, listIndex - 1, 1);
    }
    read_SourcePrompt(s);
    return op.done();
}

}  // namespace kxp40s
