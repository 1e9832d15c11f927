#pragma once
// The operating system's places through QtCore.
//  - Windows: the shell's common documents and common application data.
//  - Linux: the user's documents folder and the first system data folder
//    (XDG_DATA_DIRS, usually /usr/local/share).
// A folder that does not exist counts as not found, except the user's own
// data folder (XDG_DATA_HOME or ~/.local/share; the local application data
// on Windows), which is created when needed.

#include "shell/SystemPlatform.h"

namespace vaskel {

class TQtSystemPlatform : public ISystemPlatform {
public:
    std::string ProgramFile() const override;
    std::optional<std::string> CommonDocumentsFolder() const override;
    std::optional<std::string> CommonAppDataFolder() const override;
    std::optional<std::string> UserDataFolder() const override;
};

} // namespace vaskel
