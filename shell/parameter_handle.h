#pragma once
#include <cstdint>

#include "lighting/parameter_block.h"

struct HostRecord;

// The parameter block lives in the host's parameter handle between operations.

// Gives the host record a parameter handle when it has none (or one too small
// to hold a block, which is disposed): result::ok or result::outOfMemory.
int16_t createParameterBlock(HostRecord& host);

// The block inside the host's parameter handle (locked), or null.
ParameterBlock* lockParameterBlock(HostRecord& host);
