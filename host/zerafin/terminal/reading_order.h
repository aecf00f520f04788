#pragma once
#include <string>
#include <string_view>
#include <vector>

// Names in the order a French reader looks them up: a letter with an accent
// sorts with the letter (é with e, ç with c, œ as oe), capitals with small
// letters. Names equal that way come in the order of their bytes.

// The text folded for that comparison: lower case, accents dropped, ligatures
// spelt out. Characters outside the Latin letters stay as they are.
std::string foldedForReading(const std::string& utf8);

// True when `a` comes before `b` in that order; the texts are UTF-8.
bool readsBefore(const std::string& a, const std::string& b);

// Sorts UTF-8 names in that order.
void sortForReading(std::vector<std::string>& names);

// One code point read from UTF-8 at `at`, which moves past it; a byte that
// starts no valid sequence is taken as itself, so Latin-1 text reads right too.
char32_t nextCodePoint(std::string_view text, size_t& at);
