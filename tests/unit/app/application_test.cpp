#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <map>

#include "app_rig.h"
#include "control_at.h"
#include "editors/capcodes.h"
#include "editors/settings.h"
#include "files/system.h"
#include "image/default_tables.h"
#include "image/image.h"
#include "image/pager_map.h"
#include "link/search_message.h"
#include "sim/sim_serial_port.h"
#include "sim/two_wire_memory.h"
#include "started_pager.h"
#include "temp_folder.h"
#include "unit/link/link_fakes.h"

namespace kxp40s {
namespace {

namespace fs = std::filesystem;
using testing::App;
using testing::at;
using testing::kSimPort;
using Texts = std::vector<std::string>;

TEST_F(App, StartsOnTheBand2DefaultsFindsTheBoardAndStartsTheMonitor) {
    start();
    EXPECT_TRUE(face.script.messages.empty());
    EXPECT_EQ(at(s(), "txtPrompt", 0).text, "     KAVION");
    EXPECT_EQ(at(s(), "cboDft").value, 2);
    EXPECT_EQ(at(s(), "txtFreq").text, "1530000");
    EXPECT_EQ(app->caption(), "KXP40S V05.12 USB KAVION");
    EXPECT_TRUE(face.refreshes("txtFreq"));
    EXPECT_TRUE(app->board().known());
    EXPECT_EQ(pager.controlState(), 's');
    EXPECT_EQ(face.script.timer1.back(), true);
}

// The window is filled before the board search, which may wait long for
// ports that never answer; its message and the status line come after.
TEST_F(App, WithoutABoardStartUpSaysSoAndGoesOn) {
    store.deleteKey(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM");
    start();
    EXPECT_EQ(face.texts(), Texts{"The Programmed Board is not responding!"});
    EXPECT_FALSE(app->board().known());
    EXPECT_EQ(at(s(), "txtFreq").text, "1530000");
    ASSERT_TRUE(face.refreshedBeforeSearch.has_value());
    EXPECT_EQ(*face.refreshedBeforeSearch, face.refreshed.size()) << "nothing left to fill after";
    EXPECT_EQ(face.script.statuses.back(), disconnectedStatus()) << "said at once";
}

// A parallel port the user may not open (not in the group lp): start-up's
// one message says so after the search's own words.
TEST_F(App, AParallelPortTheUserMayNotOpenIsNamedAfterTheSearchMessage) {
    struct RefusedPort : PortIo {
        void Out32(std::uint16_t, std::uint8_t) override {}
        std::uint8_t Inp32(std::uint16_t) override { return 0xFF; }
        std::string problem() const override {
            return permissionDeniedLine({"/dev/parport0"}, kParallelPortGroup);
        }
    } refused;
    makeOnParallelPorts(refused).Form_Load({.openDefaultTable = false});
    EXPECT_EQ(face.texts(), Texts{"The Programmed Board is not responding!\n/dev/parport0: "
                                  "permission denied. Add your user to the group lp and log in "
                                  "again."});
    EXPECT_FALSE(app->board().known());
}

TEST_F(App, OpensAValidDefaultTblAndSaveWritesItBack) {
    Image image = defaultImage();
    image.set(0x043, 0xD8);  // capcode 1 = 1234631
    ASSERT_FALSE(writeTableFile(folder_ / "default.tbl", image));
    start();
    EXPECT_EQ(at(s(), "txtAddr", 0).text, "1234631");
    EXPECT_EQ(app->caption(),
              "KXP40S V05.12 USB KAVION - [" + (folder_ / "default.tbl").string() + "]");
    set("capcode1", "1654321");
    ASSERT_TRUE(app->mnuSBTF_Click());
    EXPECT_EQ(at(s(), "txtAddr", 0).text, "1654321");
    EXPECT_EQ(file(folder_ / "default.tbl"), s().ConfigImage);
}

TEST_F(App, AForeignDefaultTblIsReportedAndTheBuiltInDefaultsAreShown) {
    Image image = defaultImage();
    image.set(997, '1');
    ASSERT_FALSE(writeTableFile(folder_ / "default.tbl", image));
    start({.searchBoard = false});
    EXPECT_EQ(face.texts(), Texts{"The [" + (folder_ / "default.tbl").string() +
                                  "] is not correct format, the file will discard !"});
    EXPECT_EQ(at(s(), "txtFreq").text, "1530000");
    EXPECT_EQ(app->caption(), "KXP40S V05.12 USB KAVION");
}

// Start-up speaks in its own order, the board search before "default.tbl",
// though the window was filled before either.
TEST_F(App, TheBoardSearchSpeaksBeforeAForeignDefaultTbl) {
    Image image = defaultImage();
    image.set(997, '1');
    ASSERT_FALSE(writeTableFile(folder_ / "default.tbl", image));
    store.deleteKey(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM");
    start();
    EXPECT_EQ(face.texts(), (Texts{"The Programmed Board is not responding!",
                                   "The [" + (folder_ / "default.tbl").string() +
                                       "] is not correct format, the file will discard !"}));
    ASSERT_TRUE(face.refreshedBeforeSearch.has_value());
    EXPECT_EQ(*face.refreshedBeforeSearch, face.refreshed.size()) << "nothing left to fill after";
}

// An installed program's data folder is made by the first file that needs
// it: a save into it, or a dialog that starts there.
TEST_F(App, TheProgramFolderIsMadeWhenTheFirstFileNeedsIt) {
    for (const bool dialog : {false, true}) {
        SCOPED_TRACE(dialog ? "Save As" : "Save");
        programFolder = folder_ / (dialog ? "dialog" : "save") / "kxp40s";
        start({.searchBoard = false});
        ASSERT_FALSE(fs::exists(programFolder));
        if (dialog) {
            face.files = {std::nullopt};
            EXPECT_FALSE(app->mnuSA_Click());
            EXPECT_EQ(face.dialogFolders.back(), programFolder);
            EXPECT_TRUE(fs::is_directory(programFolder));
        } else {
            ASSERT_TRUE(app->mnuSBTF_Click());
            EXPECT_EQ(file(programFolder / "default.tbl"), s().ConfigImage);
        }
        EXPECT_EQ(face.texts(), Texts{});
    }
}

// The files opened and saved head the recent files, and the dialogs start
// in the folder of the last one; the start-up's "default.tbl" is none of them.
TEST_F(App, OpenedAndSavedFilesAreRecentAndTheDialogsFollowThem) {
    for (const char* sub : {"a", "b"})
        fs::create_directories(folder_ / sub);
    ASSERT_FALSE(writeTableFile(folder_ / "default.tbl", defaultImage()));
    ASSERT_FALSE(writeTableFile(folder_ / "a" / "one.tbl", defaultImage()));
    start({.searchBoard = false});
    EXPECT_EQ(app->recentFiles(), RecentFiles{});

    face.files = {folder_ / "a" / "one.tbl", folder_ / "b" / "two.tbl"};
    ASSERT_TRUE(app->mnuLBFF_Click());
    ASSERT_TRUE(app->mnuSA_Click());
    EXPECT_EQ(face.dialogFolders, (std::vector<fs::path>{folder_, folder_ / "a"}));
    EXPECT_EQ(app->recentFiles().files(),
              (std::vector<fs::path>{folder_ / "b" / "two.tbl", folder_ / "a" / "one.tbl"}));
    EXPECT_EQ(app->dialogFolder(), folder_ / "b");

    fs::remove_all(folder_ / "b");
    EXPECT_EQ(app->dialogFolder(), folder_) << "a folder that is gone: the program's";
}

// A recent file that is gone leaves the list with Open's message; a file
// named by a relative path is opened from the current folder.
TEST_F(App, RecentAndRelativeFilesOpenAsFileOpenDoes) {
    ASSERT_FALSE(writeTableFile(folder_ / "one.tbl", defaultImage()));
    start({.searchBoard = false});
    app->setRecentFiles(RecentFiles({folder_ / "gone.tbl", folder_ / "one.tbl"}));
    EXPECT_FALSE(app->openRecentFile(folder_ / "gone.tbl"));
    EXPECT_EQ(face.texts(), Texts{"This file is not exit!"});
    EXPECT_EQ(app->recentFiles().files(), std::vector<fs::path>{folder_ / "one.tbl"});

    const fs::path before = fs::current_path();
    fs::current_path(folder_);
    const bool opened = app->openTableFile("one.tbl");
    fs::current_path(before);
    ASSERT_TRUE(opened);
    EXPECT_EQ(app->caption(),
              "KXP40S V05.12 USB KAVION - [" + (folder_ / "one.tbl").string() + "]");
    EXPECT_EQ(app->files().CurrentTableFile, folder_ / "one.tbl");
}

// Pager > Open Backups Folder makes the folder when no read has yet, and
// says where it is when nothing can show it.
TEST_F(App, TheBackupsFolderIsMadeAndShown) {
    start({.searchBoard = false});
    const fs::path backups = folder_ / "backups";
    ASSERT_FALSE(fs::exists(backups));
    app->mnuBackupFolder_Click();
    EXPECT_TRUE(fs::is_directory(backups));
    EXPECT_EQ(face.shownFolders, std::vector<fs::path>{backups});
    EXPECT_EQ(face.texts(), Texts{});

    face.canShowFolders = false;
    app->mnuBackupFolder_Click();
    EXPECT_EQ(face.texts(), Texts{"The backups are kept in [" + backups.string() +
                                  "]: no file manager could be started to show them."});

    fs::remove(backups);
    std::ofstream(backups) << "a file where the folder should be";
    face.canShowFolders = true;
    app->mnuBackupFolder_Click();
    EXPECT_EQ(face.shownFolders.size(), 2U) << "not shown when it cannot be made";
    EXPECT_TRUE(face.texts().back().starts_with("Can not make the folder [" + backups.string()))
        << face.texts().back();
}

TEST_F(App, WithoutDefaultTblSaveCreatesItInTheProgramFolder) {
    start({.searchBoard = false});
    ASSERT_TRUE(app->mnuSBTF_Click());
    EXPECT_EQ(file(folder_ / "default.tbl"), s().ConfigImage);
    EXPECT_EQ(app->caption(),
              "KXP40S V05.12 USB KAVION - [" + (folder_ / "default.tbl").string() + "]");
}

TEST_F(App, OpenAndSaveAsGoThroughTheDialogsAndTheOverwriteQuestion) {
    Image rohs = defaultImage();
    rohs.set(0x0C, 0);
    rohs.set(0x0D, 200);  // an Incd of 128 or more is the RoHS band, whatever the base says
    ASSERT_FALSE(writeTableFile(folder_ / "rohs.tbl", rohs));
    start({.searchBoard = false});

    face.files = {std::nullopt, folder_ / "none.tbl", folder_ / "rohs.tbl"};
    EXPECT_FALSE(app->mnuLBFF_Click()) << "cancelled";
    EXPECT_FALSE(app->mnuLBFF_Click());
    EXPECT_EQ(face.texts(), Texts{"This file is not exit!"});
    EXPECT_EQ(at(s(), "cboDft").value, 2);
    ASSERT_TRUE(app->mnuLBFF_Click());
    EXPECT_EQ(at(s(), "cboDft").value, 3);
    EXPECT_TRUE(face.refreshes("cboDft"));
    EXPECT_EQ(face.dialogFolders, std::vector<fs::path>(3, folder_));

    ASSERT_FALSE(writeTableFile(folder_ / "other.tbl", defaultImage()));
    face.files = {folder_ / "other.tbl", folder_ / "other.tbl"};
    face.script.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(app->mnuSA_Click());
    EXPECT_EQ(file(folder_ / "other.tbl"), defaultImage()) << "No writes nothing";
    EXPECT_EQ(app->files().CurrentTableFile, folder_ / "rohs.tbl");
    EXPECT_TRUE(app->mnuSA_Click());
    EXPECT_EQ(face.script.messages.back().text,
              "This file is arealy exist ! \r\nAre you sure overwrite this file?");
    EXPECT_EQ(file(folder_ / "other.tbl"), s().ConfigImage);
    EXPECT_EQ(app->files().CurrentTableFile, folder_ / "other.tbl");
}

TEST_F(App, ReadWriteAndVerifyRunInTheTransferWindowAndRefreshTheControls) {
    start();
    set("capcode1", "1111111");
    EXPECT_EQ(app->mnuEB_Click(), Result::Done);
    EXPECT_EQ(face.texts(), Texts{"Verify Success!"});
    EXPECT_EQ(capcodeOf(pager.memory(), 0), 1111111);
    EXPECT_EQ(app->mnuEB1_Click(), Result::Done);

    set("capcode1", "1222222");
    face.refreshed.clear();
    EXPECT_EQ(app->mnuEntire_Click(), Result::Done);
    EXPECT_EQ(at(s(), "txtAddr", 0).text, "1111111");
    EXPECT_TRUE(face.refreshes("txtAddr", 0));
    EXPECT_EQ(face.windows,
              (std::vector{TransferMode::Write, TransferMode::Verify, TransferMode::Read}));
    EXPECT_EQ(face.texts().back(), "Read success!");
    EXPECT_EQ(fs::exists(folder_ / "backups"), true);
}

TEST_F(App, AReadThatFailsToLoadPutsBackTheImageTheBandAndTheControls) {
    Image foreign = testing::startedPager();
    foreign.set(0x65, 0x80);           // band 0 (929-932 MHz)
    SetField(foreign, 0x61, 3, 3, 2);  // a list value with no item: load error 1
    pager::storeChecksum(foreign.bytes(), kImageSize - 1);
    pager = sim::PagerBoard(foreign);
    start();
    const Image before = s().ConfigImage;
    EXPECT_NE(app->mnuEntire_Click(), Result::Done);
    EXPECT_EQ(face.texts(),
              (Texts{"Read success!", "The data in this pager is wrong!(Error Code = 1)"}));
    EXPECT_EQ(s().ConfigImage, before);
    EXPECT_EQ(at(s(), "cboDft").value, 2);
    EXPECT_EQ(at(s(), "txtFreq").text, "1530000");
    set("frequency", "1530050");  // still taken on the window's own band
    EXPECT_EQ(app->mnuEB_Click(), Result::Done);
}

TEST_F(App, ABackupBeforeWriteKeepsWhatThePagerHeld) {
    start();
    const Image before = pager.memory();
    app->setBackupBeforeWrite(true);
    set("capcode1", "1111111");
    EXPECT_EQ(app->mnuEB_Click(), Result::Done);
    std::vector<fs::path> kept;
    for (const auto& entry : fs::directory_iterator(folder_ / "backups"))
        kept.push_back(entry.path());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_TRUE(kept[0].filename().string().starts_with("before-write-"));
    EXPECT_EQ(file(kept[0]), before);
    EXPECT_EQ(capcodeOf(pager.memory(), 0), 1111111);
}

TEST_F(App, ASeriesWritesEachPagerAndCountsTheCapcodeUp) {
    start();
    set("capcode1", "1000000");
    app->handle([](Session& s) { return optAuto1_Click(s, 1); });
    face.seriesPresses = 3;
    EXPECT_EQ(app->mnuEB_Click(), Result::Done);
    EXPECT_EQ(face.texts(), Texts(3, "Verify Success!"));
    EXPECT_EQ(capcodeOf(pager.memory(), 0), 1000002);
    EXPECT_EQ(at(s(), "txtAddr", 0).text, "1000003");
}

TEST_F(App, CheckFirmwareMonitorAndExit) {
    start();
    EXPECT_EQ(app->mnuFirmware_Click(), Result::Done);
    EXPECT_EQ(face.texts(), Texts{"Version = 5.0"});

    app->Timer1_Timer();
    EXPECT_EQ(face.script.statuses.back(), connectedStatus());
    store.deleteKey(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM");
    app->Timer1_Timer();
    EXPECT_EQ(face.script.statuses.back(), disconnectedStatus());
    testing::listPorts(registry, {kSimPort});
    app->Timer1_Timer();
    EXPECT_EQ(face.script.statuses.back(), connectedStatus()) << "plugged in again: found";

    app->mnuExit_Click();
    EXPECT_EQ(pager.controlState(), 'r');
}

// The same program on the parallel-port board, its memory simulated in-process.
TEST_F(App, TheParallelPortBoardReadsWritesAndVerifies) {
    lptMemory.memory[13] = 0x40;  // the Non GP(RoHS) variant the window starts on
    start({}, BoardKind::Lpt);
    ASSERT_TRUE(app->board().known());
    EXPECT_EQ(face.script.statuses.back(), connectedStatus());

    EXPECT_EQ(app->mnuFirmware_Click(), Result::Done);
    set("capcode1", "1234000");
    EXPECT_EQ(app->mnuEB_Click(), Result::Done);
    EXPECT_EQ(capcodeOf(Image(lptMemory.memory), 0), 1234000);
    set("capcode1", "1");
    EXPECT_EQ(app->mnuEntire_Click(), Result::Done);
    EXPECT_EQ(at(s(), "txtAddr", 0).text, "1234000");
    EXPECT_EQ(face.texts(), (Texts{"Version = 5.0", "Verify Success!", "Read success!"}));
}

// The parallel ports the system refuses read as nothing attached, as
// Linux's ppdev gives them; the port list says why each was refused.
class RefusingPorts : public PortIo {
  public:
    RefusingPorts(PortIo& ports, std::map<std::uint16_t, PortRefusal> refused)
        : ports_(ports), refused_(std::move(refused)) {}
    void Out32(std::uint16_t port, std::uint8_t value) override {
        if (refusal(port) == PortRefusal::None) ports_.Out32(port, value);
    }
    std::uint8_t Inp32(std::uint16_t port) override {
        const auto base = static_cast<std::uint16_t>(port & ~1);
        return refusal(base) == PortRefusal::None ? ports_.Inp32(port) : 0xFF;
    }
    PortRefusal refusal(std::uint16_t base) const override {
        const auto found = refused_.find(base);
        return found == refused_.end() ? PortRefusal::None : found->second;
    }

  private:
    PortIo& ports_;
    std::map<std::uint16_t, PortRefusal> refused_;
};

TEST_F(App, TheParallelPortListSaysWhichPortsThisUserMayNotOpen) {
    RefusingPorts ports(lptMemory, {{0x278, PortRefusal::Denied}, {0x3BC, PortRefusal::Busy}});
    const std::vector<PortAnswer> answers = makeOnParallelPorts(ports).board().probe();
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_TRUE(answers[0].board);
    EXPECT_FALSE(answers[0].busy || answers[0].denied);
    EXPECT_FALSE(answers[1].board || answers[1].busy);
    EXPECT_TRUE(answers[1].denied);
    EXPECT_FALSE(answers[2].board || answers[2].denied);
    EXPECT_TRUE(answers[2].busy);
}

// Both boards plugged in: the window switches between them as it runs.
TEST_F(App, TheBoardChangesWhileTheProgramRuns) {
    start();
    ASSERT_EQ(app->board().kind(), BoardKind::Usb);
    ASSERT_TRUE(app->board().known());

    app->useBoard(BoardKind::Lpt);
    EXPECT_EQ(pager.controlState(), 'r') << "the USB board is released first";
    EXPECT_EQ(app->board().kind(), BoardKind::Lpt);
    EXPECT_TRUE(app->board().known());
    EXPECT_EQ(face.script.statuses.back(), connectedStatus());
    set("capcode1", "1234000");
    EXPECT_EQ(app->mnuEB_Click(), Result::Done);
    EXPECT_EQ(capcodeOf(Image(lptMemory.memory), 0), 1234000);

    app->useBoard(BoardKind::Usb);
    EXPECT_TRUE(app->board().known());
    EXPECT_EQ(app->mnuEntire_Click(), Result::Done);
    EXPECT_NE(at(s(), "txtAddr", 0).text, "1234000") << "read from the USB board's pager";
    EXPECT_TRUE(face.script.timer1.back()) << "the monitor runs again";
}

// "default.tbl" and the file dialogs stay beside a program in a build tree
// or a copied folder; an installed one uses the user's folder even when it
// runs as root, who may write anywhere.
TEST_F(App, AnInstalledProgramKeepsItsDataInTheUsersFolder) {
    const fs::path user = userDataFolder();
    struct Case {
        fs::path programFolder;
        fs::path expected;
    };
    const Case cases[] = {
        {folder_, folder_},        {"/usr/bin", user},          {"/usr/local/bin", user},
        {"/opt/kxp40s/bin", user}, {folder_ / "missing", user}, {"", user},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.programFolder);
        EXPECT_EQ(programDirectoryFor(c.programFolder), c.expected);
    }
}

}  // namespace
}  // namespace kxp40s
