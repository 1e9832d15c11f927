#pragma once
// The program's file version, one for the desktop program, its splash and
// about box, and vaskel-cli (set by the build from the project's version).

#ifndef VASKEL_VERSION
#error "the build sets VASKEL_VERSION"
#endif

namespace vaskel {

inline constexpr const char* kVaskelVersion = VASKEL_VERSION;

} // namespace vaskel
