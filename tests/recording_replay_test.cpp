// What OK applies is what its recording replays. A stand-in for the dialog
// leaves the settings as an editing session may leave them (lights anywhere in
// the preview's pixels, of every type, some switched off; colours of any 16-bit
// channel; every slider on a position a slider rests on; relief on or off),
// and the script recorded at the end of that run must light exactly the same
// image and record exactly the same script again.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "settings/parameter_table.h"
#include "tests/support/test_host.h"
#include "ui/native_layout.h"
#include "ui/slider_geometry.h"

namespace {
constexpr int kWidth = 96, kHeight = 72;

class RandomEdits {
  public:
    explicit RandomEdits(uint32_t seed) : random(seed) {}

    void apply(Settings& settings) {
        settings.resetToDefaultStyle();
        const int lights = 1 + below(5);
        for (int i = 1; i < lights; ++i)
            settings.addLightAt(int16_t(below(300)), int16_t(below(300)));
        for (int i = 0; i < settings.lightCount; ++i)
            editLight(settings.lights[i], settings.halfFrame());
        settings.currentLight = uint16_t(below(settings.lightCount));
        for (const ParameterEntry& entry : parameterTable())
            if (entry.setting)
                settings.*entry.setting = restingSetting(entry);
        randomColour(settings.ambientColor);
        settings.textureChannel = uint16_t(below(4));
        settings.whiteIsHigh = below(2) != 0;
        if (settings.textureChannel == 0) { // a script without relief leaves them out
            settings.whiteIsHigh = true;
            settings.reliefAmount = parameter(Parameter::Relief).defaultValue;
        }
    }

  private:
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    int16_t around(int reach) { return int16_t(below(2 * reach + 1) - reach); }

    // A stored value whose slider position the slider can rest on.
    int16_t restingSetting(const ParameterEntry& entry) {
        const int16_t position =
            restingValue(int16_t(below(257)), entry.scale == PercentScale::Narrow);
        return entry.storedFromSlider(position);
    }

    void randomColour(uint16_t (&colour)[3]) {
        for (uint16_t& channel : colour)
            channel = uint16_t(below(65536));
    }

    void editLight(LightSource& light, int halfFrame) {
        light.type = uint32_t(below(3));
        light.position = {around(halfFrame + 20), around(halfFrame + 20)};
        light.vector0 = {around(120), around(120)};
        light.vector1 = {around(120), around(120)};
        light.setSpotAxes();
        light.radius = int16_t(1 + below(150));
        randomColour(light.color);
        light.enabled = below(5) != 0;
        for (const ParameterEntry& entry : parameterTable())
            if (entry.lightSetting)
                light.*entry.lightSetting = restingSetting(entry);
    }

    std::mt19937 random;
};

struct Outcome {
    std::vector<uint8_t> image;
    std::string recording;
    std::vector<uint8_t> parameters; // the block the host keeps
};

// A run of the host with the dialog (its stand-in) or playing a script.
Outcome run(const std::function<int16_t(TestHost&)>& start) {
    TestHost host(kWidth, kHeight);
    EXPECT_EQ(start(host), 0);
    return {host.rgb(), host.takeRecordedScript(), host.session.parameterBytes()};
}
} // namespace

TEST(RecordingReplay, WhatOkLightsIsWhatItsRecordingReplays) {
    for (uint32_t seed = 1; seed <= 100; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomEdits edits(seed);
        setMainDialogStandIn([&](DialogSession& session) {
            edits.apply(session.settings);
            return int16_t(0);
        });
        const Outcome ok = run([](TestHost& host) { return host.session.runFilter(true); });
        setMainDialogStandIn({});
        ASSERT_FALSE(ok.recording.empty());

        std::string error;
        const std::optional<Descriptor> script = scriptDescriptor(ok.recording, error);
        ASSERT_TRUE(script) << error;
        const Outcome replay = run([&](TestHost& host) {
            EXPECT_TRUE(host.session.playScript(*script, false));
            return host.runFilter();
        });
        EXPECT_TRUE(replay.image == ok.image) << "the replay lights another image";
        EXPECT_EQ(replay.recording, ok.recording) << "the replay records another script";
        EXPECT_TRUE(replay.parameters == ok.parameters) << "the replay keeps another block";
    }
}
#endif
