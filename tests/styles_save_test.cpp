// A save that fails part way (here the file size limit of the process, as a
// full disk would) leaves the style it was to replace byte for byte.
#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "styles/style_library.h"
#include "tests/support/styles_test_support.h"

namespace {
// Writes beyond `bytes` in any file fail while it lives.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &previous);
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limited{bytes, previous.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }

  private:
    rlimit previous{};
    void (*previousHandler)(int) = nullptr;
};

class StyleSaveTest : public StyleFolderTest {};
} // namespace

TEST_F(StyleSaveTest, AFailedSaveLeavesTheReplacedStyleAsItWas) {
    auto state = makeState(126);
    state->resetToDefaultStyle();
    char name[] = "Nuit";
    ASSERT_EQ(SaveStyle(name, *state), 1);
    const std::vector<uint8_t> saved = readWholeFile(stylePath("Nuit"));
    ASSERT_GT(saved.size(), 40u);

    state->gloss = 17;
    {
        FileSizeLimit limit(40);
        EXPECT_EQ(SaveStyle(name, *state), 0);
    }
    EXPECT_EQ(readWholeFile(stylePath("Nuit")), saved);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder()))
        ++entries;
    EXPECT_EQ(entries, 1u) << "the unfinished file was left behind";

    EXPECT_EQ(SaveStyle(name, *state), 1) << "a save that can write replaces the style";
    EXPECT_NE(readWholeFile(stylePath("Nuit")), saved);
}
#endif
