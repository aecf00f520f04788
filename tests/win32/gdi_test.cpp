// The owning GDI wrappers: objects are deleted with their wrapper, a selection
// is undone at the end of its scope.
#include <utility>

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/gdi.h"
#include "tests/support/win32_module.h"

namespace {
bool exists(HGDIOBJ object) {
    return GetObjectType(object) != 0;
}
} // namespace

TEST(Gdi, ObjectsAreDeletedWithTheirOwner) {
    HBRUSH handle = nullptr;
    {
        Brush brush(CreateSolidBrush(RGB(10, 20, 30)));
        ASSERT_TRUE(brush);
        handle = brush.get();
        EXPECT_TRUE(exists(handle));
        Brush moved = std::move(brush);
        EXPECT_FALSE(brush) << "a moved-from owner holds nothing";
        EXPECT_EQ(moved.get(), handle);
        EXPECT_TRUE(exists(handle));
    }
    EXPECT_FALSE(exists(handle));
    EXPECT_FALSE(Pen()) << "an empty owner deletes nothing";
}

TEST(Gdi, ASelectionIsUndoneAtTheEndOfItsScope) {
    const MemoryDC memory(nullptr);
    ASSERT_NE(memory.get(), nullptr);
    HGDIOBJ original = GetCurrentObject(memory.get(), OBJ_PEN);
    Pen pen(CreatePen(PS_SOLID, 1, RGB(200, 0, 0)));
    {
        const SelectedObject selected(memory.get(), pen.get());
        EXPECT_EQ(GetCurrentObject(memory.get(), OBJ_PEN), pen.get());
    }
    EXPECT_EQ(GetCurrentObject(memory.get(), OBJ_PEN), original);
    pen.reset();

    const WindowDC screen(nullptr);
    EXPECT_NE(screen.get(), nullptr);
}

// The count the dialog sessions check for leaks sees every object come and go.
TEST(Gdi, TheObjectCountSeesAnObjectMadeAndDeleted) {
    const DWORD before = gdiObjectCount();
    ASSERT_GT(before, 0u);
    {
        const Brush brush(CreateSolidBrush(RGB(1, 2, 3)));
        EXPECT_EQ(gdiObjectCount(), before + 1);
    }
    EXPECT_EQ(gdiObjectCount(), before);
}
