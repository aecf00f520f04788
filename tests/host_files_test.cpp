// The files the host reads and writes: outputs put in place together or not
// at all, one file recognised under several paths, inputs refused before they
// are read, the parameter file's envelope, and messages made printable.
#include <cstdio>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "host/zerafin/files/host_files.h"
#include "host/zerafin/files/parameter_file.h"
#include "host/zerafin/terminal/messages.h"
#include "tests/support/styles_test_support.h"

namespace fs = std::filesystem;

namespace {
class HostFiles : public testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("orvane-files-" +
                  std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string path(const char* name) const { return (folder / name).string(); }
    size_t entries() const {
        return size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }
    fs::path folder;
};

const std::vector<uint8_t> kOld = {'o', 'l', 'd'}, kNew = {'n', 'e', 'w', '!'};
} // namespace

TEST_F(HostFiles, OutputsReplaceTheirTargetsTogetherOrNotAtAll) {
    writeWholeFile(path("a"), kOld);
    writeWholeFile(path("b"), kOld);
    std::string error;
    {
        PendingOutputs outputs;
        size_t a = 0, b = 0;
        ASSERT_TRUE(outputs.reserve(path("a"), a, error) && outputs.reserve(path("b"), b, error));
        ASSERT_TRUE(outputs.write(a, kNew, error)) << error;
        EXPECT_FALSE(outputs.commit(error)) << "b was never written";
    }
    EXPECT_EQ(readWholeFile(path("a")), kOld);
    EXPECT_EQ(readWholeFile(path("b")), kOld);
    EXPECT_EQ(entries(), 2u) << "no temporary file is left";

    PendingOutputs outputs;
    size_t a = 0, b = 0;
    ASSERT_TRUE(outputs.reserve(path("a"), a, error) && outputs.reserve(path("b"), b, error));
    ASSERT_TRUE(outputs.write(a, kNew, error) && outputs.write(b, kNew, error)) << error;
    ASSERT_TRUE(outputs.commit(error)) << error;
    EXPECT_EQ(readWholeFile(path("a")), kNew);
    EXPECT_EQ(readWholeFile(path("b")), kNew);
    EXPECT_EQ(entries(), 2u);

    EXPECT_FALSE(outputs.reserve(path("missing/c"), a, error));
    EXPECT_FALSE(outputs.reserve(folder.string(), a, error)) << "a folder is no output";
}

TEST_F(HostFiles, OneFileIsKnownUnderEveryPathThatNamesIt) {
    writeWholeFile(path("image.png"), kOld);
    fs::create_hard_link(path("image.png"), path("linked.png"));
    const auto image = identityOf(path("image.png"));
    ASSERT_TRUE(image);
    EXPECT_EQ(identityOf((folder / "." / "image.png").string()), image);
    EXPECT_EQ(identityOf(path("linked.png")), image);
    // Files yet to be written are named by their folder and name.
    EXPECT_EQ(identityOf(path("new.png")), identityOf((folder / "." / "new.png").string()));
    EXPECT_NE(identityOf(path("new.png")), identityOf(path("other.png")));
    EXPECT_NE(identityOf(path("new.png")), image);
    EXPECT_FALSE(identityOf(path("missing/new.png")));
}

TEST_F(HostFiles, InputsAreRegularFilesWithinTheirLimit) {
    writeWholeFile(path("script.json"), kNew);
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(readInputFile(path("script.json"), "the script", 4, bytes, error)) << error;
    EXPECT_EQ(bytes, kNew);
    EXPECT_FALSE(readInputFile(path("script.json"), "the script", 3, bytes, error));
    EXPECT_NE(error.find("larger than 3 bytes"), std::string::npos) << error;
    EXPECT_FALSE(readInputFile(folder.string(), "the script", 4, bytes, error)) << "a folder";
    EXPECT_FALSE(readInputFile(path("missing.json"), "the script", 4, bytes, error));
}

TEST(ParameterFile, HoldsOneModulesWholeBlockAndRefusesAnythingElse) {
    std::vector<uint8_t> block(kParameterBlockSize, 0);
    const uint8_t start[10] = {0xFD, 0x44, 0xBF, 0x05, 1, 0, 0, 0, 1, 0};
    std::copy(std::begin(start), std::end(start), block.begin());
    const std::vector<uint8_t> file = parameterFileBytes("Orvane...", block);
    std::vector<uint8_t> read;
    std::string error;
    ASSERT_TRUE(readParameterFile(file, "Orvane...", read, error)) << error;
    EXPECT_EQ(read, block);

    EXPECT_FALSE(readParameterFile(file, "Autre...", read, error)) << "another module's";
    for (size_t length : {size_t(0), size_t(4), file.size() - 1})
        EXPECT_FALSE(readParameterFile(std::span(file).first(length), "Orvane...", read, error))
            << length;
    std::vector<uint8_t> damaged = file;
    damaged.back() ^= 1;
    EXPECT_FALSE(readParameterFile(damaged, "Orvane...", read, error));
    EXPECT_NE(error.find("checksum"), std::string::npos) << error;
    EXPECT_FALSE(readParameterFile(parameterFileBytes("Orvane...", {}), "Orvane...", read, error));
    EXPECT_EQ(read, block) << "a refused file leaves the block alone";
}

TEST(Messages, ShowControlCharactersAndInvalidBytesAsEscapes) {
    EXPECT_EQ(printable(std::string("\"G\0s\" is", 8)), "\"G\\x00s\" is");
    EXPECT_EQ(printable("matière \xFF\xFE"), "matière \\xFF\\xFE");
    EXPECT_EQ(printable("\xC3"), "\\xC3") << "a sequence cut short";
    EXPECT_EQ(printable("\xED\xA0\x80"), "\\xED\\xA0\\x80") << "a surrogate";
    EXPECT_EQ(printable("ligne\nsuivante"), "ligne\\x0Asuivante");
}

namespace {
std::string contentsOf(std::FILE* file) {
    std::string text;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += char(c);
    return text;
}
} // namespace

TEST(Messages, AreHeldOnTheirThreadAndPrintedInOrderElsewhere) {
    std::FILE* log = std::tmpfile();
    ASSERT_TRUE(log);
    std::vector<std::pair<std::FILE*, std::string>> taken;
    std::thread([&] {
        HeldMessages outer;
        printMessage(log, "first");
        {
            HeldMessages inner;
            printMessage(log, "inner");
            EXPECT_EQ(inner.take().size(), 1u);
        }
        printMessage(log, "second\n");
        taken = outer.take();
    }).join();
    EXPECT_EQ(contentsOf(log), "") << "nothing printed while held";
    printMessage(log, "before");
    printHeldMessages(taken);
    EXPECT_EQ(contentsOf(log), "zerafin: before\nzerafin: first\nzerafin: second\\x0A\n");
    std::fclose(log);
}
