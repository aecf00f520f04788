#pragma once
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

// The progress of a run on stderr. On a terminal: one line, redrawn only when
// the percentage shown changes, with the time spent and an estimate of the
// time left. Elsewhere (a log, a pipe): one line when the run starts and one
// when it ends, without carriage returns.
class ProgressLine {
  public:
    ProgressLine(std::FILE* out, bool terminal) : out(out), terminal(terminal) {}
    // Whether stderr is a terminal.
    static bool stderrIsTerminal();

    // `done` of `total` steps are done.
    void report(int64_t done, int64_t total);
    // The run ended; `completed` when it ran to its end. Nothing when no
    // progress was ever reported.
    void finish(bool completed);

  private:
    double secondsSinceStart() const;
    void draw(int percent, double fraction);

    std::FILE* out;
    bool terminal;
    bool started = false;
    int percentDone = 0;
    int shownPercent = -1; // on the terminal
    std::chrono::steady_clock::time_point start;
};

// A duration as "7.2 s" under a minute, else as "1:05" or "1:02:03".
std::string durationText(double seconds);

// The terminal's line: a bar, the percentage, the time spent and, once some
// of the run is done, the time left at the pace so far.
std::string progressText(int percent, double elapsedSeconds,
                         std::optional<double> remainingSeconds);
