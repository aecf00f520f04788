#include "tests/support/styles_test_support.h"

#include <atomic>
#include <fstream>
#include <iterator>

#include "platform/files.h"
#include "styles/style_library.h"
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

std::unique_ptr<Settings> makeState(uint16_t halfFrame) {
    auto state = std::make_unique<Settings>();
    state->frameCorner = {20, 30};
    state->frameCenter = {uint16_t(20 + halfFrame), uint16_t(30 + halfFrame)};
    return state;
}

std::string systemName(const char* utf8) {
#ifdef _WIN32
    wchar_t wide[platform::kMaxPath];
    char ansi[platform::kMaxPath];
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, platform::kMaxPath);
    const int ansiLength = WideCharToMultiByte(CP_ACP, 0, wide, wideLength, ansi,
                                               platform::kMaxPath, nullptr, nullptr);
    return ansiLength > 0 ? std::string(ansi) : std::string();
#else
    return utf8;
#endif
}

void expectSameStyleSettings(const Settings& expected, const Settings& actual) {
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(expected.ambientColor[c], actual.ambientColor[c]) << "ambient " << c;
    EXPECT_EQ(expected.material, actual.material);
    EXPECT_EQ(expected.gloss, actual.gloss);
    EXPECT_EQ(expected.exposure, actual.exposure);
    EXPECT_EQ(expected.ambience, actual.ambience);
    EXPECT_EQ(expected.reliefAmount, actual.reliefAmount);
    EXPECT_EQ(expected.whiteIsHigh, actual.whiteIsHigh);
    EXPECT_EQ(expected.textureChannel, actual.textureChannel);
    EXPECT_EQ(expected.lightCount, actual.lightCount);
    EXPECT_EQ(expected.currentLight, actual.currentLight);
    for (int i = 0; i < kMaxLights; ++i) {
        const LightSource& a = expected.lights[i];
        const LightSource& b = actual.lights[i];
        SCOPED_TRACE("light " + std::to_string(i));
        EXPECT_EQ(a.type, b.type);
        EXPECT_EQ(a.position.x, b.position.x);
        EXPECT_EQ(a.position.y, b.position.y);
        EXPECT_EQ(a.origin.x, b.origin.x);
        EXPECT_EQ(a.origin.y, b.origin.y);
        EXPECT_EQ(a.vector0.x, b.vector0.x);
        EXPECT_EQ(a.vector0.y, b.vector0.y);
        EXPECT_EQ(a.vector1.x, b.vector1.x);
        EXPECT_EQ(a.vector1.y, b.vector1.y);
        EXPECT_EQ(a.radius, b.radius);
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(a.color[c], b.color[c]) << "colour " << c;
        EXPECT_EQ(a.intensity, b.intensity);
        EXPECT_EQ(a.focus, b.focus);
        EXPECT_EQ(a.enabled, b.enabled);
    }
}

std::vector<uint8_t> readWholeFile(const std::string& path) {
    std::ifstream input(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(input), {});
}

void writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream output(path, std::ios::binary | std::ios::trunc);
    output.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void setWriteProtected(const std::string& path, bool writeProtected) {
#ifdef _WIN32
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), writeProtected ? FILE_ATTRIBUTE_READONLY
                                                                : FILE_ATTRIBUTE_NORMAL));
#else
    ASSERT_EQ(chmod(path.c_str(), writeProtected ? 0444 : 0644), 0);
#endif
}

void StyleFolderTest::SetUp() {
    static std::atomic<int> serial{0};
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    base = fs::temp_directory_path() /
           ("orvane-styles-" + std::to_string(serial++) + "-" + test->name());
    fs::remove_all(base);
    fs::create_directories(base);
    setStyleFolderBaseForTesting(base.string().c_str());
}

void StyleFolderTest::TearDown() {
    setStyleFolderBaseForTesting(nullptr);
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(base, ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(base, ignored);
}

std::string StyleFolderTest::folder() const {
    char path[platform::kMaxPath] = {};
    EXPECT_EQ(GetStyleFolder(path), 1);
    return path;
}

std::string StyleFolderTest::stylePath(const std::string& name) const {
    return folder() + name;
}
