#include "host/zerafin/terminal/progress_line.h"

#include <algorithm>
#include <cmath>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

bool ProgressLine::stderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

std::string durationText(double seconds) {
    char text[32];
    if (seconds < 59.95) {
        std::snprintf(text, sizeof text, "%.1f s", std::max(seconds, 0.0));
        return text;
    }
    const long total = std::lround(std::max(seconds, 0.0));
    const long hours = total / 3600, minutes = total / 60 % 60, rest = total % 60;
    if (hours > 0)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", hours, minutes, rest);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", minutes, rest);
    return text;
}

std::string progressText(int percent, double elapsedSeconds,
                         std::optional<double> remainingSeconds) {
    constexpr int kBarWidth = 30;
    const int filled = percent * kBarWidth / 100;
    std::string text = "[" + std::string(size_t(filled), '#') +
                       std::string(size_t(kBarWidth - filled), ' ') + "] ";
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, "%3d%%  %s", percent,
                  durationText(elapsedSeconds).c_str());
    text += numbers;
    if (remainingSeconds)
        text += ", about " + durationText(*remainingSeconds) + " left";
    return text;
}

double ProgressLine::secondsSinceStart() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void ProgressLine::report(int64_t done, int64_t total) {
    if (total <= 0)
        return;
    if (!started) {
        started = true;
        start = std::chrono::steady_clock::now();
        if (!terminal) {
            std::fputs("lighting...\n", out);
            std::fflush(out);
        }
    }
    const double fraction = std::clamp(double(done) / double(total), 0.0, 1.0);
    percentDone = int(fraction * 100);
    if (terminal && percentDone != shownPercent)
        draw(percentDone, fraction);
}

void ProgressLine::draw(int percent, double fraction) {
    const double elapsed = secondsSinceStart();
    std::optional<double> remaining;
    if (fraction > 0 && fraction < 1)
        remaining = elapsed * (1 - fraction) / fraction;
    // Spaces after the text clear what a longer line left.
    std::fprintf(out, "\r%s   ", progressText(percent, elapsed, remaining).c_str());
    std::fflush(out);
    shownPercent = percent;
}

void ProgressLine::finish(bool completed) {
    if (!started)
        return;
    // The plug-in may count a spare row and column of tiles, so a run that
    // ran to its end is shown whole by the host.
    if (terminal && completed)
        draw(100, 1);
    const std::string elapsed = durationText(secondsSinceStart());
    if (terminal)
        std::fputc('\n', out);
    else if (completed)
        std::fprintf(out, "lighting done in %s\n", elapsed.c_str());
    else
        std::fprintf(out, "lighting stopped at %d%% after %s\n", percentDone, elapsed.c_str());
    std::fflush(out);
    started = false;
    percentDone = 0;
    shownPercent = -1;
}
