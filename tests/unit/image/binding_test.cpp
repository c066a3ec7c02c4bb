#include <gtest/gtest.h>

#include <set>

#include "image/binding.h"
#include "image/default_tables.h"
#include "image/field_map.h"

namespace kxp40s {
namespace {

ControlId chk(int index) {
    return {"chkCtl", index};
}
ControlId cbo(int index) {
    return {"cboCtl", index};
}
ControlId prompt(int index) {
    return {"txtPrompt", index};
}
ControlId source(int index) {
    return {"chkSource", index};
}

TEST(FieldTags, ParseBothFormsAndIgnoreTheLayoutSuffix) {
    const auto bit = parseFieldTag("&H36,3,1,chk,#120#60#1530#255#8#");
    ASSERT_TRUE(bit);
    EXPECT_EQ(bit->address, 0x36);
    EXPECT_EQ(bit->firstBit, 3);
    EXPECT_EQ(bit->bitCount, 1);
    EXPECT_EQ(bit->kind, FieldKind::chk);

    const auto prompt = parseFieldTag("276,0");
    ASSERT_TRUE(prompt);
    EXPECT_FALSE(prompt->isBitField());
    EXPECT_EQ(prompt->address, 276);
    EXPECT_EQ(parseFieldTag("&H100,1")->flag, 1);

    for (const char* notBound : {"", ",#1#2#3#4#5#", "&H36", "&HZZ,0,1,chk", "&H36,0,1,CHK",
                                 "&H36,8,1,chk", "&H36,0,9,chk", "&H36,x,1,chk"}) {
        SCOPED_TRACE(notBound);
        EXPECT_FALSE(parseFieldTag(notBound) && parseFieldTag(notBound)->isBitField());
    }
}

TEST(FieldMap, EveryTaggedFieldStaysInsideOneByteAndEveryControlIsBoundOnce) {
    std::set<ControlId> controls;
    std::set<std::string> keys;
    for (const auto& field : boundFields()) {
        SCOPED_TRACE(field.tag);
        EXPECT_LE(field.field.firstBit + field.field.bitCount, 8);
        EXPECT_TRUE(controls.insert(field.control).second);
        EXPECT_TRUE(keys.insert(field.key).second);
        if (field.isList() && *field.field.kind != FieldKind::Lng) {
            EXPECT_LE(field.items.size(), 1u << field.field.bitCount);
        }
    }
    EXPECT_EQ(boundFields().size(),
              37u + 1u + 32u);  // 37 bit fields, the logo list, 32 source enables
    EXPECT_EQ(boundField({"chkSource", 64}).field.address, 0x7DF);
    EXPECT_EQ(boundField(chk(37)).key, "capcode8.on");
}

TEST(FieldMap, PromptBoxesSkip66And67AndCoverTheirRecords) {
    EXPECT_EQ(promptBoxes().size(), 67u);
    EXPECT_THROW(promptBox(66), std::out_of_range);
    EXPECT_THROW(promptBox(67), std::out_of_range);
    EXPECT_EQ(promptBox(1).address, 0x114);
    EXPECT_EQ(promptBox(30).address, 0x358);
    EXPECT_EQ(promptBox(30).tag, "856,0");
    EXPECT_EQ(promptBox(64).address, 0x7AC);
    EXPECT_EQ(promptBox(65).address, 0xA0);
    EXPECT_EQ(promptBox(68).address, 0x428);
}

struct Window {
    Image image = defaultImage();
    Controls controls;
};

TEST(LoadRules, CheckBoxesShowTheirFieldByKind) {
    struct Case {
        const char* name;
        ControlId control;
        int address;
        std::uint8_t byte;
        int shown;
    };
    const Case cases[] = {
        {"chk bit set", chk(5), 0x36, 0x02, 1},
        {"chkN bit clear shows checked", chk(4), 0x36, 0x00, 1},
        {"chkN bit set shows unchecked", chk(4), 0x36, 0x01, 0},
        {"8-bit chkN 0 shows checked", chk(11), 0x7E0, 0x00, 1},
        {"8-bit chkN 5 shows unchecked", chk(11), 0x7E0, 0x05, 0},
        {"chkSource 1 checked", {"chkSource", 33}, 0x7C0, 1, 1},
        {"chkSource 2 unchecked", {"chkSource", 33}, 0x7C0, 2, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Image image;
        image.set(c.address, c.byte);
        EXPECT_EQ(checkValueOf(image, boundField(c.control)), c.shown);
    }
}

TEST(StoreRules, CheckBoxesStoreByKind) {
    struct Case {
        const char* name;
        int index;
        int address;
        std::uint8_t before;
        int value;
        std::uint8_t after;
    };
    const Case cases[] = {
        {"chkN one bit unchecked stores 1", 4, 0x36, 0x00, 0, 0x01},
        {"chkN one bit checked stores 0", 4, 0x36, 0xFF, 1, 0xFE},
        {"8-bit chkN checked stores 0", 11, 0x7E0, 5, 1, 0},
        {"8-bit chkN unchecked stores 1", 11, 0x7E0, 5, 0, 1},
        {"chk stores the value", 8, 0x36, 0x00, 1, 0x08},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Window w;
        w.image.set(c.address, c.before);
        storeCheckBox(w.image, w.controls, c.index, c.value);
        EXPECT_EQ(w.image.at(c.address), c.after);
        EXPECT_EQ(w.controls[chk(c.index)].value, c.value);
    }
}

TEST(StoreRules, SourceEnableStoresTheWholeByteAndEnablesItsPromptBox) {
    Window w;
    w.image.set(0x7C5, 2);
    storeSourceEnable(w.image, w.controls, 38, 1);
    EXPECT_EQ(w.image.at(0x7C5), 1);
    EXPECT_TRUE(w.controls[prompt(38)].enabled);
    storeSourceEnable(w.image, w.controls, 38, 0);
    EXPECT_EQ(w.image.at(0x7C5), 0);
    EXPECT_FALSE(w.controls[prompt(38)].enabled);
}

TEST(StoreRules, BaudRateRewritesItsThreeDependentSettings) {
    for (const std::uint8_t filler : {std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
        SCOPED_TRACE(filler);
        Window w;
        w.image.set(0x61, filler);
        w.image.set(0x62, filler);
        w.image.set(0x63, filler);
        storeList(w.image, w.controls, 9, 1);  // "1200 bps"
        EXPECT_EQ(GetField(w.image, 0x61, 3, 2), 1);
        EXPECT_EQ(GetField(w.image, 0x61, 0, 2), 2);
        EXPECT_EQ(w.image.at(0x62), 65);
        EXPECT_EQ(GetField(w.image, 0x63, 6, 2), 2);
        EXPECT_EQ(GetField(w.image, 0x63, 0, 6), filler & 0x3F);
    }
}

TEST(StoreRules, ListsRefuseIndexesTheyDoNotHave) {
    Window w;
    const Image before = w.image;
    EXPECT_THROW(storeList(w.image, w.controls, 9, 3), std::out_of_range);
    EXPECT_THROW(storeList(w.image, w.controls, 6, -1), std::out_of_range);
    EXPECT_EQ(w.image, before);
}

TEST(StoreRules, PushKeyLampShowsTheRdKeyOptionsAndMarksChirpOff) {
    Window w;
    storeCheckBox(w.image, w.controls, 17, 1);
    EXPECT_EQ(w.image.at(0x35A), 16);
    EXPECT_TRUE(w.controls[chk(3)].visible);
    EXPECT_TRUE(w.controls[chk(21)].visible);
    storeCheckBox(w.image, w.controls, 17, 0);
    EXPECT_EQ(w.image.at(0x35A), 32);
    EXPECT_FALSE(w.controls[chk(3)].visible);
    EXPECT_FALSE(w.controls[chk(21)].visible);
}

TEST(StoreRules, MessageDisplayShowsDirectShowLampOnlyForDirect) {
    Window w;
    storeList(w.image, w.controls, 3, 1);
    EXPECT_TRUE(w.controls[chk(20)].visible);
    storeList(w.image, w.controls, 3, 0);
    EXPECT_FALSE(w.controls[chk(20)].visible);
}

TEST(Loading, ShowsWithoutStoringExceptTheBaudDependents) {
    Image image = defaultImage();
    image.set(0x7E1, 5);             // 8-bit chkN that no box state reproduces
    image.set(0x7C3, 2);             // chkSource byte that loads as unchecked
    SetField(image, 0x36, 7, 1, 1);  // push key lamp on, yet &H35A stays as it is
    image.set(0x35A, 'X');
    Image loaded = image;
    Controls controls;
    EXPECT_EQ(loadTaggedControls(loaded, controls), 0);
    applyBaudSettings(image, GetField(image, 0x61, 3, 2));
    EXPECT_EQ(loaded, image);
    EXPECT_EQ(controls[chk(12)].value, 0);
    EXPECT_EQ(controls[source(36)].value, 0);
    EXPECT_FALSE(controls[prompt(36)].enabled);
    EXPECT_TRUE(controls[chk(3)].visible);
}

TEST(Loading, HidesTheRdKeyOptionsWhenPushKeyLampIsOff) {
    Image image = defaultImage();
    SetField(image, 0x36, 7, 0, 1);
    Controls controls;
    loadTaggedControls(image, controls);
    EXPECT_FALSE(controls[chk(3)].visible);
    EXPECT_FALSE(controls[chk(21)].visible);
}

TEST(Loading, AListValueWithoutAnItemShowsNoItemAndGivesCode1) {
    Image image = defaultImage();
    SetField(image, 0x61, 3, 3, 2);  // baud field 3: the list has three items
    const Image before = image;
    Controls controls;
    EXPECT_EQ(loadTaggedControls(image, controls), 1);
    EXPECT_EQ(image, before);
    EXPECT_EQ(controls[cbo(9)].value, -1);
    EXPECT_EQ(controls[chk(37)].value, 0);  // loaded before the failing list
    EXPECT_EQ(controls[chk(4)].value, 1);   // and after it
}

TEST(LogoCodes, MapToTheirItemsAndUnknownCodesToNone) {
    EXPECT_EQ(logoIndexOfCode(0), 0);
    EXPECT_EQ(logoIndexOfCode(1), 0);
    EXPECT_EQ(logoIndexOfCode(2), 1);
    EXPECT_EQ(logoIndexOfCode(15), 6);
    EXPECT_EQ(logoIndexOfCode(3), std::nullopt);
    EXPECT_EQ(logoCodeOfIndex(0), 0);
    EXPECT_EQ(logoCodeOfIndex(5), 11);
}

}  // namespace
}  // namespace kxp40s
