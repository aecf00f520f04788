// The dialog's style combo filled from the style folder.
#include <windows.h>

#include "styles/style_library.h"
#include "tests/support/styles_test_support.h"
#include "ui/style_list.h"

namespace {
constexpr int kComboId = 1234;

class StyleListTest : public StyleFolderTest {
  protected:
    void SetUp() override {
        StyleFolderTest::SetUp();
        dialog = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(dialog, nullptr);
        combo =
            CreateWindowA("COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 150, 100, dialog,
                          reinterpret_cast<HMENU>(kComboId), GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(combo, nullptr);
    }
    void TearDown() override {
        DestroyWindow(dialog);
        StyleFolderTest::TearDown();
    }

    std::vector<std::string> comboNames() {
        std::vector<std::string> names;
        const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[platform::kMaxPath] = {};
            SendMessageA(combo, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
            names.push_back(text);
        }
        return names;
    }

    HWND dialog = nullptr;
    HWND combo = nullptr;
};

TEST_F(StyleListTest, AnEmptyFolderEmptiesTheComboAndGivesZero) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("ancien"));
    EXPECT_EQ(FillStyleList(dialog, kComboId), 0);
    EXPECT_TRUE(comboNames().empty());
}

TEST_F(StyleListTest, TheComboHoldsTheStylesInListOrder) {
    auto state = makeState(126);
    state->resetToDefaultStyle();
    for (const char* utf8 : {"Par défaut", "Nuit", "Lampe"}) {
        std::string name = systemName(utf8);
        ASSERT_EQ(SaveStyle(name.data(), *state), 1);
    }
    writeWholeFile(stylePath("notes.txt"), {'t', 'e', 'x', 't', 'e'});
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("ancien"));

    EXPECT_EQ(FillStyleList(dialog, kComboId), 1);
    std::vector<std::string> listed;
    for (int16_t i = 0; std::optional<std::string> name = GetStyleName(i); ++i)
        listed.push_back(*name);
    EXPECT_EQ(listed.size(), 3u);
    EXPECT_EQ(comboNames(), listed);
}

TEST_F(StyleListTest, AMissingControlGivesZero) {
    auto state = makeState(126);
    state->resetToDefaultStyle();
    char name[] = "Nuit";
    ASSERT_EQ(SaveStyle(name, *state), 1);
    EXPECT_EQ(FillStyleList(dialog, kComboId + 1), 0);
}
} // namespace
