#pragma once

#include "app/app_face.h"

namespace kxp40s::ui {

class MainWindow;

// The application's face in Qt: message boxes, the controls of the windows,
// the monitor's timer and status line, the file dialogs and the transfer
// window.
class QtFace : public AppFace {
  public:
    explicit QtFace(MainWindow& window) : window_(window) {}

    Answer show(const Message& message) override;
    void apply(const Effects& effects) override;
    void setTimer1Enabled(bool enabled) override;
    void showBoardStatus(const BoardStatus& status) override;
    void setProgressMaximum(int maximum) override;
    void setProgressValue(int value) override;
    void setProgressColour(Colour colour) override;
    void setStatusText(const std::string& text) override;
    void pumpEvents() override;
    void beforeBoardSearch() override;
    std::optional<std::filesystem::path> askOpenFile(const std::filesystem::path& folder) override;
    std::optional<std::filesystem::path> askSaveFile(const std::filesystem::path& folder) override;
    void note(const Message& message) override;
    bool showFolder(const std::filesystem::path& folder) override;
    void openTransferWindow(TransferMode mode) override;
    void closeTransferWindow() override;
    NextPager waitForPager(int number) override;

  private:
    std::optional<std::filesystem::path> askFile(const std::filesystem::path& folder, bool save);

    MainWindow& window_;
};

}  // namespace kxp40s::ui
