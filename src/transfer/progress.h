#pragma once

#include <algorithm>

#include "link/link_face.h"

namespace kxp40s {

// Hands everything on to the face it wraps, but never lets the progress
// value pass the maximum (a transfer's last block ends past the maximum the
// transfer window sets).
class ClampedProgressFace : public LinkFace {
  public:
    explicit ClampedProgressFace(LinkFace& face) : face_(face) {}

    Answer show(const Message& message) override { return face_.show(message); }
    void setTimer1Enabled(bool enabled) override { face_.setTimer1Enabled(enabled); }
    void showBoardStatus(const BoardStatus& status) override { face_.showBoardStatus(status); }
    void setProgressMaximum(int maximum) override {
        maximum_ = maximum;
        face_.setProgressMaximum(maximum);
    }
    void setProgressValue(int value) override {
        face_.setProgressValue(std::clamp(value, 0, std::max(maximum_, 0)));
    }
    void setProgressColour(Colour colour) override { face_.setProgressColour(colour); }
    void setStatusText(const std::string& text) override { face_.setStatusText(text); }
    void pumpEvents() override { face_.pumpEvents(); }
    void refreshControls(const std::vector<ControlId>& changed) override {
        face_.refreshControls(changed);
    }

  private:
    LinkFace& face_;
    int maximum_ = 0;
};

}  // namespace kxp40s
