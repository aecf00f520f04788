#pragma once
// The main dialog run through the whole filtering run, for the tests that
// drive it.
#ifdef _WIN32
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "shell/plugin_state.h"
#include "tests/support/test_host.h"

// Runs the filter with its dialog while `drive` acts on the dialog from a
// helper thread; the run's result. The settings the run records are taken, as
// a host does, so that the next run does not play them.
int16_t runWithDialog(TestHost& host, const std::function<void(HWND)>& drive);

// The preview's lit picture, as the work area shows it.
std::vector<uint8_t> resultPixels(const PluginState& state);

// Makes an edit and checks that the preview followed it: it changed, and it
// equals a render of the same settings from scratch.
void expectPreviewFollows(PluginState& state, const char* edit, const std::function<void()>& make);
#endif
