// The host's side of scripting: descriptors flattened into handles, the reader
// and writer tables, and script files turned into descriptors and back under
// the module's terminology.
#include <gtest/gtest.h>

#include "host/plugin_dll/point_descriptor.h"
#include "host/zerafin/scripts/script_file.h"
#include "protocol/four_cc.h"
#include "protocol/plugin_api.h"
#include "resources/resource_data.h"
#include "tests/support/script_fixture.h"

namespace {
Descriptor everyKind() {
    Descriptor nested{{integerItem("Intn", -7), floatItem("Rds ", 0.1)}};
    return Descriptor{{
        integerItem("Glos", -2147483647 - 1),
        floatItem("FrmW", 63.492063492063494),
        booleanItem("WhHi", true),
        enumeratedItem("LghT", "LghT", "LghO"),
        channelByNameItem("Alpha 1"),
        colourItem("AmbC", 1, 2, 3),
        lightListItem(
            {DescriptorValue::makeObject(fourCC("LghS"), nested), DescriptorValue::makeInteger(4)}),
    }};
}

Terminology moduleTerminology() {
    std::string error;
    std::optional<Terminology> terminology = parseTerminology(terminologyBytes(), error);
    EXPECT_TRUE(terminology) << error;
    return terminology.value_or(Terminology{});
}

std::optional<Descriptor> fromScript(const std::string& text, std::string& error) {
    return descriptorFromScript(text, moduleTerminology(), error);
}

// The message a script is refused with (empty when it is accepted).
std::string refusal(const std::string& text) {
    std::string error;
    return fromScript(text, error) ? std::string() : error;
}

const char* const kExample =
    R"({"LghS": [{"Clr ": {"Rd  ": 255, "Grn ": 255, "Bl  ": 0}, "Intn": 35, "Fcs ": 69,)"
    R"( "On  ": true, "LghT": "LghS", "Pstn": [50, 50], "Vct0": [64, 64], "Vct1": [43, 57],)"
    R"( "Rds ": 14}], "CrnL": 1, "Glos": 0, "Mtrl": -100, "Exps": 0, "AmbB": 8,)"
    R"( "AmbC": {"Rd  ": 255, "Grn ": 255, "Bl  ": 255}, "FrmW": 100.0})";
} // namespace

TEST(DescriptorModel, FlattenedFormKeepsEveryKindAndOrder) {
    const Descriptor original = everyKind();
    const std::optional<Descriptor> back = unflattenDescriptor(flattenDescriptor(original));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, original);
    EXPECT_EQ(keysOf(*back),
              (std::vector<std::string>{"Glos", "FrmW", "WhHi", "LghT", "BmpC", "AmbC", "LghS"}));

    Handle handle = descriptorToHandle(original);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(descriptorFromHandle(handle), original);
    HostDisposeHandle(nullptr, handle);
}

TEST(DescriptorModel, DamagedBytesHoldNoDescriptor) {
    const std::vector<uint8_t> bytes = flattenDescriptor(everyKind());
    for (size_t cut = 0; cut < bytes.size(); ++cut)
        EXPECT_FALSE(unflattenDescriptor({bytes.data(), cut})) << cut;
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(unflattenDescriptor(longer));
    std::vector<uint8_t> unknownType = flattenDescriptor({{integerItem("Glos", 1)}});
    unknownType[8] = 'x'; // the first byte of the value's type code
    EXPECT_FALSE(unflattenDescriptor(unknownType));
}

