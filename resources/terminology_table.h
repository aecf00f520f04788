#pragma once
#include "host/zerafin/terminology.h"

// The scripting terminology the module publishes (resource "AETE" 128).
Terminology orvaneTerminology();
