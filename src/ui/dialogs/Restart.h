#pragma once
// Starting the program anew (a new language): the settings are saved, a new
// process starts with the same command line in the same folder, and this one
// ends at once with exit code 1.

#include "shell/Environment.h"

namespace vaskel {

void RestartProgram(TEnvironment& env);

} // namespace vaskel
