#pragma once
// Moving the catalogue files into the data folder at start.

#include <string>
#include <vector>

namespace vaskel {

// The files the data folder receives from the program folder and the older
// all-users place.
extern const char* const kCatalogueFiles[2];

// 1. creates dataFolder (one level, or with the folders above it when
//    createParents is set: the user's own data folder) when missing;
// 2. copies IBIS.CSV and IBIS_Frame.CSV from programFolder unless the data
//    folder already has them; 3. deletes them from programFolder;
// 4. copies them from olderFolder unless already there; 5. deletes them from
//    olderFolder and removes olderFolder with everything in it.
// A file already in the data folder is never replaced. When the program
// folder or the older place is the data folder itself (both lookups fell
// back to the program folder), nothing is deleted from it.
// Failures do not stop the steps; they are returned as trace texts (the
// catalogue load that follows reports a missing catalogue).
std::vector<std::string> PrepareDataFolder(const std::string& dataFolder,
                                           const std::string& programFolder,
                                           const std::string& olderFolder,
                                           bool createParents = false);

} // namespace vaskel
