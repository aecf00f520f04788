#pragma once
// The main dialog on the demo's sample image with its relief channel and the
// shipped styles, for the tests that take its pictures.
#ifdef _WIN32
#include <windows.h>

#include <functional>

#include "host/zerafin/plugin_services/host_session.h"

// Runs the filter on the sample (from ORVANE_SAMPLE_DIR, which scripts/test
// makes; the test is skipped without it) with the shipped styles, owned by
// `owner`, while `drive` works the dialog; then ends the session.
void withSampleDialog(const std::function<void(HWND, HostSession&)>& drive, HWND owner = nullptr);
#endif
