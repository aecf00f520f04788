#pragma once
#include <optional>
#include <string>
#include <vector>

// "Did you mean …?": the nearest of a set of names to a word the user typed,
// for misspelt options, script keys and style names.

// The name as people type it on any keyboard: ASCII letters in lower case,
// the accented letters of French without their accents ("Défaut" and "DEFAUT"
// both give "defaut"), and without trailing blanks (script keys such as
// "Rds " are padded to four characters).
std::string foldedName(const std::string& name);

// The number of single-character insertions, deletions, substitutions and
// swaps of two neighbours that turn one text into the other.
size_t editDistance(const std::string& from, const std::string& to);

// The candidate nearest to the word once both are folded, when it is near
// enough to be what was meant: equal once folded, or a few slips away (one for
// short words, up to three for long ones). The first of equally near ones;
// nullopt when none is near.
std::optional<std::string> nearestName(const std::string& word,
                                       const std::vector<std::string>& candidates);

// "; did you mean "NAME"?" for the nearest candidate, or nothing.
std::string didYouMean(const std::string& word, const std::vector<std::string>& candidates);
