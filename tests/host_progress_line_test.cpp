// The host's progress line on a terminal and in a log.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "host/zerafin/terminal/progress_line.h"

namespace {
// What a progress line writes for a run of `steps` steps.
std::string writtenFor(bool terminal, int steps, bool completed) {
    std::FILE* file = std::tmpfile();
    ProgressLine line(file, terminal);
    for (int done = 0; done <= steps; ++done)
        line.report(done, steps);
    line.finish(completed);
    std::string text(size_t(std::ftell(file)), '\0');
    std::rewind(file);
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    return text;
}
} // namespace

TEST(ProgressLine, ATerminalRedrawsOnlyWhenThePercentageChanges) {
    const std::string text = writtenFor(true, 6000, true);
    // 0 % to 100 %, then 100 % again as the run ends.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 102);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
    EXPECT_NE(text.find("100%"), std::string::npos);
}

TEST(ProgressLine, ALogGetsOneLineAtTheStartAndOneAtTheEnd) {
    for (bool completed : {true, false}) {
        const std::string text = writtenFor(false, 6000, completed);
        EXPECT_EQ(text.find('\r'), std::string::npos);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
        EXPECT_NE(text.find(completed ? "done in" : "stopped at 100%"), std::string::npos);
    }
}

TEST(ProgressLine, TheTextShowsTimeSpentAndLeft) {
    EXPECT_EQ(durationText(7.24), "7.2 s");
    EXPECT_EQ(durationText(65), "1:05");
    EXPECT_EQ(durationText(3723), "1:02:03");
    const std::string text = progressText(50, 10, 10.0);
    EXPECT_NE(text.find(" 50%  10.0 s, about 10.0 s left"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '#'), 15);
}
