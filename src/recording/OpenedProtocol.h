#pragma once
// Opened protocols: loading (with the older file forms) and re-analysis.

#include "recording/Recorder.h"
#include "recording/Table.h"
#include "telegram/TelegramParser.h"

#include <functional>
#include <string>

namespace vaskel {

extern const char* const kInvalidProtocolFormat; // "Ungültiges Protokollformat"
extern const char* const kProtocolLoadError;     // the two lines shown when loading fails

struct TProtocolLoad {
    bool CommaForm = false;
    bool Unquoted = false;
    bool Reanalysed = false;
    bool WrittenBack = false; // comma form: rewritten in the current form
    bool LastLineIncomplete = false;
};

// Loads a .PRO.CSV file in any accepted form into table (a protocol table).
// An unquoted file is converted on disk first; a comma-form file is
// re-analysed and written back in the current form (the old one stays as
// the backup). Throws EFileError (kInvalidProtocolFormat when the last
// non-empty line lacks the separator).
TProtocolLoad LoadProtocolFile(TTable& table, const std::string& fileName,
                               const TIBISTelegramParser& parser, TBusType bus,
                               const std::function<void(int)>& progress = nullptr);

// Classifies every row again, renumbers, and pairs answers with masters.
void Reanalyse(TTable& table, const TIBISTelegramParser& parser, TBusType bus,
               const std::function<void(int)>& progress = nullptr);

} // namespace vaskel
