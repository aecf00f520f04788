// The host's command line: options end where "--" says, help is asked only
// where an option may stand, mistakes come with the nearest name, and scripts
// are checked against the schema the host publishes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "host/zerafin/commands/command_line.h"
#include "host/zerafin/scripts/script_check.h"
#include "host/zerafin/terminal/suggestions.h"

namespace {
struct Parsed {
    bool ok = false;
    CommandLine line;
    std::string error;
};

Parsed parsed(const std::vector<std::string>& arguments) {
    Parsed result;
    result.ok = parseCommandLine(arguments, result.line, result.error);
    return result;
}
} // namespace

TEST(Suggestions, NamesFoldWithoutAccentsCaseOrTrailingBlanks) {
    EXPECT_EQ(foldedName("Par défaut"), "par defaut");
    EXPECT_EQ(foldedName("MÉTAL REPOUSSÉ"), "metal repousse");
    EXPECT_EQ(foldedName("Plâtre Œuvré Ça"), "platre oeuvre ca");
    EXPECT_EQ(foldedName("Rds "), "rds");
    // Other characters stay as they are, whole.
    EXPECT_EQ(foldedName("a×b ÷ –"), "a×b ÷ –");
}

TEST(Suggestions, TheNearestNameIsOfferedOnlyWhenItIsNear) {
    EXPECT_EQ(editDistance("Glss", "Glos"), 1u);
    EXPECT_EQ(editDistance("stlye", "style"), 1u); // a swap is one slip
    EXPECT_EQ(editDistance("", "abc"), 3u);
    const std::vector<std::string> keys = {"LghS", "CrnL", "Glos", "Mtrl", "Exps", "AmbB"};
    EXPECT_EQ(nearestName("Glss", keys), "Glos");
    EXPECT_EQ(nearestName("glos", keys), "Glos");
    EXPECT_EQ(nearestName("Xyzw", keys), std::nullopt);
    EXPECT_EQ(nearestName("Radi", {"Clr ", "Intn", "Fcs ", "On  ", "Rds "}), "Rds ");
    const std::vector<std::string> styles = {"Par défaut", "Bougie", "Nuit bleue", "Lampe chaude"};
    EXPECT_EQ(nearestName("par defaut", styles), "Par défaut");
    EXPECT_EQ(nearestName("BOUGIE", styles), "Bougie");
    EXPECT_EQ(nearestName("Nuit blue", styles), "Nuit bleue");
    EXPECT_EQ(nearestName("Soleil", styles), std::nullopt);
    // Equally near: the first.
    EXPECT_EQ(nearestName("ab", {"ax", "xb"}), "ax");
    EXPECT_EQ(didYouMean("--styl", {"--script", "--style"}), "; did you mean \"--style\"?");
    EXPECT_EQ(didYouMean("--zzzz", {"--script", "--style"}), "");
}

TEST(CommandLine, OptionsEndAtTheDoubleDashAndHelpOnlyWhereAnOptionStands) {
    const Parsed files =
        parsed({"filter", "--style", "S", "--out-dir", "out", "--", "-h", "--x.png"});
    ASSERT_TRUE(files.ok) << files.error;
    EXPECT_EQ(files.line.inputs, (std::vector<std::string>{"-h", "--x.png"}));

    const Parsed styleNamed = parsed({"filter", "in.png", "out.png", "--style", "-h"});
    ASSERT_TRUE(styleNamed.ok) << styleNamed.error;
    EXPECT_EQ(styleNamed.line.command, Command::Filter);
    EXPECT_EQ(styleNamed.line.style, "-h");

    for (const std::string help : {"-h", "--help"}) {
        const Parsed asked = parsed({"filter", "in.png", help, "--bogus"});
        ASSERT_TRUE(asked.ok) << asked.error;
        EXPECT_EQ(asked.line.command, Command::Help);
        EXPECT_EQ(asked.line.helpTopic, Command::Filter);
    }
    const Parsed topic = parsed({"--help", "check"});
    ASSERT_TRUE(topic.ok) << topic.error;
    EXPECT_EQ(topic.line.helpTopic, Command::Check);
}

