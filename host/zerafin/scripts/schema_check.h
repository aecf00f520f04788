#pragma once
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// Checks a JSON value against a schema written in the part of JSON Schema the
// script schema uses: type (object, array, string, integer, number, boolean),
// enum, minimum, maximum, required, properties, additionalProperties (false),
// minProperties, maxProperties, items, minItems and maxItems. Returns one
// message per fault, each naming where it lies as the host's script messages
// do ("LghS"[0]."Intn": 250 is above 100); a fault of the whole value has no
// place ("has the unknown key …"). An unknown key comes with the nearest key
// the schema knows there, when one is near. None when the value conforms.
std::vector<std::string> schemaFaults(const nlohmann::ordered_json& schema,
                                      const nlohmann::ordered_json& value);
