#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "transfer/transfer.h"

namespace kxp40s {

// The Pager menu's commands as the window runs them. The face moves the
// focus away from an entry box first, so that a half-typed entry is checked;
// a frequency entry refused then (FreqEntryError) cancels the command, which
// then counts as failed. The board monitor is off while a command runs.
Result mnuEntire_Click(Transfer& t);  // Read
Result mnuEB1_Click(Transfer& t);     // "Verfy"
// Verify against what Write would have written of the image: the command
// line's verify of a table file. The image keeps what the write would take
// from the pager, as after a write.
Result verifyAsWritten(Transfer& t);

// Write. Without auto-increase it writes and, when that went well, verifies.
// With auto-increase the transfer window stays open for a series: `series`
// writes pager after pager until the user leaves. Either way the texts go
// back to the PC's letters and the window is reloaded at the end.
Result mnuEB_Click(Transfer& t, const std::function<Result(Transfer&)>& series);

// One pager of a series: write, verify, then count the chosen capcodes up.
Result cmdWrite_Click(Transfer& t);

// Counts capcode `index` (0 or 1) up by one, refusing at 2097151.
void set_capcode(Transfer& t, int index);

// A series as the face runs it: it says when the next pager is on the board
// (or that the user is done) and hears how each pager went.
enum class NextPager { Write, Leave };
struct SeriesPager {
    int number;  // from 1
    std::int32_t capcode1;
    std::int32_t capcode2;
    Result result;
    PagerState state = PagerState::Unchanged;  // how far the pager got
    // What the write found on the pager, where it could read it.
    std::optional<std::string> identity;
    std::optional<std::uint8_t> firmware;
};
class SeriesFace {
  public:
    virtual ~SeriesFace() = default;
    virtual NextPager waitForPager(int number) = 0;
    virtual void pagerDone(const SeriesPager& pager) = 0;
};

// Writes pager after pager until the face says Leave or a stop is asked for
// (then between two pagers, or after the pager being written). With a
// capcode list each pager takes the list's next capcodes, and the series
// ends after the list's last pager without asking for another. Done when
// every pager written went through and there was one; Stopped when stopped.
Result runSeries(Transfer& t, SeriesFace& face);

}  // namespace kxp40s
