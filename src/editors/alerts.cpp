#include "editors/alerts.h"

#include <algorithm>
#include <span>
#include <stdexcept>
#include <string>

#include "image/message.h"
#include "image/pager_map.h"

namespace kxp40s {

namespace {

constexpr int kMailDropSummaries = 15;
constexpr int kMemoryShown = 14;

constexpr const char* kBatteryOrder =
    "Waring ! You must let ( Level-High > Level-Med > Level-Low ).";

// The list item whose code is `code`; nullopt when none has it.
std::optional<int> itemOfCode(std::span<const std::uint8_t> codes, std::uint8_t code) {
    const auto it = std::find(codes.begin(), codes.end(), code);
    if (it == codes.end()) return std::nullopt;
    return static_cast<int>(it - codes.begin());
}

void checkListIndex(int listIndex, std::size_t items) {
    if (listIndex < 0 || listIndex >= static_cast<int>(items))
        throw std::out_of_range("no such list item");
}

void checkMailDrop(int mailDrop) {
    if (mailDrop < 1 || mailDrop > kMailDrops) throw std::out_of_range("no such mail drop");
}

int enableAddress(int mailDrop) {
    return pager::kMailDropEnable + (mailDrop - 1) / 8;
}
int enableBit(int mailDrop) {
    return (mailDrop - 1) % 8;
}

std::string twoDigits(int value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

// The length caption for an alert code; nullopt leaves the caption as it was.
std::optional<std::string> personalCaption(std::uint8_t code) {
    if (code == 0) return "CT";
    if (code == 2 || code == 8 || code == 16 || code == 32) return twoDigits(code);
    return std::nullopt;
}

std::optional<std::string> mailDropCaption(const Image& image, int mailDrop) {
    if (GetField(image, enableAddress(mailDrop), enableBit(mailDrop), 1) == 0) return "--";
    const std::uint8_t code = image.at(pager::kMailDropAlert + mailDrop - 1);
    if (code == 0) return "BP";
    if (code == 1 || code == 16) return twoDigits(code);
    return std::nullopt;
}

void setCaption(Session& s, ControlId label, const std::optional<std::string>& caption) {
    if (caption) s.controls.setText(label, *caption);
}

// Memory bytes count 256-byte units; the summary shows kilobytes rounded
// half up, at least two digits.
std::string memoryCaption(std::uint8_t units) {
    return twoDigits((units + 2) / 4);
}

bool batteryLevelsInOrder(const Image& image) {
    return image.at(pager::kBatteryLow) < image.at(pager::kBatteryLow + 1) &&
           image.at(pager::kBatteryLow + 1) < image.at(pager::kBatteryLow + 2);
}

void warnUnlessBatteryInOrder(Session& s) {
    if (!batteryLevelsInOrder(s.ConfigImage))
        s.say(Message{kShortTitle, kBatteryOrder, Icon::Critical, Buttons::Ok});
}

void showContrast(Session& s, int value, int grey) {
    s.controls.setValue({"Slider1"}, value);
    s.controls.setValue({"lblContrast"}, grey);
    s.controls.setText({"lblValue"}, std::to_string(value));
}

}  // namespace

std::optional<int> personalIndex(const Image& image) {
    return itemOfCode(kPersonalCodes, image.at(pager::kPersonalLength));
}

std::optional<int> mailDropIndex(const Image& image, int mailDrop) {
    checkMailDrop(mailDrop);
    if (GetField(image, enableAddress(mailDrop), enableBit(mailDrop), 1) == 0) return 0;
    const auto item = itemOfCode(std::span(kMailDropCodes).subspan(1),
                                 image.at(pager::kMailDropAlert + mailDrop - 1));
    if (!item) return std::nullopt;
    return *item + 1;
}

void read_SetAlarm(Session& s) {
    runLoader(s, 1, [&] {
        if (const auto item = itemOfCode(kToneCodes, s.ConfigImage.at(pager::kTone)))
            s.controls.setValue({"cboTone"}, *item);
    });
}

Effects cboTone_Click(Session& s, int listIndex) {
    Operation op(s);
    checkListIndex(listIndex, kToneItems.size());
    s.controls.setValue({"cboTone"}, listIndex);
    s.ConfigImage.set(pager::kTone, kToneCodes[static_cast<std::size_t>(listIndex)]);
    return op.done();
}

void read_Alert(Session& s) {
    runLoader(s, 11, [&] {
        setCaption(s, {"lblLength", 0}, personalCaption(s.ConfigImage.at(pager::kPersonalLength)));
        for (int mailDrop = 1; mailDrop <= kMailDropSummaries; ++mailDrop)
            setCaption(s, {"lblLength", mailDrop}, mailDropCaption(s.ConfigImage, mailDrop));
        s.controls.setText({"lblMemory", 0},
                           memoryCaption(s.ConfigImage.at(pager::kPersonalMemory)));
        for (int mailDrop = 1; mailDrop <= kMemoryShown; ++mailDrop)
            s.controls.setText(
                {"lblMemory", mailDrop},
                memoryCaption(s.ConfigImage.at(pager::kMailDropMemory + mailDrop - 1)));
    });
}

Effects cmdAlert_Click(Session& s) {
    Operation op(s);
    Form6_Load(s);
    return op.done();
}

// Filling the lists shows the stored values and stores nothing.
Effects Form6_Load(Session& s) {
    Operation op(s);
    s.controls.setValue({"cboPersonal"}, personalIndex(s.ConfigImage).value_or(-1));
    for (int mailDrop = 1; mailDrop <= kMailDrops; ++mailDrop)
        s.controls.setValue({"cboMailAler", mailDrop - 1},
                            mailDropIndex(s.ConfigImage, mailDrop).value_or(-1));
    return op.done();
}

Effects cboPersonal_Click(Session& s, int listIndex) {
    Operation op(s);
    checkListIndex(listIndex, kPersonalItems.size());
    s.controls.setValue({"cboPersonal"}, listIndex);
    s.ConfigImage.set(pager::kPersonalLength, kPersonalCodes[static_cast<std::size_t>(listIndex)]);
    read_Alert(s);
    return op.done();
}

Effects cboMailAler_Click(Session& s, int index, int listIndex) {
    Operation op(s);
    const int mailDrop = index + 1;
    checkMailDrop(mailDrop);
    checkListIndex(listIndex, kMailDropItems.size());
    s.controls.setValue({"cboMailAler", index}, listIndex);
    const bool enabled = listIndex != 0;
    SetField(s.ConfigImage, enableAddress(mailDrop), enableBit(mailDrop), enabled ? 1 : 0, 1);
    if (enabled)
        s.ConfigImage.set(pager::kMailDropAlert + index,
                          kMailDropCodes[static_cast<std::size_t>(listIndex)]);
    read_Alert(s);
    return op.done();
}

// Selecting each list re-stores the byte it shows (no change); levels out of
// order are reported once for the whole load.
void read_BatLev(Session& s) {
    runLoader(s, 10, [&] {
        bool selected = false;
        for (int level = 0; level < kBatteryLevels; ++level) {
            if (const auto item =
                    itemOfCode(kBatteryValues, s.ConfigImage.at(pager::kBatteryLow + level))) {
                s.controls.setValue({"cboBatLev", level}, *item);
                selected = true;
            }
        }
        if (selected) warnUnlessBatteryInOrder(s);
    });
}

Effects cboBatLev_Click(Session& s, int index, int listIndex) {
    Operation op(s);
    if (index < 0 || index >= kBatteryLevels) throw std::out_of_range("no such battery level");
    checkListIndex(listIndex, kBatteryItems.size());
    s.controls.setValue({"cboBatLev", index}, listIndex);
    s.ConfigImage.set(pager::kBatteryLow + index,
                      kBatteryValues[static_cast<std::size_t>(listIndex)]);
    warnUnlessBatteryInOrder(s);
    return op.done();
}

// Loading shows the stored contrast, whatever it is, and writes nothing back.
void read_contrast(Session& s) {
    runLoader(s, 1, [&] {
        const int value = s.ConfigImage.at(pager::kContrast.address);
        s.ContrastLoaded = value;
        showContrast(s, value, std::min(5 * value, 255));  // a stray byte still gives a colour
    });
}

Effects Slider1_Change(Session& s, int value) {
    Operation op(s);
    if (value < kContrastMin || value > kContrastMax)
        throw std::out_of_range("contrast runs 1 to 8");
    s.ConfigImage.set(pager::kContrast.address, static_cast<std::uint8_t>(value));
    showContrast(s, value, 80 - 10 * value);
    if (value != s.ContrastLoaded) s.ContrastChanged = true;
    return op.done();
}

}  // namespace kxp40s
