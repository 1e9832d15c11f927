#pragma once
// Splitting of one line of delimited text the way the catalogue, list and
// settings readers expect it:
//  - leading blanks and control characters are skipped;
//  - a field starting with the quote runs to the closing quote (a doubled
//    quote inside stands for one; a missing closing quote takes the rest);
//  - an unquoted field ends at the delimiter or at the first byte <= 0x20,
//    so blanks outside quotes separate fields too;
//  - blanks after a field and after a delimiter are skipped;
//  - a delimiter at the very end of the line adds one empty field.

#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

// keepNul: a NUL byte inside quotes is kept as data and one outside quotes
// counts as a blank (table files, whose telegram cells may hold NUL bytes);
// otherwise a NUL byte ends the line.
std::vector<std::string> SplitDelimited(std::string_view line, char delimiter, char quote = '"',
                                        bool keepNul = false);

} // namespace vaskel
