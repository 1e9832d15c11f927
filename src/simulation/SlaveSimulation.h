#pragma once
// The slave simulation: the device answers the master's calls by itself from
// a downloaded response list. This class keeps the active list (the file and
// its elements), checks a list before anything of it reaches the device,
// hands it to the controller, switches the device's simulation on and off,
// and decides what is remembered for a reload after a device restart.
// The windows and the headless simulation drive it alike.

#include "link/AntwortListe.h"
#include "shell/Environment.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vaskel {

// Why a row of a response list cannot be downloaded.
enum class TResponseRowProblem {
    None,
    CarriageReturn, // a quoted field holds a CR: the telegram would end early
    EmptyCall,      // the call is empty: it would answer every telegram
    TooLong,        // call or answer does not fit the download's 16-bit length
    Unterminated,   // the file ends inside a quoted field
    Unreadable,     // the file cannot be read (Row 0)
    LineTooLong,    // a line is longer than MaxLineBytes() (Row: the file's line)
    NoRows,         // not one row of four fields below the header (Row 0)
    NoBoolean,      // "Ok" of a row of four fields is neither a boolean word nor a number
};

// A reaction time the list does not hold as the device takes it: a number
// outside 0 to 1000 clamped as the editor clamps it, or no number (9 ms).
struct TReactionNote {
    int Row = 0;          // the data row (1 = first row after the header)
    std::string Text;     // the field as written
    uint16_t Ms = 0;      // what the device gets
    bool Clamped = false; // false: no number
};

// A response list read for the download, or the first row that cannot be
// downloaded (the data row number, 1 = first row after the header).
struct TResponseListCheck {
    TAntwortListe List;
    TResponseRowProblem Problem = TResponseRowProblem::None;
    int Row = 0;
    std::vector<TReactionNote> Notes; // the active rows' reaction times not taken as written
    bool Ok() const { return Problem == TResponseRowProblem::None; }
};

// Reads a response list as LoadResponseList does and checks every active row
// for the download. Throws EFileError when the file cannot be read.
TResponseListCheck CheckResponseList(const std::string& fileName);

// The problem in English words (the command-line tools).
std::string ResponseRowProblemText(const TResponseListCheck& check);
// A reaction-time note in English words: "row 3: reaction time 2147483648
// is outside 0 to 1000 ms: 1000 ms" (the command-line tools).
std::string ReactionNoteText(const TReactionNote& note);

// A reaction time typed into the editor: a plain decimal number above 1000
// becomes "1000", one below 0 becomes "0" (beep set); anything else stays.
std::string ClampedReactionTime(const std::string& text, bool& beep);

// How an activation went.
enum class TResponseActivation {
    Missing, // the file is not there: nothing changed
    Failed,  // unreadable, or a row cannot be downloaded: no list is active
    Active,  // the list is active (its download may wait for an earlier one)
};

class TSlaveSimulation {
public:
    struct THooks {
        // Hands a list to the device controller (CopyResponseList); false
        // while an earlier download is still pending. Absent: no controller.
        std::function<bool(const TAntwortListe&)> Download;
        // Sends D4 01 / D4 00 (slave simulation on / off) to the device.
        std::function<void(bool on)> SwitchDevice;
    };

    TSlaveSimulation(TEnvironment& env, THooks hooks) : FEnv(env), FHooks(std::move(hooks)) {}

    // Checks, loads and downloads the list and switches the device's
    // simulation on; a list active before is replaced. A failure leaves no
    // list active (the device's list emptied); Check() tells the row.
    TResponseActivation Activate(const std::string& fileName);
    // Switched off by hand: the list is unloaded and forgotten (no reload
    // after a restart), the device's simulation is switched off.
    void Deactivate();
    // Unloaded by the program (device offline or bus master, monitor
    // closed): LastLoadedResponseList keeps the file when ReloadResponseList
    // is on. Nothing happens while no list is active.
    void Unload();
    // The device restarted: the remembered list is activated again when
    // ReloadResponseList is on.
    TResponseActivation DeviceRestarted();
    // Loads and downloads the active list again (saved in the editor).
    TResponseActivation Reload();

    // A download refused because an earlier one was pending is tried again;
    // true while one still waits.
    bool RetryDownload();
    bool DownloadWaiting() const { return FWaiting; }

    bool Active() const { return !FFile.empty(); }
    const std::string& ActualAntwortliste() const { return FFile; }
    const TAntwortListe& AntwortBuffer() const { return FList; }
    // The own-answer lookup: the answer of element index; empty when no
    // list is active or the index is out of range.
    std::string AnswerOf(int index) const;
    // The last activation's check: the row and problem of a failed one, the
    // reaction-time notes of one that went through.
    const TResponseListCheck& LastCheck() const { return FCheck; }

private:
    void Hand(const TAntwortListe& list);
    void Drop();

    TEnvironment& FEnv;
    THooks FHooks;
    std::string FFile;
    TAntwortListe FList;
    TAntwortListe FWaitingList;
    bool FWaiting = false;
    TResponseListCheck FCheck;
};

} // namespace vaskel
