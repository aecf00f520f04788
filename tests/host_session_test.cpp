// The host session's supply of pixels: input beyond the image's edge is the
// nearest image sample, planes count the document's channels in order, and the
// output buffer starts as the image, and only its part inside the image goes back.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/zerafin/plugin_services/host_session.h"
#include "protocol/selectors.h"
#include "shell/entry_point.h"

namespace {
// A 4 x 3 image whose red is 10 x + y, green 100 + x, blue 200 + y, with one
// more channel "Relief" of 50 + x + 4 y.
Document gradient() {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            rgb.insert(rgb.end(), {uint8_t(10 * x + y), uint8_t(100 + x), uint8_t(200 + y)});
    Document document = documentFromRgb(4, 3, rgb);
    Channel relief{"Relief", {}};
    for (int i = 0; i < 12; ++i)
        relief.samples.push_back(uint8_t(50 + i));
    document.channels.push_back(relief);
    return document;
}

uint8_t inputAt(const HostRecord& record, int x, int y, int plane) {
    const int planes = record.inputPlaneLast - record.inputPlaneFirst + 1;
    return record.inputData[(y - record.inputRect.top) * record.inputRowBytes +
                            (x - record.inputRect.left) * planes + plane];
}
} // namespace

TEST(HostSession, InputBeyondTheEdgeIsTheNearestSample) {
    Document document = gradient();
    HostSession session(ENTRYPOINT1, nullptr);
    session.setDocument(&document);
    session.record.inputRect = Rect16{-3, -2, 6, 7};
    session.record.inputPlaneFirst = 0;
    session.record.inputPlaneLast = 2;
    session.supplyRequested();
    const HostRecord& record = session.record;
    EXPECT_EQ(record.inputRowBytes, 9 * 3);
    for (int y = -3; y < 6; ++y)
        for (int x = -2; x < 7; ++x) {
            const int nx = std::clamp(x, 0, 3), ny = std::clamp(y, 0, 2);
            ASSERT_EQ(inputAt(record, x, y, 0), 10 * nx + ny) << x << "," << y;
            ASSERT_EQ(inputAt(record, x, y, 1), 100 + nx) << x << "," << y;
            ASSERT_EQ(inputAt(record, x, y, 2), 200 + ny) << x << "," << y;
        }
}

TEST(HostSession, PlanesCountTheDocumentsChannelsAndOutputStartsAsTheImage) {
    Document document = gradient();
    HostSession session(ENTRYPOINT1, nullptr);
    session.setDocument(&document);
    EXPECT_EQ(session.record.channelCountE, 4);
    session.record.inputRect = Rect16{-1, -2, 3, 5};
    session.record.inputPlaneFirst = session.record.inputPlaneLast = 3; // the texture channel
    session.record.outputRect = Rect16{1, 1, 3, 3};
    session.supplyRequested();
    EXPECT_EQ(inputAt(session.record, 2, -1, 0), 52);
    EXPECT_EQ(inputAt(session.record, 4, 2, 0), 50 + 3 + 8);
    EXPECT_EQ(inputAt(session.record, -2, 1, 0), 50 + 0 + 4);
    EXPECT_EQ(session.record.outputRowBytes, 2 * 3);
    EXPECT_EQ(session.record.outputData[0], 11);      // red at (1, 1)
    EXPECT_EQ(session.record.outputData[6 + 5], 202); // blue at (2, 2)
}

namespace {
// A plug-in that asks for one output rectangle reaching beyond every edge of
// the image, with an input rectangle the wrong way round, and paints the
// output it gets.
void oversizedRequest(int16_t selector, void* raw, intptr_t*, int16_t* result) {
    auto& record = *static_cast<HostRecord*>(raw);
    *result = 0;
    if (selector == SelectorStart) {
        record.outputRect = Rect16{-2, -5, 9, 6};
        record.inputRect = Rect16{4, 4, 1, 1};
    } else if (selector == SelectorContinue) {
        std::fill_n(record.outputData, size_t(record.outputRowBytes) * 11, uint8_t(77));
        record.outputRect = record.inputRect = record.maskRect = Rect16{};
    }
}
} // namespace

TEST(HostSession, OutputBeyondTheImageWritesOnlyTheImageAndAReversedInputCopiesNothing) {
    Document document = gradient();
    HostSession session(oversizedRequest, nullptr);
    session.setDocument(&document);
    ASSERT_EQ(session.runFilter(false), 0);
    for (int channel = 0; channel < 3; ++channel)
        EXPECT_EQ(std::count(document.channels[size_t(channel)].samples.begin(),
                             document.channels[size_t(channel)].samples.end(), 77),
                  12);
    EXPECT_EQ(document.channels[3].samples[0], 50) << "the extra channel stays";
}

namespace {
void asksForNothing(int16_t, void*, intptr_t*, int16_t* result) {
    *result = 0;
}
} // namespace

// The host keeps the image interleaved during a run and brings its planes up
// to date at the end, sixteen pixels at a time and then one by one.
TEST(HostSession, ARunThatChangesNothingLeavesEveryPlaneAsItWas) {
    std::vector<uint8_t> rgb(37 * 5 * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = uint8_t(i * 7 + i / 5);
    Document document = documentFromRgb(37, 5, rgb);
    const std::vector<Channel> before = document.channels;
    HostSession session(asksForNothing, nullptr);
    session.setDocument(&document);
    ASSERT_EQ(session.runFilter(false), 0);
    for (size_t c = 0; c < 3; ++c)
        EXPECT_EQ(document.channels[c].samples, before[c].samples) << "channel " << c;
}
