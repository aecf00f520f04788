#pragma once
#include "protocol/terminology.h"

// The code of the module's scripting event.
constexpr uint32_t kOrvaneEventCode = fourCC("LghE");

// The scripting terminology the module publishes (resource "AETE" 128).
Terminology orvaneTerminology();
