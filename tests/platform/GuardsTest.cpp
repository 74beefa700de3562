// The scoped owners: what a scope saved it gives back once, at the end or earlier on request.
#include <gtest/gtest.h>

#include "platform/Guards.h"

TEST(SavedDC, RestoringEarlyUndoesTheScopeOnceAndTellsWhetherItWorked) {
  TMemoryDC dc;
  ASSERT_TRUE(dc.Get());
  const COLORREF before = GetTextColor(dc);
  const COLORREF after = RGB(4, 5, 6);
  {
    TSavedDC saved(dc);
    ASSERT_TRUE(saved.Saved());
    SetTextColor(dc, RGB(1, 2, 3));
    EXPECT_TRUE(saved.Restore());
    EXPECT_EQ(GetTextColor(dc), before);
    // What is set after the early restore outlives the scope.
    SetTextColor(dc, after);
    EXPECT_FALSE(saved.Restore());
  }
  EXPECT_EQ(GetTextColor(dc), after);

  TSavedDC none(nullptr);
  EXPECT_FALSE(none.Saved());
  EXPECT_FALSE(none.Restore());
}
