#pragma once
// The computer's facts for the error report, from what the platform offers
// (QSysInfo, /proc, the environment). A fact the platform does not give stays
// empty.

#include "shell/DebugClass.h"

namespace vaskel {

TComputerFacts QtComputerFacts();

} // namespace vaskel
