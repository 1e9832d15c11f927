#pragma once
// Shared by the window tests.

#include <string>

namespace vaskel {

// The shipped record-type catalogue.
inline const std::string kCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

} // namespace vaskel
