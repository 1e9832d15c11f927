#pragma once
// Call lists (.AUF.CSV) and response lists (.ANT.CSV): headers, tables,
// the loaders the simulations use, and a response list built from a
// recorded protocol.

#include "link/AntwortListe.h"
#include "recording/Table.h"
#include "recording/TableFile.h"
#include "shell/Environment.h"
#include "telegram/Catalogue.h"
#include "telegram/TelegramParser.h"

#include <functional>

#include <optional>
#include <string>
#include <vector>

namespace vaskel {

extern const char* const kAufrufHeader;       // "Ok";"Aufruf";"Beschreibung";"Intervall"
extern const char* const kAufrufHeaderComma;  // 'Ok','Aufruf','Beschreibung','Intervall',
extern const char* const kAntwortHeader;      // "Ok";"Aufruf";"Antwort";"Reaktionszeit"
extern const char* const kAntwortHeaderComma; // 'Ok','Aufruf','Antwort','Reaktionszeit',

enum class TListKind { Aufruf, Antwort };

TTable MakeCallListTable();
TTable MakeResponseListTable();

// True when the file's first line, trimmed, ends with "," (the older form).
bool IsCommaForm(const std::string& fileName);

// Loads a list file into its table as the editors do: the older comma form
// is loaded and at once written back in the current form (the old content
// stays as the .BAK file). Loaded is false when the header did not match.
// Empty fields come back empty (not as the reader's one blank), an empty
// "Ok" as an inactive row; the table is unmodified after it.
TLoadResult OpenListFile(TTable& table, const std::string& fileName, TListKind kind);
// Writes a list table with its header.
void SaveListFile(TTable& table, const std::string& fileName, TListKind kind);

// The automatic description of a call: the description of the request
// type (master, of the bus in use) whose prefix the call is, the last one
// of several; else of the request type the call is a telegram of (an exact
// match); else empty.
std::string CallDescription(const TIBISTelegramParser& parser, TBusType bus,
                            std::string_view call);

// One entry of an active call list.
struct tAufruf {
    std::string Aufruf;    // the call in entry notation
    int32_t Intervall = 0; // seconds; 0: sent once
    int32_t Countdown = 0; // seconds until due

    friend bool operator==(const tAufruf&, const tAufruf&) = default;
};

// "m:ss" or minutes -> seconds; parts that are no number count 0. An
// interval beyond the 32-bit range of seconds (or a part of more digits
// than a number holds) raises EConversionError.
int32_t IntervalSeconds(std::string_view text);

// Reads a call list for the master simulation: the header is skipped, rows
// whose "Ok" reads false are skipped. An "Ok" field that is neither a
// boolean word nor a number raises EConversionError; entries holds what was
// read before it. So does an interval that IntervalSeconds refuses.
void LoadCallList(const std::string& fileName, std::vector<tAufruf>& entries);

// One line of a response list as the download takes it: rows of exactly
// four fields whose "Ok" is not "Ok" (the header), empty, a blank or "0"
// (the comma form's empty field after its last "," does not count); a
// reaction time that is no number counts 9. Nothing for any other line.
std::optional<TAntwortListeElement> ResponseListElement(std::vector<std::string>& fields,
                                                        bool commaForm);

// Reads a response list for the download, line by line as above. Quoted
// fields may hold line breaks.
TAntwortListe LoadResponseList(const std::string& fileName);

// The response list the live monitor keeps while the slave simulation is
// on: loading hands it to the device; clearing hands an empty one and
// remembers the file for a reload after a device restart.
class TMonitorResponseList {
public:
    // download: hands a list to the device controller (CopyResponseList).
    explicit TMonitorResponseList(std::function<bool(const TAntwortListe&)> download)
        : FDownload(std::move(download)) {}

    // Reads the file (see LoadResponseList) and downloads it. Throws
    // EFileError when the file cannot be read.
    void Load(const std::string& fileName);
    // Downloads an empty list; LastLoadedResponseList becomes the active
    // file when it exists and ReloadResponseList is on, else empty.
    void Clear(TEnvironment& env);

    const std::string& ActualAntwortliste() const { return FFile; }
    const TAntwortListe& AntwortBuffer() const { return FList; }

private:
    std::function<bool(const TAntwortListe&)> FDownload;
    std::string FFile;
    TAntwortListe FList;
};

// A response list from a recorded protocol: for every prefix and address of
// the master telegrams, the first error-free answer recorded after one.
// Returns the number of rows added to table (a fresh response-list table).
// Throws EFileError with kResponsesFromProtocolError on a broken protocol.
int ResponseListFromProtocol(const std::string& protocolFile, const TIBISTelegramParser& parser,
                             TBusType bus, TTable& table);
extern const char* const kResponsesFromProtocolError;
extern const char* const kResponsesFromProtocolNone;

} // namespace vaskel
