// PtrArray: growth, set-at-index, find, remove with the cursor, delete-all.
#include "shell/ptr_array.h"

#include <gtest/gtest.h>

namespace {

struct Counted {
  explicit Counted(int* deaths) : deaths(deaths) {}
  ~Counted() { ++*deaths; }
  int* deaths;
};

TEST(PtrArray, AppendDoublesTheCapacityAndKeepsOrder) {
  PtrArray<int> list;
  EXPECT_EQ(list.Capacity(), 1);
  int values[252];
  for (int i = 0; i < 252; ++i) {
    list.Append(&values[i]);
    if (i == 4) {
      EXPECT_EQ(list.Capacity(), 8);
    }
  }
  EXPECT_EQ(list.Count(), 252);
  EXPECT_EQ(list.Capacity(), 256);
  for (int i = 0; i < 252; ++i) ASSERT_EQ(list.GetAt(i), &values[i]);
  EXPECT_EQ(list.GetAt(252), nullptr);  // spare slots are null
}

TEST(PtrArray, SetAtGrowsToTheIndexAndLeavesCountAlone) {
  PtrArray<int> list(4);
  int a = 0, b = 0;
  list.Append(&a);
  EXPECT_EQ(list.SetAt(&b, 9), &b);
  EXPECT_EQ(list.Capacity(), 10);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.GetAt(0), &a);
  EXPECT_EQ(list.GetAt(9), &b);
  EXPECT_EQ(list.GetAt(5), nullptr);
  EXPECT_EQ(list.Find(&b), nullptr) << "find looks only below the count";
  EXPECT_EQ(list.GetAt(-1), nullptr);
  EXPECT_EQ(list.GetAt(10), nullptr) << "reads outside the array give null";
  EXPECT_EQ(list.SetAt(&a, -1), nullptr);
}

TEST(PtrArray, RemoveShiftsItemsAndMovesTheCursorBack) {
  int v[5], stranger = 0;
  // cursor before, item removed, cursor after, count after
  const struct { int cursor; int* item; int cursorAfter, countAfter; } cases[] = {
      {2, &v[2], 1, 4}, {1, &v[2], 1, 4}, {3, &stranger, 3, 5}};
  for (const auto& c : cases) {
    PtrArray<int> list;
    for (int& x : v) list.Append(&x);
    list.SetCursor(c.cursor);
    list.Remove(c.item);
    EXPECT_EQ(list.Cursor(), c.cursorAfter);
    EXPECT_EQ(list.Count(), c.countAfter);
    EXPECT_EQ(list.GetAt(c.countAfter - 1), &v[4]);
    EXPECT_EQ(list.GetAt(5), nullptr);
  }
  PtrArray<int> list;  // only the first of two equal pointers goes
  for (int* p : {&v[0], &v[1], &v[0]}) list.Append(p);
  list.Remove(&v[0]);
  EXPECT_EQ(list.GetAt(0), &v[1]);
  EXPECT_EQ(list.GetAt(1), &v[0]);
}

TEST(PtrArray, DeleteAllDeletesItemsSkipsNullsAndKeepsCapacity) {
  int deaths = 0;
  PtrArray<Counted> list;
  list.Append(new Counted(&deaths));
  list.Append(nullptr);
  list.Append(new Counted(&deaths));
  list.SetCursor(2);
  const int capacity = list.Capacity();
  list.DeleteAll();
  EXPECT_EQ(deaths, 2);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Cursor(), 0);
  EXPECT_EQ(list.Capacity(), capacity);
  EXPECT_EQ(list.GetAt(0), nullptr);
}

TEST(PtrArray, FrameListReleasesSurfacesAndDestructionOwnsNothing) {
  Surface* shared = Surface::Create(2, 2, 16);
  ASSERT_NE(shared, nullptr);
  {
    FrameList frames;
    shared->AddRef();
    frames.Append(shared);
    frames.DeleteAll();  // drops the list's reference only
  }
  {
    FrameList references;
    references.Append(shared);
  }  // destruction alone does not release
  EXPECT_EQ(shared->AddRef(), 2u);
  shared->Release();
  EXPECT_EQ(shared->Release(), 0u);
}

}  // namespace
