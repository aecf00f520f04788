#pragma once
#include "protocol/property_list.h"

// The module's property list (resource "PIPL" 16000) as the host reads it.
PropertyList orvanePropertyList();
