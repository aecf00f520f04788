#pragma once
#include <cstdint>

#include "protocol/host_record.h"

// Lets the user choose a colour, starting from the given one, under the prompt
// of a string-table text: the host's picker when the host offers one, the
// system colour dialog when it offers none or cannot show it. True when a
// colour was chosen and written back; nothing changes otherwise.
bool PickColor(ColorServiceProc hostService, int promptId, uint16_t colour[3]);
