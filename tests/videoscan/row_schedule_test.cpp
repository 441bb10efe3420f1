// Which rows a pass reads, from damage hints and the time since the last full pass.
#include "videoscan/row_schedule.h"

#include <gtest/gtest.h>

#include <atomic>

namespace videoscan {
namespace {

constexpr std::uint16_t kRows = 10;

struct Scheduled {
    Scheduled() {
        hints = std::make_shared<farvane::gdi::DamageHints>(8, kRows, [this] { ++wakes; });
        schedule.Watch(hints);
    }
    // The rows a pass beginning at now reads, taking each as the check thread does.
    std::vector<std::uint16_t> Pass(std::uint32_t now, bool mustBeFull = false) {
        std::vector<std::uint16_t> read;
        schedule.BeginPass(now, mustBeFull);
        for (std::uint16_t row = schedule.NextRow(0, kRows); row < kRows;
             row = schedule.NextRow(row + 1, kRows)) {
            schedule.TakeRow(row);
            read.push_back(row);
        }
        return read;
    }
    std::shared_ptr<farvane::gdi::DamageHints> hints;
    RowSchedule schedule;
    int wakes = 0;
};

const std::vector<std::uint16_t> kEveryRow = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

TEST(RowSchedule, NewHintsAFullPassEveryTwoSecondsAndWhenAsked) {
    Scheduled s;
    EXPECT_EQ(s.Pass(5000), kEveryRow);  // hints just taken: nothing known yet
    EXPECT_TRUE(s.Pass(5001).empty());
    EXPECT_TRUE(s.Pass(6999).empty());
    EXPECT_EQ(s.Pass(7000), kEveryRow);
    EXPECT_EQ(s.Pass(7001, true), kEveryRow);
    EXPECT_TRUE(s.Pass(7002).empty());
    // Across the wrap of the tick count.
    EXPECT_EQ(s.Pass(0xFFFFFF00u, true), kEveryRow);
    EXPECT_TRUE(s.Pass(0x00000100u).empty());
    EXPECT_EQ(s.Pass(0x00000700u), kEveryRow);
}

TEST(RowSchedule, MarkedRowsAreReadAndDrawingDuringTheReadMarksThemAgain) {
    Scheduled s;
    s.Pass(0);
    s.hints->MarkRows(20, 4);  // rows 20 to 23: row 2
    s.hints->MarkRows(79, 1);  // row 9, the last
    s.hints->MarkRows(80, 9);  // below the grid: no row
    s.hints->MarkRows(-4, 2);  // above the screen: no row
    s.hints->Wake();
    EXPECT_EQ(s.wakes, 1);

    s.schedule.BeginPass(10, false);
    EXPECT_EQ(s.schedule.NextRow(0, kRows), 2);
    EXPECT_TRUE(s.schedule.TakeRow(2));
    s.hints->MarkRows(16, 1);  // row 2 drawn on while it is read
    EXPECT_EQ(s.schedule.NextRow(3, kRows), 9);
    s.schedule.TakeRow(9);
    s.schedule.RowFailed(9);  // its read failed
    EXPECT_EQ(s.Pass(20), (std::vector<std::uint16_t>{2, 9}));
    EXPECT_TRUE(s.Pass(30).empty());
}

TEST(RowSchedule, TheThreadWaitsForDrawingOnlyWhileNothingIsMarkedAndTheFullPassIsNotDue) {
    Scheduled s;
    s.Pass(1000);
    EXPECT_EQ(s.schedule.IdleTime(1000), RowSchedule::kLongestIdle);
    EXPECT_EQ(s.schedule.IdleTime(2900), 100u);
    EXPECT_EQ(s.schedule.IdleTime(3000), 0u);
    s.hints->MarkRows(0, 1);
    EXPECT_EQ(s.schedule.IdleTime(1000), 0u);

    RowSchedule none;
    none.BeginPass(1000, false);
    EXPECT_TRUE(none.full());
    EXPECT_EQ(none.IdleTime(1000), 0u);
}

TEST(RowSchedule, LostHintsMakeEveryPassFullAndNoWaits) {
    Scheduled s;
    s.Pass(0);
    s.hints->Lose();
    EXPECT_EQ(s.wakes, 1);
    EXPECT_EQ(s.Pass(10), kEveryRow);
    EXPECT_EQ(s.schedule.IdleTime(10), 0u);
}

TEST(RowSchedule, NoWakeAfterTheHintsAreForgotten) {
    Scheduled s;
    s.schedule.Forget();
    s.hints->MarkRows(0, 8);
    s.hints->Wake();
    EXPECT_EQ(s.wakes, 0);
}

}  // namespace
}  // namespace videoscan
