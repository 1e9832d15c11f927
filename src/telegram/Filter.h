#pragma once
// The display filter's tests: which telegrams a filtered protocol window
// shows, and the marking of rows by a search text.

#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

class TEnvironment;

// t starts with key k; a blank in t matches any key character; a key longer
// than t never matches.
bool PrefixMatches(std::string_view t, std::string_view k);

// The filter choice: record numbers and initial-letter keys, each followed
// by ";" (the settings FilterSatzArten and FilterKuerzel).
bool FilterAccepts(std::string_view telegram, std::string_view recordNo,
                   std::string_view filterSatzArten, std::string_view filterKuerzel);

// Whether a row is shown with the filter on: accepted, or kept for its
// error letters when faulty telegrams are never filtered.
bool FilterShowsRow(std::string_view telegram, std::string_view recordNoCell,
                    std::string_view errorCell, std::string_view filterSatzArten,
                    std::string_view filterKuerzel, bool neverFilterErrors);

// The search-text marking: "/?" and "/*" stand for a literal "?" and "*",
// a "*" is appended unless the pattern ends with one; "*" matches any run,
// "?" one character; letter case is ignored; the telegram is matched from
// its first character.
bool MarkMatches(std::string_view telegram, std::string_view markText);

} // namespace vaskel
