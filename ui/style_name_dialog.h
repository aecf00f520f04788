#pragma once
#include <windows.h>

constexpr int kStyleNameCapacity = 256; // 255 characters and the terminator

// Asks for a style's name, proposing the one in the buffer fully selected so
// that typing replaces it. True when the user confirmed a name that is not
// empty; it is then in the buffer. An empty name counts as a cancel.
bool AskStyleName(HWND owner, char (&name)[kStyleNameCapacity]);
