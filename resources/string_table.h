#pragma once

// Every text the user reads, by string-table ID (UTF-8 here; the module's
// string table carries the same texts). Null for an unknown ID.
const char* stringTableText(int id);

struct StringTableEntry {
    int id;
    const char* text;
};
// All entries in ID order, ending with {0, nullptr}.
extern const StringTableEntry kStringTable[];
