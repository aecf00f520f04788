#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "host/zerafin/module/terminology.h"
#include "host/zerafin/plugin_services/descriptor_model.h"

// Script files: one JSON object whose keys are the descriptor's keys, in the
// descriptor's order, each exactly four characters ("Glos", "Clr ", "On  ").
// The module's terminology gives each key its type:
//   'long' an integer, 'doub' a number, 'bool' true or false, an enumeration a
//   four-character string ("LghS"), 'RGBC' {"Rd  ": r, "Grn ": g, "Bl  ": b},
//   'Pnt ' [horizontal, vertical], '#ChR' {"enum": "Grn "}, {"index": 5} or
//   {"name": "Alpha 1"}, the filter's class an object of its properties, and a
//   list an array.
// Keys the terminology does not know are passed on with the type their JSON
// value suggests; the plug-in skips them.

// The largest script file the host reads, and the deepest nesting of arrays and
// objects in it.
constexpr uint64_t kMaxScriptBytes = 1 << 20;
constexpr int kDeepestScriptNesting = 64;

// The descriptor a script's text describes, or nullopt with a message naming
// the key at fault.
std::optional<Descriptor> descriptorFromScript(const std::string& text,
                                               const Terminology& terminology, std::string& error);

// The script text of a descriptor (indented JSON, keys in the descriptor's order).
std::string scriptFromDescriptor(const Descriptor& descriptor);
