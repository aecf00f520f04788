// orvane_script_docs: writes the script reference and its schema, and checks
// script files against the schema.
//   orvane_script_docs reference        docs/scripting.md on stdout
//   orvane_script_docs schema           docs/script.schema.json on stdout
//   orvane_script_docs validate SCHEMA FILE...   every fault on stderr, one a line; status 1 if any
#include <cstdio>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

#include "host/zerafin/scripts/schema_check.h"
#include "tools/script_docs/script_reference.h"

namespace {
bool readJson(const std::string& path, nlohmann::ordered_json& value) {
    std::ifstream file(path, std::ios::binary);
    value = nlohmann::ordered_json::parse(file, nullptr, false);
    if (file && !value.is_discarded())
        return true;
    std::cerr << path << ": not a JSON file\n";
    return false;
}

int validate(int count, char** paths) {
    nlohmann::ordered_json schema;
    if (!readJson(paths[0], schema))
        return 2;
    int status = 0;
    for (int i = 1; i < count; ++i) {
        nlohmann::ordered_json value;
        if (!readJson(paths[i], value)) {
            status = 1;
            continue;
        }
        for (const std::string& fault : schemaFaults(schema, value)) {
            std::cerr << paths[i] << ": " << fault << "\n";
            status = 1;
        }
    }
    return status;
}
} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        if (command == "reference" && argc == 2)
            std::cout << scriptReference();
        else if (command == "schema" && argc == 2)
            std::cout << scriptSchema().dump(2) << "\n";
        else if (command == "validate" && argc >= 4)
            return validate(argc - 2, argv + 2);
        else {
            std::cerr << "usage: orvane_script_docs reference | schema | validate SCHEMA FILE...\n";
            return 2;
        }
    } catch (const std::exception& failure) {
        std::cerr << "orvane_script_docs: " << failure.what() << "\n";
        return 2;
    }
    return 0;
}
