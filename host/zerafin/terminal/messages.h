#pragma once
#include <cstdio>
#include <string>

// Text from files and arguments as it may be shown on a terminal: valid UTF-8
// stays, while control characters (a NUL included) and bytes that are not
// UTF-8 show as \xNN, so that a message is never cut short or garbled.
std::string printable(const std::string& text);

// Prints "zerafin: " and the message, made printable, on its own line.
void printMessage(std::FILE* stream, const std::string& message);