TEST(DescriptorModel, ReaderDeliversKeysAndListItemsAndRemembersItsFirstError) {
    const DescriptorReaderTable& table = *hostReaderTable();
    Handle handle = descriptorToHandle(everyKind());
    DescriptorReadToken* reader = table.openReader(handle, nullptr);
    ASSERT_NE(reader, nullptr);
    uint32_t key = 0, type = 0;
    int32_t integer = 0;
    double number = 0;
    ASSERT_TRUE(table.nextKey(reader, &key, &type, nullptr));
    EXPECT_EQ(key, fourCC("Glos"));
    EXPECT_EQ(type, fourCC("long"));
    EXPECT_EQ(table.readFloat(reader, &number), descriptorError::wrongType);
    EXPECT_EQ(table.readInteger(reader, &integer), 0);
    EXPECT_EQ(integer, -2147483647 - 1);
    for (int skipped = 0; skipped < 6; ++skipped)
        ASSERT_TRUE(table.nextKey(reader, &key, nullptr, nullptr));
    EXPECT_EQ(key, fourCC("LghS"));
    uint32_t count = 0;
    EXPECT_EQ(table.readCount(reader, &count), 0);
    EXPECT_EQ(count, 2u);
    Handle light = nullptr;
    uint32_t objectClass = 0;
    EXPECT_EQ(table.readObject(reader, &objectClass, &light), 0);
    EXPECT_EQ(objectClass, fourCC("LghS"));
    EXPECT_EQ(descriptorFromHandle(light)->items.size(), 2u);
    HostDisposeHandle(nullptr, light);
    EXPECT_EQ(table.readObject(reader, nullptr, &light), descriptorError::wrongType);
    EXPECT_EQ(light, nullptr);
    EXPECT_EQ(table.readObject(reader, nullptr, &light), descriptorError::noValue);
    EXPECT_FALSE(table.nextKey(reader, &key, nullptr, nullptr));
    EXPECT_EQ(table.readInteger(reader, &integer), descriptorError::noValue);
    EXPECT_EQ(table.closeReader(reader), descriptorError::wrongType);
    HostDisposeHandle(nullptr, handle);
}

TEST(DescriptorModel, ObjectsWrittenAfterACountJoinTheList) {
    const DescriptorWriterTable& table = *hostWriterTable();
    DescriptorWriteToken* writer = table.openWriter();
    Handle light = descriptorToHandle({{integerItem("Intn", 3)}});
    EXPECT_EQ(table.writeCount(writer, fourCC("LghS"), 2), 0);
    EXPECT_EQ(table.writeObject(writer, fourCC("LghS"), fourCC("LghS"), light), 0);
    EXPECT_EQ(table.writeObject(writer, fourCC("LghS"), fourCC("LghS"), light), 0);
    EXPECT_EQ(table.writeObject(writer, fourCC("AmbC"), fourCC("RGBC"), light), 0);
    EXPECT_EQ(table.writeObject(writer, fourCC("Bad "), 0, nullptr), descriptorError::unreadable);
    Handle written = nullptr;
    EXPECT_EQ(table.closeWriter(writer, &written), 0);
    const std::optional<Descriptor> descriptor = descriptorFromHandle(written);
    ASSERT_TRUE(descriptor);
    EXPECT_EQ(keysOf(*descriptor), (std::vector<std::string>{"LghS", "AmbC"}));
    EXPECT_EQ(find(*descriptor, "LghS")->list.size(), 2u);
    EXPECT_EQ(find(*descriptor, "AmbC")->kind, ValueKind::Object);
    HostDisposeHandle(nullptr, light);
    HostDisposeHandle(nullptr, written);
}

