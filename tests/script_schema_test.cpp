// The script schema and its checker: a recording-shaped script conforms, and
// each kind of mistake a hand-written script makes is found where it lies.
#include <gtest/gtest.h>

#include "host/zerafin/scripts/schema_check.h"
#include "tools/script_docs/script_reference.h"

using nlohmann::json;

namespace {
std::vector<std::string> faultsOf(const char* script) {
    return schemaFaults(json(scriptSchema()), json::parse(script));
}
} // namespace

TEST(ScriptSchema, AWholeScriptConformsAndEachMistakeIsFoundWhereItLies) {
    EXPECT_EQ(faultsOf(R"({"LghS": [{"Clr ": {"Rd  ": 255, "Grn ": 0, "Bl  ": 9.5}, "On  ": true,
        "Fcs ": 0, "Intn": 98, "LghT": "LghO", "Pstn": [50, -20.5], "Vct0": [1, 2],
        "Vct1": [3, 4], "Rds ": 11.9}], "CrnL": 1, "Glos": -100, "BmpC": {"index": 4},
        "WhHi": false, "BmpA": 100, "FrmW": 100.0})"),
              std::vector<std::string>{});

    const std::vector<std::pair<const char*, const char*>> mistakes = {
        {R"({"Glos": 101})", "\"Glos\": 101 is above 100"},
        {R"({"BmpA": -1})", "\"BmpA\": -1 is below 0"},
        {R"({"Glos": 5.5})", "\"Glos\": 5.5 is not of type integer"},
        {R"({"Clr ": 1})", "has the unknown key \"Clr \""},
        {R"({"LghS": [{"LghT": "LghX"}]})", "\"LghS\"[0].\"LghT\": \"LghX\" is not one of"},
        {R"({"LghS": [{"Pstn": [50]}]})", "\"LghS\"[0].\"Pstn\": has fewer than 2 items"},
        {R"({"AmbC": {"Rd  ": 1, "Grn ": 1}})", "\"AmbC\": lacks \"Bl  \""},
        {R"({"BmpC": {"index": 4, "name": "Relief"}})", "\"BmpC\": has more than 1 keys"},
        {R"({"WhHi": 1})", "\"WhHi\": 1 is not of type boolean"},
    };
    for (const auto& [script, fault] : mistakes) {
        const std::vector<std::string> faults = faultsOf(script);
        ASSERT_EQ(faults.size(), 1u) << script;
        EXPECT_EQ(faults[0].rfind(fault, 0), 0u) << faults[0];
    }
}
