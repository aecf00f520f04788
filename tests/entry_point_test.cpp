// The selector protocol: state creation and teardown, prepare checks, result
// codes.
#include <gtest/gtest.h>

#include "platform/checked_alloc.h"
#include "protocol/result_codes.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/test_host.h"
#include "tests/support/win32_module.h"

namespace {
struct AllocatorLimit {
    explicit AllocatorLimit(long allowed) { setCheckedAllocLimitForTesting(allowed); }
    ~AllocatorLimit() { setCheckedAllocLimitForTesting(-1); }
};
} // namespace

TEST(EntryPoint, FinishAsFirstCallSucceedsWithoutCreatingState) {
    TestHost host(8, 8);
    AllocatorLimit nothingAllowed(0);
    EXPECT_EQ(host.call(SelectorFinish), 0);
    EXPECT_EQ(host.slot, 0);
}

TEST(EntryPoint, AboutAsFirstCallCreatesTheState) {
    TestHost host(8, 8);
    AboutRecord about{nullptr};
    int16_t result = 99;
    auto showAbout = [&] { ENTRYPOINT1(SelectorAbout, &about, &host.slot, &result); };
#ifdef _WIN32
    // The about box is modal: close it the way a click on it would.
    EXPECT_TRUE(driveModalWindow("#32770", showAbout,
                                 [](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }));
#else
    showAbout();
#endif
    EXPECT_EQ(result, 0);
    ASSERT_NE(host.state(), nullptr);
    EXPECT_EQ(host.state()->settings.lightCount, 0);
    EXPECT_FALSE(host.state()->run.settingsValid);
}

TEST(EntryPoint, UnknownSelectorsLeaveTheStateAlone) {
    TestHost host(8, 8);
    for (int16_t selector : {int16_t(6), int16_t(-1), int16_t(32767)}) {
        EXPECT_EQ(host.call(selector), result::unknownSelector) << selector;
    }
    ASSERT_NE(host.state(), nullptr);
    EXPECT_FALSE(host.state()->run.showDialog);
}

TEST(EntryPoint, ParametersAsksForTheDialog) {
    TestHost host(8, 8);
    EXPECT_EQ(host.call(SelectorParameters), 0);
    EXPECT_TRUE(host.state()->run.showDialog);
}

TEST(EntryPoint, RefusedStateAllocationGivesOutOfMemoryAndRetriesLater) {
    TestHost host(8, 8);
    {
        AllocatorLimit nothingAllowed(0);
        EXPECT_EQ(host.call(SelectorPrepare), result::outOfMemory);
        EXPECT_EQ(host.slot, 0);
    }
    EXPECT_EQ(host.call(SelectorPrepare), 0);
    EXPECT_NE(host.slot, 0);
}

namespace {
// Runs prepare on a host the tweak spoils and returns its result; `messages`
// receives the message boxes it showed.
template <typename Tweak>
int16_t prepareWith(Tweak tweak, std::vector<MessageBoxWatcher::Seen>& messages) {
    TestHost host(8, 8);
    tweak(host.record);
    MessageBoxWatcher watcher;
    const int16_t code = host.call(SelectorPrepare);
    messages = watcher.finish();
    return code;
}

void expectHostVersionMessage(const std::vector<MessageBoxWatcher::Seen>& messages) {
    if (!MessageBoxWatcher::watchesWindows())
        return;
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Erreur");
    EXPECT_EQ(messages[0].text, "Ce module requiert Zerafin 3.0 ou version ult\xE9rieure.");
}
} // namespace

TEST(Prepare, ChecksTheHostServicesInOrder) {
    std::vector<MessageBoxWatcher::Seen> messages;
    EXPECT_EQ(prepareWith([](HostRecord&) {}, messages), 0);
    EXPECT_TRUE(messages.empty());

    EXPECT_EQ(prepareWith([](HostRecord& r) { r.imageMode = 1; }, messages), result::notRgbMode);
    EXPECT_TRUE(messages.empty()) << "a wrong mode is refused without a message";

    // A missing pixel display is reported before the image mode.
    EXPECT_EQ(prepareWith(
                  [](HostRecord& r) {
                      r.drawPixelMap = nullptr;
                      r.imageMode = 1;
                  },
                  messages),
              result::cancelled);
    expectHostVersionMessage(messages);

    EXPECT_EQ(prepareWith([](HostRecord& r) { r.fetchRequested = nullptr; }, messages),
              result::cancelled);
    expectHostVersionMessage(messages);

    EXPECT_EQ(prepareWith([](HostRecord& r) { r.absolutePlanesSupported = 0; }, messages),
              result::cancelled);
    expectHostVersionMessage(messages);
}

TEST(EntryPoint, CancelledFirstDialogDiscardsTheState) {
    TestHost host(40, 30);
    EXPECT_EQ(host.call(SelectorParameters), 0);
    // A cancelled (or, natively, failed) first dialog: a state that never held
    // confirmed settings goes.
    EXPECT_NE(host.runFilterCancellingTheDialog(), 0);
    EXPECT_EQ(host.slot, 0);
    EXPECT_EQ(host.call(SelectorPrepare), 0);
    ASSERT_NE(host.state(), nullptr);
    EXPECT_EQ(host.state()->settings.lightCount, 0);
}

TEST(EntryPoint, ACancelledOrFailedDialogAfterAConfirmedRunKeepsTheSettings) {
    TestHost host(40, 30);
    EXPECT_EQ(host.call(SelectorPrepare), 0);
    host.state()->run.settingsValid = true;
    host.state()->settings.gloss = 77;
    EXPECT_EQ(host.call(SelectorParameters), 0);
    EXPECT_NE(host.runFilterCancellingTheDialog(), 0);
    ASSERT_NE(host.state(), nullptr);
    EXPECT_EQ(host.state()->settings.gloss, 77);
    EXPECT_FALSE(host.state()->run.showDialog);
}

TEST(EntryPoint, StartWithoutMemoryForTheHeightMapFailsCleanly) {
    TestHost host(40, 30);
    EXPECT_EQ(host.call(SelectorPrepare), 0);
    {
        AllocatorLimit nothingAllowed(0);
        EXPECT_EQ(host.call(SelectorStart), result::outOfMemory);
    }
    EXPECT_FALSE(host.state()->run.showDialog);
    EXPECT_EQ(host.state()->preview.heightMap.map, nullptr);
    EXPECT_EQ(host.state()->run.threads, nullptr);
}

TEST(EntryPoint, ThreadSetUpFailureIsUndone) {
    TestHost host(40, 30);
    EXPECT_EQ(host.call(SelectorPrepare), 0);
    // Height map, three preview images, the replaced height map, then two
    // scratch buffers of the first thread: the third scratch buffer is refused.
    AllocatorLimit limit(7);
    EXPECT_EQ(host.call(SelectorStart), result::outOfMemory);
    EXPECT_EQ(host.state()->run.threads, nullptr);
}

TEST(EntryPoint, AnInterruptionStopsARenderWithoutRelief) {
    TestHost host(200, 130);
    const std::vector<uint8_t> before = host.rgb();
    host.record.checkAbort = []() -> uint8_t { return 1; };
    EXPECT_EQ(host.runFilter(), result::cancelled);
    EXPECT_EQ(host.rgb(), before) << "no tile is lit once the user has asked to stop";
}
