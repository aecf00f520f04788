#pragma once
#include <string>
#include <vector>

// Closes the message boxes the code under test shows and remembers their title
// and text. The Win32 build watches the real windows from a second thread;
// natively messages go to the standard error stream and nothing is shown.
class MessageBoxWatcher {
  public:
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    struct Seen {
        std::string title; // Windows-1252, as the window holds it
        std::string text;
    };
    // Stops watching and returns every message box closed so far.
    std::vector<Seen> finish();
    // Whether message boxes are real windows in this build.
    static bool watchesWindows();

  private:
    struct Impl;
    Impl* impl;
};
