#include "host/zerafin/scripts/schema_check.h"

#include <algorithm>

#include "host/zerafin/terminal/suggestions.h"

using json = nlohmann::ordered_json; // the faults follow the file's order

namespace {
bool hasType(const json& value, const std::string& type) {
    if (type == "object")
        return value.is_object();
    if (type == "array")
        return value.is_array();
    if (type == "string")
        return value.is_string();
    if (type == "boolean")
        return value.is_boolean();
    if (type == "integer") // as the host reads a whole number: written without a fraction
        return value.is_number_integer();
    return type == "number" && value.is_number();
}

struct Checker {
    std::vector<std::string> faults;

    void fault(const std::string& where, const std::string& what) {
        faults.push_back(where.empty() ? what : where + ": " + what);
    }

    static std::string keyPlace(const std::string& where, const std::string& key) {
        return where + (where.empty() ? "" : ".") + "\"" + key + "\"";
    }

    void checkNumber(const json& schema, const json& value, const std::string& where) {
        const double number = value.get<double>();
        if (schema.contains("minimum") && number < schema["minimum"].get<double>())
            fault(where, value.dump() + " is below " + schema["minimum"].dump());
        if (schema.contains("maximum") && number > schema["maximum"].get<double>())
            fault(where, value.dump() + " is above " + schema["maximum"].dump());
    }

    void checkObject(const json& schema, const json& value, const std::string& where) {
        for (const json& key : schema.value("required", json::array()))
            if (!value.contains(key.get<std::string>()))
                fault(where, "lacks \"" + key.get<std::string>() + "\"");
        if (schema.contains("minProperties") &&
            value.size() < schema["minProperties"].get<size_t>())
            fault(where, "has fewer than " + schema["minProperties"].dump() + " keys");
        if (schema.contains("maxProperties") &&
            value.size() > schema["maxProperties"].get<size_t>())
            fault(where, "has more than " + schema["maxProperties"].dump() + " keys");
        const json properties = schema.value("properties", json::object());
        const bool closed = schema.value("additionalProperties", true) == false;
        std::vector<std::string> known;
        for (const auto& [key, member] : properties.items())
            known.push_back(key);
        for (const auto& [key, member] : value.items()) {
            if (properties.contains(key))
                check(properties[key], member, keyPlace(where, key));
            else if (closed)
                fault(where, "has the unknown key \"" + key + "\"" + didYouMean(key, known));
        }
    }

    void checkArray(const json& schema, const json& value, const std::string& where) {
        if (schema.contains("minItems") && value.size() < schema["minItems"].get<size_t>())
            fault(where, "has fewer than " + schema["minItems"].dump() + " items");
        if (schema.contains("maxItems") && value.size() > schema["maxItems"].get<size_t>())
            fault(where, "has more than " + schema["maxItems"].dump() + " items");
        if (schema.contains("items"))
            for (size_t i = 0; i < value.size(); ++i)
                check(schema["items"], value[i], where + "[" + std::to_string(i) + "]");
    }

    void check(const json& schema, const json& value, const std::string& where) {
        if (schema.contains("type") && !hasType(value, schema["type"].get<std::string>())) {
            fault(where, value.dump() + " is not of type " + schema["type"].get<std::string>());
            return;
        }
        if (schema.contains("enum")) {
            const json& allowed = schema["enum"];
            if (std::find(allowed.begin(), allowed.end(), value) == allowed.end())
                fault(where, value.dump() + " is not one of " + allowed.dump());
        }
        if (value.is_number())
            checkNumber(schema, value, where);
        else if (value.is_object())
            checkObject(schema, value, where);
        else if (value.is_array())
            checkArray(schema, value, where);
    }
};
} // namespace

std::vector<std::string> schemaFaults(const json& schema, const json& value) {
    Checker checker;
    checker.check(schema, value, "");
    return checker.faults;
}
