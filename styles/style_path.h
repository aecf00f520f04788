#pragma once

// The library's own path rules, shared by its operations.

// Cuts a name of more than 31 characters to its first 30, in place.
void cutStyleName(char* name);
// False for names that could reach outside the style folder or that the file
// system reserves.
bool isUsableStyleName(const char* name);
// folder + name into a buffer of platform::kMaxPath characters; 0 when it
// does not fit.
int joinPath(const char* folder, const char* name, char* path);
// The style folder followed by a usable name; 0 when the folder cannot be
// had, the name is refused or the path does not fit.
int buildStylePath(const char* name, char* path);
