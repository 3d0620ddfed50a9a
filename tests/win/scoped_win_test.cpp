#include "win/scoped_win.h"

#include <gtest/gtest.h>

#include <utility>

namespace quill {
namespace {

bool Alive(HGDIOBJ object) { return GetObjectType(object) != 0; }

// Ownership passes with a move and ends exactly once: a moved-from owner
// deletes nothing, reset and the destructor delete what is held, release
// hands the object over undeleted.
TEST(ScopedWinTest, GdiObjectsAreDeletedOnceByTheirLastOwner) {
  HBRUSH first = CreateSolidBrush(RGB(1, 2, 3));
  HBRUSH second = CreateSolidBrush(RGB(4, 5, 6));
  HBRUSH kept = CreateSolidBrush(RGB(7, 8, 9));
  {
    ScopedBrush owner(first);
    ScopedBrush moved(std::move(owner));
    EXPECT_EQ(owner.get(), nullptr);
    EXPECT_TRUE(Alive(first));
    moved.reset(second);
    EXPECT_FALSE(Alive(first));
    EXPECT_TRUE(Alive(second));
    ScopedBrush handedOver(kept);
    EXPECT_EQ(handedOver.release(), kept);
  }
  EXPECT_FALSE(Alive(second));
  EXPECT_TRUE(Alive(kept));
  DeleteObject(kept);
}

// The object selected before comes back when the selection ends, so the
// selected object is free to be deleted afterwards.
TEST(ScopedWinTest, SelectRestoresThePreviousObject) {
  ScopedGetDC screen(nullptr);
  ScopedMemDC dc(screen);
  ASSERT_TRUE(dc);
  const HGDIOBJ original = GetCurrentObject(dc, OBJ_FONT);
  ScopedFont font(CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                              "Arial"));
  {
    ScopedSelect select(dc, font);
    EXPECT_EQ(select.get(), original);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font.get());
    ScopedSelect moved(std::move(select));
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), original);
}

}  // namespace
}  // namespace quill
