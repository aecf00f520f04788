#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/settings.h"

// A fresh state (the state is too large for the stack) whose preview frame has
// the given half size.
std::unique_ptr<Settings> makeState(uint16_t halfFrame);

// A name given in UTF-8 as the system writes it: Windows-1252 on Win32.
std::string systemName(const char* utf8);

// Every setting a style carries (lights beyond lightCount included), compared
// field by field.
void expectSameStyleSettings(const Settings& expected, const Settings& actual);

// Paths in the system's code page, as the style library builds them.
std::vector<uint8_t> readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);
void setWriteProtected(const std::string& path, bool writeProtected);

// Each test gets an empty directory of its own in which the style folder is
// made; it is removed afterwards, write protection included.
class StyleFolderTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The style folder (created) and a style's path in it.
    std::string folder() const;
    std::string stylePath(const std::string& name) const;

    std::filesystem::path base;
};
