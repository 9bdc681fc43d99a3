#include <gtest/gtest.h>

#include "history/UnRedo.h"

namespace {
void Push(TUnReDo& h, int marker) {
    h.PushStep().Kind = THistoryKind::SetCrop;
    h.Add<THistoryRecord>(marker);
}
int MarkerOf(const THistoryEntry* e) { return e && !e->Records.empty() ? e->Records[0]->Position : -1; }
} // namespace

TEST(UnReDoRing, ThirtyChangesGiveTwentyFourUndos) {
    TUnReDo h;
    for (int i = 1; i <= 30; ++i) Push(h, i);
    for (int i = 30; i > 6; --i) {
        THistoryEntry* e = h.StepBack();
        ASSERT_NE(e, nullptr) << i;
        EXPECT_EQ(MarkerOf(e), i); // newest first
    }
    EXPECT_EQ(h.StepBack(), nullptr); // the 25th click finds nothing
    EXPECT_FALSE(h.CanUndo());
    // and all 24 can be redone, oldest first
    for (int i = 7; i <= 30; ++i) EXPECT_EQ(MarkerOf(h.StepForward()), i);
    EXPECT_EQ(h.StepForward(), nullptr);
}

TEST(UnReDoRing, NewChangeAfterUndoLosesTheRedoSteps) {
    TUnReDo h;
    for (int i = 1; i <= 5; ++i) Push(h, i);
    EXPECT_EQ(MarkerOf(h.StepBack()), 5);
    EXPECT_EQ(MarkerOf(h.StepBack()), 4);
    EXPECT_TRUE(h.CanRedo());
    Push(h, 99);
    EXPECT_FALSE(h.CanRedo());
    EXPECT_EQ(h.StepForward(), nullptr);
    EXPECT_EQ(MarkerOf(h.StepBack()), 99);
    EXPECT_EQ(MarkerOf(h.StepBack()), 3);
}

TEST(UnReDoRing, WrapsAroundTheRingManyTimes) {
    TUnReDo h;
    for (int i = 1; i <= 100; ++i) Push(h, i);
    int undone = 0;
    while (THistoryEntry* e = h.StepBack()) {
        EXPECT_EQ(MarkerOf(e), 100 - undone);
        ++undone;
    }
    EXPECT_EQ(undone, 24);
}

TEST(UnReDoRing, ClearEmptiesEverything) {
    TUnReDo h;
    for (int i = 1; i <= 3; ++i) Push(h, i);
    h.Clear();
    EXPECT_FALSE(h.CanUndo());
    EXPECT_FALSE(h.CanRedo());
    EXPECT_EQ(h.StepBack(), nullptr);
    for (int i = 0; i < TUnReDo::kSlots; ++i) {
        EXPECT_EQ(h.Slot(i).Kind, THistoryKind::None);
        EXPECT_TRUE(h.Slot(i).Records.empty());
    }
}

TEST(UnReDoRing, ReusedSlotReleasesItsOldRecords) {
    TUnReDo h;
    for (int i = 1; i <= 25; ++i) Push(h, i);
    // slot 0 was the floor; slot 1 held step 1 and was reused by step 26
    Push(h, 26);
    EXPECT_EQ(h.Slot(h.Current()).Records.size(), 1u);
    EXPECT_EQ(MarkerOf(&h.Slot(h.Current())), 26);
}
