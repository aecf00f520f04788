// `zerafin info`: what the host prints about the module from its resources.
#include <cstdio>

#include <gtest/gtest.h>

#include "host/zerafin/commands/info_command.h"
#include "resources/version_table.h"
#include "tests/support/resources_under_test.h"

namespace {
struct InfoRun {
    int status;
    std::string text;
};

InfoRun runInfo(std::span<const uint8_t> pipl, std::span<const uint8_t> aete,
                const VersionBlock* version) {
    std::FILE* out = std::tmpfile();
    const int status = runInfoCommand(pipl, aete, out, version);
    std::string text(size_t(std::ftell(out)), '\0');
    std::rewind(out);
    text.resize(std::fread(text.data(), 1, text.size(), out));
    std::fclose(out);
    return {status, text};
}

void expectLines(const std::string& text, std::initializer_list<const char*> lines) {
    for (const char* line : lines)
        EXPECT_NE(text.find(line), std::string::npos) << "missing: " << line << "\n" << text;
}
} // namespace

TEST(InfoCommand, PrintsThePropertyListDecoded) {
    const InfoRun run = runInfo(propertyListUnderTest(), terminologyUnderTest(), nullptr);
    EXPECT_EQ(run.status, 0);
    expectLines(run.text, {
                              "'kind' kind                       '9ZFM' (filter module)",
                              "'catg' category                   \"Rendu\"",
                              "'name' name                       \"Orvane...\"",
                              "'vers' host interface version     4.0",
                              "'mode' mode flags                 11 00 00 00 (RGB allowed)",
                              "'host' host                       '9ZIM'",
                              "'wx86' entry point                ENTRYPOINT1",
                              "'fici' layer and selection cases  01 01 00 00  01 01 00 00  07",
                              "'hstm' scripting                  class 'Fltr', event 'LghE', "
                              "terminology resource 128",
                          });
    EXPECT_EQ(run.text.find("Version block"), std::string::npos);
}

TEST(InfoCommand, PrintsTheTerminologyDecoded) {
    const InfoRun run = runInfo(propertyListUnderTest(), terminologyUnderTest(), nullptr);
    expectLines(run.text, {
                              "suite \"Zerafin\" 'ZRFN'",
                              "event \"orvane\" class 'Fltr' code 'LghE'",
                              "reply 'null' flags 0x0000, direct parameter '#ImR' flags 0xB000",
                              "event parameters (11)",
                              "\"matière\"            key 'Mtrl' type 'long' flags 0x0000",
                              "\"source d'orvane\"    key 'LghS' type 'LghS' flags 0x4000",
                              "class \"source d'orvane\" 'LghS'",
                              "class properties (9)",
                              "\"type\"               key 'LghT' type 'LghT' flags 0x3000",
                              "\"rayon\"              key 'Rds ' type 'doub' flags 0x1000",
                              "enumeration 'LghT' (3)",
                              "\"projecteur\"         'LghS'",
                          });
}

TEST(InfoCommand, PrintsTheVersionBlockWhenGiven) {
    const InfoRun run =
        runInfo(propertyListUnderTest(), terminologyUnderTest(), &orvaneVersionBlock());
    expectLines(run.text, {
                              "file version     5.0.128.0",
                              "product version  5.0.6.0",
                              "file flags       0x1 (mask 0x3F)",
                              "operating system 4",
                              "file type        2",
                              "strings          040904E4",
                              "FileDescription   \"Module externe Orvane de Zerafin\"",
                              "OriginalFilename  \"Orvane.9ZF\"",
                          });
}

TEST(InfoCommand, FailsWithStatusTwoOnUnreadableResources) {
    const std::vector<uint8_t> pipl = propertyListUnderTest();
    const std::vector<uint8_t> aete = terminologyUnderTest();
    EXPECT_EQ(runInfo(std::span(pipl).first(pipl.size() - 1), aete, nullptr).status, 2);
    EXPECT_EQ(runInfo(pipl, std::span(aete).first(20), nullptr).status, 2);
    const InfoRun withoutTerminology = runInfo(pipl, {}, nullptr);
    EXPECT_EQ(withoutTerminology.status, 0);
    expectLines(withoutTerminology.text, {"Terminology: none"});
}