TEST(PointDescriptor, TravelsWholeThroughTheSupportLibrary) {
    ScriptFixture fixture;
    DescriptorWriteToken* writer = hostWriterTable()->openWriter();
    const double horizontal = 12.5, vertical = -3.25;
    int16_t cell = 99;
    EXPECT_TRUE(UtilWritePointDescriptor(fixture.record.handleTable, hostWriterTable(), &writer,
                                         fourCC("Pstn"), &horizontal, &vertical, &cell));
    EXPECT_EQ(cell, 0);
    hostWriterTable()->writeInteger(writer, fourCC("Intn"), 5);
    Handle written = nullptr;
    hostWriterTable()->closeWriter(writer, &written);

    DescriptorReadToken* reader = hostReaderTable()->openReader(written, nullptr);
    uint32_t key = 0;
    ASSERT_TRUE(hostReaderTable()->nextKey(reader, &key, nullptr, nullptr));
    EXPECT_EQ(key, fourCC("Pstn"));
    double x = 0, y = 0;
    EXPECT_TRUE(UtilReadPointDescriptor(fixture.record.handleTable, &fixture.script, &reader, &x,
                                        &y, &cell));
    EXPECT_EQ(cell, 0);
    EXPECT_EQ(x, 12.5);
    EXPECT_EQ(y, -3.25);
    // A value that is no point is an error, and the outputs stay as they were.
    ASSERT_TRUE(hostReaderTable()->nextKey(reader, &key, nullptr, nullptr));
    x = 7;
    EXPECT_FALSE(UtilReadPointDescriptor(fixture.record.handleTable, &fixture.script, &reader, &x,
                                         &y, &cell));
    EXPECT_NE(cell, 0);
    EXPECT_EQ(x, 7);
    hostReaderTable()->closeReader(reader);
    HostDisposeHandle(nullptr, written);
}

TEST(ScriptFile, TheExampleBecomesTypedValues) {
    std::string error;
    const std::optional<Descriptor> script = fromScript(kExample, error);
    ASSERT_TRUE(script) << error;
    EXPECT_EQ(keysOf(*script), (std::vector<std::string>{"LghS", "CrnL", "Glos", "Mtrl", "Exps",
                                                         "AmbB", "AmbC", "FrmW"}));
    const DescriptorValue& lights = *find(*script, "LghS");
    ASSERT_EQ(lights.kind, ValueKind::List);
    ASSERT_EQ(lights.list.size(), 1u);
    const DescriptorValue& light = lights.list[0];
    EXPECT_EQ(light.objectClass, fourCC("LghS"));
    EXPECT_EQ(find(light.object, "Clr ")->objectClass, fourCC("RGBC"));
    EXPECT_EQ(find(find(light.object, "Clr ")->object, "Rd  ")->kind, ValueKind::Float);
    EXPECT_EQ(find(light.object, "Intn")->integer, 35);
    EXPECT_TRUE(find(light.object, "On  ")->boolean);
    EXPECT_EQ(find(light.object, "LghT")->kind, ValueKind::Enumerated);
    EXPECT_EQ(find(light.object, "LghT")->enumValue, fourCC("LghS"));
    const DescriptorValue& position = *find(light.object, "Vct1");
    EXPECT_EQ(position.objectClass, pointDescriptor::objectClass);
    EXPECT_EQ(position.object.items.at(0).value.number, 43.0);
    EXPECT_EQ(position.object.items.at(1).value.number, 57.0);
    EXPECT_EQ(find(light.object, "Rds ")->kind, ValueKind::Float);
    EXPECT_EQ(find(*script, "Mtrl")->integer, -100);
    EXPECT_EQ(find(*script, "FrmW")->number, 100.0);
}

TEST(ScriptFile, ChannelReferencesInThreeForms) {
    std::string error;
    auto channel = [&](const std::string& json) {
        const std::optional<Descriptor> script = fromScript(R"({"BmpC": )" + json + "}", error);
        EXPECT_TRUE(script) << error;
        return script ? find(*script, "BmpC")->reference : ChannelReference{};
    };
    EXPECT_EQ(channel(R"({"enum": "Grn "})").form, fourCC("Enmr"));
    EXPECT_EQ(channel(R"({"enum": "Grn "})").value, fourCC("Grn "));
    EXPECT_EQ(channel(R"({"index": 5})").index, 5);
    const ChannelReference named = channel(R"({"name": "Alpha 1"})");
    EXPECT_EQ(named.form, fourCC("name"));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(named.name + 1), named.name[0]), "Alpha 1");
}

