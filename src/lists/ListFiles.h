#pragma once
// Call lists (.AUF.CSV) and response lists (.ANT.CSV): headers, tables,
// the loaders the simulations use, and a response list built from a
// recorded protocol.

#include "link/AntwortListe.h"
#include "recording/Table.h"
#include "recording/TableFile.h"
#include "shell/Environment.h"
#include "telegram/Catalogue.h"
#include "telegram/Errors.h"
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
// stays as the .BAK file) unless it ends inside a row (LastLineIncomplete,
// BrokenRow). Loaded is false when the header did not match.
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

// Why a call list cannot be used, and where.
struct TCallListProblem {
    enum class TKind {
        None,
        Unreadable,   // the file cannot be read (Text: why)
        LineTooLong,  // a line longer than MaxLineBytes()
        NoHeader,     // the first line is not the list's header
        Unterminated, // a quote is never closed: the rows from Line on run together
        FieldCount,   // a row without exactly four fields (Text: how many)
        NoBoolean,    // "Ok" is neither a boolean word nor a number (Text: the field)
        BadInterval,  // an interval beyond the 32-bit range of seconds (Text: the field)
        NoRows,       // not one row below the header
    };
    TKind Kind = TKind::None;
    int Line = 0; // the file's line (1 = first)
    std::string Text;
};

// The problem in words (Windows-1252), naming the line. language: 1 German,
// 2 English.
std::string CallListProblemText(const TCallListProblem& problem, int language);

// Raised by LoadCallList.
class ECallListError : public EFileError {
public:
    explicit ECallListError(TCallListProblem problem)
        : EFileError(CallListProblemText(problem, 1)), Problem(std::move(problem)) {}
    TCallListProblem Problem;
};

// Reads a call list for the master simulation. The file is read as the table
// reader reads it (lines end at CR LF, LF or CR outside quotes; the form,
// current or comma, from the first line), the first line must be the
// header; rows whose "Ok" reads false are skipped. Raises ECallListError for
// every fault of TCallListProblem (an "Ok" field that is neither a boolean
// word nor a number, an interval IntervalSeconds refuses, a row without four
// fields, a quote never closed, no row at all); entries holds what was read
// before it.
void LoadCallList(const std::string& fileName, std::vector<tAufruf>& entries);

// Whether an "Ok" field reads as a boolean: "True"/"False" in any letter
// case, a number, or nothing (blanks).
bool IsListBoolean(std::string_view field);

// How a response list's reaction time was read.
enum class TReactionRead {
    Plain,    // a decimal number from 0 to 1000
    Clamped,  // a decimal number outside 0 to 1000: 0 or 1000, as the editor does
    NoNumber, // no decimal number ("NaN", "1e9", empty): 9 ms
};
// The reaction time in ms of a response list's field.
uint16_t ReactionTimeOf(std::string_view field, TReactionRead& how);

// Whether a line's fields (the comma form's empty field after its last ","
// taken off) make a row of a response list: exactly four fields, the first
// not the header's "Ok".
bool IsResponseListRow(std::vector<std::string>& fields, bool commaForm);

// One line of a response list as the download takes it: rows of exactly
// four fields whose "Ok" is not "Ok" (the header), empty, a blank or "0"
// (the comma form's empty field after its last "," does not count); a
// reaction time is read by ReactionTimeOf. Nothing for any other line.
std::optional<TAntwortListeElement>
ResponseListElement(std::vector<std::string>& fields, bool commaForm, TReactionRead* how = nullptr);

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
