#pragma once
#include "protocol/terminology.h"

// The scripting terminology the module publishes (resource "AETE" 128).
Terminology orvaneTerminology();