TEST(ScriptFile, WrongShapesAreRefusedNamingTheKey) {
    struct Case {
        const char* script;
        const char* mentions;
    };
    for (Case c : {
             Case{R"({"Glos": 0,})", "not valid JSON"},
             {"", "not valid JSON"},
             {R"([1, 2])", "the script wants a JSON object"},
             {R"({"Glos": "high"})", R"("Glos" wants a whole number)"},
             {R"({"Glos": 1.5})", R"("Glos" wants a whole number)"},
             {R"({"Glos": 3000000000})", R"("Glos" wants a whole number)"},
             {R"({"FrmW": "wide"})", R"("FrmW" wants a number)"},
             {R"({"WhHi": 1})", R"("WhHi" wants true or false)"},
             {R"({"LghS": {}})", R"("LghS" wants an array)"},
             {R"({"LghS": [5]})", R"("LghS"[0] wants a JSON object)"},
             {R"({"LghS": [{"Pstn": [1]}]})", R"("LghS"[0]."Pstn" wants [horizontal, vertical])"},
             {R"({"LghS": [{"LghT": "Spotlight"}]})", R"("LghS"[0]."LghT" wants a four-character)"},
             {R"({"LghS": [{"Clr ": {"Rd  ": "x"}}]})",
              R"("LghS"[0]."Clr "."Rd  " wants a number)"},
             {R"({"AmbC": [1, 2, 3]})", R"("AmbC" wants a JSON object)"},
             {R"({"BmpC": {"enum": "Green"}})", R"("BmpC" wants {"enum")"},
             {R"({"BmpC": {"index": 1, "name": "x"}})", R"("BmpC" wants)"},
             {R"({"Gloss": 0})", R"("Gloss" is not a four-character key)"},
             {R"({"Clr": 0})", R"("Clr" is not a four-character key)"},
             {R"({"Xtra": null})", R"("Xtra" wants a number, true or false)"},
         })
        EXPECT_NE(refusal(c.script).find(c.mentions), std::string::npos)
            << c.script << " gave: " << refusal(c.script);
}

TEST(ScriptFile, UnknownKeysArePassedOnWithTheirJsonType) {
    std::string error;
    const std::optional<Descriptor> script = fromScript(
        R"({"Xtra": 5, "Half": 0.5, "Flag": false, "Code": "abcd", "Nest": {"Deep": [1, 2]},)"
        R"( "LghS": [{"Newk": 1}]})",
        error);
    ASSERT_TRUE(script) << error;
    EXPECT_EQ(find(*script, "Xtra")->kind, ValueKind::Integer);
    EXPECT_EQ(find(*script, "Half")->kind, ValueKind::Float);
    EXPECT_EQ(find(*script, "Flag")->kind, ValueKind::Boolean);
    EXPECT_EQ(find(*script, "Code")->kind, ValueKind::Enumerated);
    EXPECT_EQ(find(find(*script, "Nest")->object, "Deep")->list.size(), 2u);
    EXPECT_EQ(find(find(*script, "LghS")->list.at(0).object, "Newk")->integer, 1);
}

TEST(ScriptFile, DescriptorsBecomeScriptsThatReadBackTheSame) {
    std::string error;
    const std::optional<Descriptor> script = fromScript(kExample, error);
    ASSERT_TRUE(script) << error;
    const std::string text = scriptFromDescriptor(*script);
    EXPECT_EQ(text.find("\"LghS\""), text.find('"')); // the first key stays first
    const std::optional<Descriptor> again = fromScript(text, error);
    ASSERT_TRUE(again) << error;
    EXPECT_EQ(*again, *script);
    EXPECT_EQ(scriptFromDescriptor(*again), text);

    // Every kind the plug-in writes, channel references included.
    Descriptor written{{channelByNameItem("Alpha 1"), colourItem("AmbC", 255, 0, 1),
                        floatItem("FrmW", 63.492063492063494)}};
    const std::optional<Descriptor> back = fromScript(scriptFromDescriptor(written), error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(*back, written);
    for (const DescriptorItem& reference : {channelByIndexItem(7), channelByEnumItem("Bl  ")}) {
        const Descriptor alone{{reference}};
        EXPECT_EQ(fromScript(scriptFromDescriptor(alone), error), alone);
    }
}
