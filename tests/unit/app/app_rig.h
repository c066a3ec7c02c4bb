#pragma once

// The application on both boards in-process: a scripted window, the USB
// board's pager on a simulated serial port, the parallel-port board's
// memory on a simulated bus, and a fresh program folder for each test.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "app/application.h"
#include "editors/settings.h"
#include "sim/pager_board.h"
#include "sim/sim_serial_port.h"
#include "sim/two_wire_memory.h"
#include "started_pager.h"
#include "temp_folder.h"
#include "unit/link/link_fakes.h"

namespace kxp40s::testing {

// The window as a script: records what it is shown, noted and told to
// refresh, answers questions and file dialogs from its script, and writes
// `seriesPresses` pagers when a series opens. `onProgress` and `onPager`
// let a test act in the middle of a transfer or a series.
class ScriptedAppFace : public AppFace {
  public:
    Answer show(const Message& message) override { return script.show(message); }
    void note(const Message& message) override { notes.push_back(message.text); }
    void apply(const Effects& effects) override {
        for (const Message& message : effects.messages)
            show(message);
        refreshed.insert(refreshed.end(), effects.changed.begin(), effects.changed.end());
    }
    void setTimer1Enabled(bool enabled) override { script.setTimer1Enabled(enabled); }
    void showBoardStatus(const BoardStatus& status) override { script.showBoardStatus(status); }
    void setProgressMaximum(int maximum) override { script.setProgressMaximum(maximum); }
    void setProgressValue(int value) override {
        script.setProgressValue(value);
        if (onProgress) onProgress(value);
    }
    std::optional<std::filesystem::path> askOpenFile(const std::filesystem::path& folder) override {
        dialogFolders.push_back(folder);
        return nextFile();
    }
    std::optional<std::filesystem::path> askSaveFile(const std::filesystem::path& folder) override {
        dialogFolders.push_back(folder);
        return nextFile();
    }
    bool showFolder(const std::filesystem::path& folder) override {
        shownFolders.push_back(folder);
        return canShowFolders;
    }
    void openTransferWindow(TransferMode mode) override { windows.push_back(mode); }
    void beforeBoardSearch() override { refreshedBeforeSearch = refreshed.size(); }
    NextPager waitForPager(int number) override {
        if (onPager) onPager(number);
        return number <= seriesPresses ? NextPager::Write : NextPager::Leave;
    }
    void pagerDone(const SeriesPager& pager) override { pagers.push_back(pager); }

    std::vector<std::string> texts() const { return script.texts(); }
    bool refreshes(std::string_view name, int index = -1) const {
        return std::find(refreshed.begin(), refreshed.end(), ControlId{name, index}) !=
               refreshed.end();
    }

    ScriptedFace script;  // messages, answers, Timer1, the status line, the progress
    std::vector<std::string> notes;
    std::deque<std::optional<std::filesystem::path>> files;
    std::vector<ControlId> refreshed;
    std::optional<std::size_t> refreshedBeforeSearch;  // refreshes when the search began
    std::vector<std::filesystem::path> dialogFolders;
    std::vector<std::filesystem::path> shownFolders;
    bool canShowFolders = true;
    std::vector<TransferMode> windows;
    int seriesPresses = 0;
    std::vector<SeriesPager> pagers;
    std::function<void(int value)> onProgress;
    std::function<void(int number)> onPager;

  private:
    std::optional<std::filesystem::path> nextFile() {
        if (files.empty()) return std::nullopt;
        auto file = files.front();
        files.pop_front();
        return file;
    }
};

inline constexpr const char* kSimPort = "/dev/sim0";

class App : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        programFolder = folder_;
        listPorts(registry, {kSimPort});
        const Image image = startedPager();
        std::copy(image.bytes().begin(), image.bytes().end(), lptMemory.memory.begin());
    }

    // Both boards are plugged in; `board` is the one the program uses.
    Application& start(StartUpSteps steps = {}, BoardKind board = BoardKind::Usb) {
        AppOptions options;
        options.board = board;
        options.programDirectory = programFolder;
        options.backupFolder = folder_ / "backups";
        options.parts.serialPort = port.get();
        options.parts.registryStore = &store;
        options.parts.portIo = &lptMemory;
        options.parts.clock = &clock;
        options.parts.lptPacing = LptBus::Pacing::OnClock;
        app.emplace(face, options);
        app->Form_Load(steps);
        return *app;
    }
    // The program on the parallel-port board through `ports`, not yet started.
    Application& makeOnParallelPorts(PortIo& ports) {
        AppOptions options;
        options.board = BoardKind::Lpt;
        options.programDirectory = folder_;
        options.parts.portIo = &ports;
        options.parts.clock = &clock;
        options.parts.lptPacing = LptBus::Pacing::OnClock;
        return app.emplace(face, options);
    }
    Session& s() { return app->session(); }
    void set(const std::string& key, const std::string& value) {
        ASSERT_TRUE(app->handle([&](Session& s) { return findSetting(key)->apply(s, value); }))
            << key;
    }
    static Image file(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::vector<std::uint8_t> bytes(kImageSize);
        in.read(reinterpret_cast<char*>(bytes.data()), kImageSize);
        return Image(bytes);
    }
    // The files in the backup folder whose names start with `kind`.
    std::vector<std::filesystem::path> backups(const std::string& kind) const {
        std::vector<std::filesystem::path> kept;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(folder_ / "backups", ec)) {
            if (entry.path().filename().string().starts_with(kind + "-"))
                kept.push_back(entry.path());
        }
        return kept;
    }

    FakeClock clock;
    std::filesystem::path programFolder;  // the test's folder unless a test names another
    // A new USB board with `image` in its pager, on a new port; the next
    // start() uses it.
    void replugUsbBoard(const Image& image) {
        pager = sim::PagerBoard(image);
        port = std::make_unique<sim::SimSerialPort>(pager, clock, kSimPort);
    }

    sim::PagerBoard pager{startedPager()};
    std::unique_ptr<sim::SimSerialPort> port =
        std::make_unique<sim::SimSerialPort>(pager, clock, kSimPort);
    TwoWireMemory lptMemory{clock};  // the parallel-port board's pager
    MemoryRegistryStore store;
    clsRegistryAccess registry{store};
    ScriptedAppFace face;
    std::optional<Application> app;
};

}  // namespace kxp40s::testing
