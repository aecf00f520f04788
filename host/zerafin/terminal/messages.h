#pragma once
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

// Text from files and arguments as it may be shown on a terminal: valid UTF-8
// stays, while control characters (a NUL included) and bytes that are not
// UTF-8 show as \xNN, so that a message is never cut short or garbled.
std::string printable(const std::string& text);

// Prints "zerafin: " and the message, made printable, on its own line.
void printMessage(std::FILE* stream, const std::string& message);

// While one lives, the messages of the thread that made it are kept instead of
// printed, for another thread to print in their place: a batch reads the next
// image while it lights this one, and tells each image's messages in turn.
class HeldMessages {
  public:
    HeldMessages();
    ~HeldMessages();
    HeldMessages(const HeldMessages&) = delete;
    HeldMessages& operator=(const HeldMessages&) = delete;

    // The messages so far, each with its stream; they are no longer held.
    std::vector<std::pair<std::FILE*, std::string>> take() { return std::move(held); }

  private:
    friend void printMessage(std::FILE* stream, const std::string& message);
    std::vector<std::pair<std::FILE*, std::string>> held;
    HeldMessages* outer;
};

// Prints messages taken from a HeldMessages.
void printHeldMessages(const std::vector<std::pair<std::FILE*, std::string>>& messages);