TEST(CommandLine, MistakesAreRefusedWithTheCommandKnownAndTheNearestOption) {
    const Parsed misspelt = parsed({"filter", "in.png", "out.png", "--styl", "S"});
    EXPECT_FALSE(misspelt.ok);
    EXPECT_TRUE(misspelt.line.commandGiven);
    EXPECT_EQ(misspelt.line.command, Command::Filter);
    EXPECT_EQ(misspelt.error, "unknown option '--styl'; did you mean \"--style\"?");

    const Parsed unknown = parsed({"filter", "in.png", "out.png", "--zzzzzz"});
    EXPECT_NE(unknown.error.find("goes after --"), std::string::npos) << unknown.error;

    const Parsed twice = parsed({"filter", "in.png", "out.png", "--style", "S", "--channel",
                                 "Relief=a.png", "--channel", "Relief=b.png"});
    EXPECT_FALSE(twice.ok);
    EXPECT_NE(twice.error.find("'Relief' is given twice"), std::string::npos) << twice.error;

    const Parsed emptyFolder = parsed({"filter", "in.png", "--out-dir", "", "--style", "S"});
    EXPECT_FALSE(emptyFolder.ok);
    EXPECT_EQ(emptyFolder.error, "--out-dir needs a folder's name, not an empty one");

    const Parsed noScript = parsed({"filter", "in.png", "out.png", "--style", "S", "--no-check"});
    EXPECT_FALSE(noScript.ok);

    const Parsed command = parsed({"fliter"});
    EXPECT_FALSE(command.ok);
    EXPECT_FALSE(command.line.commandGiven);
    EXPECT_NE(command.error.find("did you mean \"filter\""), std::string::npos);

    const Parsed quality =
        parsed({"filter", "in.png", "out.png", "--style", "S", "--quality", "50"});
    ASSERT_TRUE(quality.ok);
    EXPECT_TRUE(quality.line.qualityGiven);
    EXPECT_FALSE(parsed({"check"}).ok);
    EXPECT_EQ(parsed({"check", "a.json", "b.json"}).line.scriptsToCheck.size(), 2u);
}

TEST(ScriptCheck, TheBuiltInSchemaIsThePublishedFileAndFindsEveryMistake) {
    // The schema the host checks with is the one it publishes.
    const auto schema = nlohmann::json::parse(publishedSchemaText());
    EXPECT_EQ(schema["title"], "Orvane lighting script");
    EXPECT_TRUE(scriptMistakes(R"({"Glos": 20, "LghS": [{"Rds ": 3, "LghT": "LghO"}]})").empty());
    const std::vector<std::string> mistakes =
        scriptMistakes(R"({"Glss": 20, "LghS": [{"Radi": 3, "LghT": "Omni"}], "Glos": 250})");
    EXPECT_EQ(mistakes,
              (std::vector<std::string>{
                  "has the unknown key \"Glss\"; did you mean \"Glos\"?",
                  "\"LghS\"[0]: has the unknown key \"Radi\"; did you mean \"Rds \"?",
                  "\"LghS\"[0].\"LghT\": \"Omni\" is not one of [\"LghD\",\"LghO\",\"LghS\"]",
                  "\"Glos\": 250 is above 100",
              }));
}

TEST(ScriptCheck, AReliefChannelMustBeOneOfTheDocumentsByNameOrNumber) {
    const std::vector<std::string> channels = {"Rouge", "Vert", "Bleu", "relief"};
    EXPECT_EQ(reliefChannelMistake(R"({"Glos": 1})", channels), std::nullopt);
    EXPECT_EQ(reliefChannelMistake(R"({"BmpC": {"enum": "Grn "}})", channels), std::nullopt);
    EXPECT_EQ(reliefChannelMistake(R"({"BmpC": {"name": "relief"}})", channels), std::nullopt);
    EXPECT_EQ(reliefChannelMistake(R"({"BmpC": {"index": 4}})", channels), std::nullopt);
    const std::optional<std::string> byName =
        reliefChannelMistake(R"({"BmpC": {"name": "Relief"}})", channels);
    ASSERT_TRUE(byName);
    EXPECT_EQ(*byName, "\"BmpC\" names the channel \"Relief\", which the document does not have; "
                       "did you mean \"relief\"?; the document's channels are 1 \"Rouge\", 2 "
                       "\"Vert\", 3 \"Bleu\", 4 \"relief\" (--channel NAME=GREY.png adds one)");
    const std::optional<std::string> byNumber =
        reliefChannelMistake(R"({"BmpC": {"index": 5}})", channels);
    ASSERT_TRUE(byNumber);
    EXPECT_EQ(byNumber->rfind("\"BmpC\" names the channel 5, which", 0), 0u);
}
