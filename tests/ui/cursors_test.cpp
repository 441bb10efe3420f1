// The standard cursors and the cursor set over the program's windows.
#include <gtest/gtest.h>

#include "platform/ui/ui.h"
#include "ui_test_support.h"

namespace farvane::ui::testing {
namespace {

TEST(CursorsTest, TheStandardCursorsAndSetCursorGivingBackThePreviousOne) {
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    HCURSOR beam = LoadCursorA(nullptr, IDC_IBEAM);
    HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
    ASSERT_NE(arrow, nullptr);
    EXPECT_NE(arrow, beam);
    EXPECT_NE(beam, wait);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_WAIT), wait);
    EXPECT_EQ(LoadCursorA(nullptr, "WAIT"), nullptr);  // named cursors come from a module
    EXPECT_EQ(LoadCursorA(reinterpret_cast<HINSTANCE>(0x400000), IDC_WAIT), nullptr);
    CursorShape shape;
    ASSERT_TRUE(ShapeOfCursor(wait, &shape));
    EXPECT_EQ(shape, CursorShape::Wait);
    EXPECT_FALSE(ShapeOfCursor(reinterpret_cast<HCURSOR>(7), &shape));

    HCURSOR before = SetCursor(wait);
    EXPECT_EQ(GetCursor(), wait);
    EXPECT_EQ(SetCursor(before), wait);
    EXPECT_EQ(GetCursor(), before);
}

}  // namespace
}  // namespace farvane::ui::testing
