#pragma once
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// Checks a JSON value against a schema written in the part of JSON Schema the
// script schema uses: type (object, array, string, integer, number, boolean),
// enum, minimum, maximum, required, properties, additionalProperties (false),
// minProperties, maxProperties, items, minItems and maxItems. Returns one
// message per fault, each naming where it lies ("/LghS/0/Intn"); none when
// the value conforms.
std::vector<std::string> schemaFaults(const nlohmann::json& schema, const nlohmann::json& value);
