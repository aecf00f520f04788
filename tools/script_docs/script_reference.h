#pragma once
#include <string>

#include <nlohmann/json.hpp>

// The reference of the script format, made from the module's terminology (the
// keys, their names and types) and the settings table (the sliders' ranges and
// defaults), with the meaning and unit of each key kept here beside them. A
// key of the terminology without a note here stops the generator, so the
// documents cannot leave a key out.

// The JSON Schema (draft 2020-12) of a script file. Throws std::logic_error
// when a key has no note.
nlohmann::ordered_json scriptSchema();

// docs/scripting.md: every key with its type, range, unit, default and
// meaning, and two examples (checked against the schema as they are written).
std::string scriptReference();
