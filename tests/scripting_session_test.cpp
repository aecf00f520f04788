// Scripts through the host, end to end: a script played at start, the
// settings recorded at finish, a recording replayed into a fresh plug-in
// recording itself again, and the host's refusals of broken script files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "host/zerafin/commands/filter_command.h"
#include "host/zerafin/image_files/image_io.h"
#include "host/zerafin/scripts/script_file.h"
#include "resources/resource_data.h"
#include "tests/support/script_fixture.h"
#include "tests/support/test_host.h"

namespace {
const char* const kTwoLightsScript =
    R"({"LghS": [{"Clr ": {"Rd  ": 255, "Grn ": 255, "Bl  ": 0}, "Intn": 35, "Fcs ": 69,)"
    R"( "On  ": true, "LghT": "LghS", "Pstn": [50, 50], "Vct0": [64, 64], "Vct1": [43, 57],)"
    R"( "Rds ": 14}, {"Clr ": {"Rd  ": 300, "Grn ": 0, "Bl  ": 9}, "Intn": -20, "On  ": false,)"
    R"( "LghT": "LghO", "Pstn": [21.5, 80], "Vct0": [50, 40], "Vct1": [50, 50], "Rds ": 9.5}],)"
    R"( "CrnL": 7, "Glos": 0, "Mtrl": -100, "Exps": 0, "AmbB": 8,)"
    R"( "AmbC": {"Rd  ": 255, "Grn ": 255, "Bl  ": 255}, "FrmW": 100.0})";

Descriptor exampleScript() {
    std::string error;
    const std::optional<Terminology> terminology = parseTerminology(terminologyBytes(), error);
    EXPECT_TRUE(terminology) << error;
    std::optional<Descriptor> script =
        descriptorFromScript(kTwoLightsScript, terminology.value_or(Terminology{}), error);
    EXPECT_TRUE(script) << error;
    return script.value_or(Descriptor{});
}

// Runs the plug-in once in a fresh state, playing `script` without the
// dialog; what it recorded at finish.
std::optional<Descriptor> recordingOf(const Descriptor& script) {
    ScriptFixture scripting; // the host's script record, outliving the host
    TestHost host(96, 64);
    host.record.scriptRecord = &scripting.script;
    scripting.play(script);
    EXPECT_EQ(host.runFilter(), 0);
    return scripting.takeWritten();
}
} // namespace

TEST(ScriptSession, ReplayingARecordingRecordsItAgain) {
    const std::optional<Descriptor> first = recordingOf(exampleScript());
    ASSERT_TRUE(first);
    // The mended bounds show in the recording: a valid current light and a
    // clamped colour component.
    EXPECT_EQ(find(*first, "CrnL")->integer, 2);
    const Descriptor& omni = find(*first, "LghS")->list.at(1).object;
    EXPECT_EQ(find(find(omni, "Clr ")->object, "Rd  ")->number, 255.0);
    EXPECT_FALSE(find(omni, "On  ")->boolean);

    const std::string text = scriptFromDescriptor(*first);
    const std::optional<Descriptor> second = recordingOf(*first);
    ASSERT_TRUE(second);
    EXPECT_EQ(*second, *first);
    EXPECT_EQ(scriptFromDescriptor(*second), text);
}

TEST(ScriptSession, AStartWithoutScriptStillRecords) {
    ScriptFixture scripting;
    TestHost host(40, 30);
    host.record.scriptRecord = &scripting.script;
    scripting.play(exampleScript());
    ASSERT_EQ(host.runFilter(), 0);
    ASSERT_TRUE(scripting.takeWritten());
    // The next operation has no script to play and renders from the kept block.
    ASSERT_EQ(host.runFilter(), 0);
    const std::optional<Descriptor> recorded = scripting.takeWritten();
    ASSERT_TRUE(recorded);
    EXPECT_EQ(find(*recorded, "CrnL")->integer, 2);
    EXPECT_EQ(recorded->items.size(), 8u);
}

#ifndef _WIN32
namespace {
Document gradient(int width, int height) {
    std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = uint8_t(i * 7 % 251);
    return documentFromRgb(width, height, rgb);
}
} // namespace

// The command line of the native host, which has the plug-in linked in. A
// script is checked before the plug-in runs (the file-level record and replay
// is run on the built hosts by the command-line checks).
class ScriptCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        folder =
            std::filesystem::temp_directory_path() /
            ("orvane-script-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        std::string error;
        ASSERT_TRUE(savePng(path("in.png"), gradient(48, 32), error)) << error;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string path(const std::string& name) const { return (folder / name).string(); }
    void writeText(const std::string& name, const std::string& text) const {
        std::ofstream(path(name), std::ios::binary) << text;
    }
    int filter(const std::string& script, const std::string& output, const std::string& record) {
        CommandLine line;
        line.input = path("in.png");
        line.output = path(output);
        line.script = path(script);
        line.record = path(record);
        return runFilterCommand(line);
    }

    std::filesystem::path folder;
};

TEST_F(ScriptCommand, BrokenScriptsAreUsageErrorsAndWriteNothing) {
    for (const char* broken : {R"({"Glos": 0)", R"(["Glos", 0])", R"({"Glos": "zero"})",
                               R"({"LghS": [{"Pstn": [1, 2, 3]}]})", R"({"AmbC": 255})"}) {
        writeText("bad.json", broken);
        EXPECT_EQ(filter("bad.json", "out.png", "r.json"), kExitUsage) << broken;
        EXPECT_FALSE(std::filesystem::exists(path("out.png"))) << broken;
        EXPECT_FALSE(std::filesystem::exists(path("r.json"))) << broken;
    }
    EXPECT_EQ(filter("missing.json", "out.png", "r.json"), kExitUsage);
}
#endif
