#pragma once
#include "protocol/host_record.h"

// The host's colour picker, offered to the plug-in as HostRecord::colorService:
// the Win32 host shows its own colour dialog under the plug-in's prompt; the
// native host shows no windows and offers none (null).
ColorServiceProc hostColourService();
