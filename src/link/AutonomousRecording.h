#pragma once
// Autonomous recording: some Tavrin devices record the bus on their own into
// their flash memory and hand the recording over later. What the program
// knows of it (does the device support it, how many data sets it holds) and
// what the panel shows: the two status fields and which of the five
// commands can be given.

#include <cstdint>
#include <optional>
#include <string>

namespace vaskel {

class TDeviceStatus;

// The look of a status field (the pattern styles of the controls).
enum class TFieldLook { Disabled, Information, Error, Ok };

struct TStatusField {
    std::string Caption; // Windows-1252; may hold a place "%d" for Value
    std::string Value;   // fills the place
    std::string Tip;
    TFieldLook Look = TFieldLook::Disabled;
    // The text as shown, its place filled.
    std::string Shown() const;
    friend bool operator==(const TStatusField&, const TStatusField&) = default;
};

struct TAutonomousDisplay {
    bool PanelEnabled = false; // the device is online
    TStatusField Mode;         // supported, switched on or off
    TStatusField Count;        // data sets on the device
    bool CanActivate = false, CanStop = false, CanTransfer = false, CanFormat = false,
         CanErase = false;
};

enum class TAutonomousAvailability {
    Unknown,     // after connecting, until the device answers the record-count query
    Unavailable, // the device left the query unanswered for a second
    Available,   // the device answered with its record count
};

class TAutonomousRecording {
public:
    // A new connection or a lost one: nothing is known.
    void Reset() {
        FAvailability = TAutonomousAvailability::Unknown;
        FCount.reset();
    }
    // The device answered 0xDD with its record count.
    void RecordCount(uint32_t count) {
        FAvailability = TAutonomousAvailability::Available;
        FCount = count;
    }
    // The query went unanswered within the second.
    void QueryUnanswered() {
        FAvailability = TAutonomousAvailability::Unavailable;
        FCount.reset();
    }

    TAutonomousAvailability Availability() const { return FAvailability; }
    std::optional<uint32_t> Count() const { return FCount; }

    // The panel for this state and the device's status (online, recording).
    TAutonomousDisplay Display(const TDeviceStatus& status) const;

private:
    TAutonomousAvailability FAvailability = TAutonomousAvailability::Unknown;
    std::optional<uint32_t> FCount;
};

// The panel's texts and the commands' dialogs (Windows-1252, lines apart by
// CR LF).
namespace AutonomousTexts {
extern const char* const kModeActive;
extern const char* const kModeActiveHint;
extern const char* const kModeInactive;
extern const char* const kModeInactiveHint;
extern const char* const kModeUnavailable;
extern const char* const kModeUnavailableHint;
extern const char* const kCountSome; // "%d Datensätze auf dem Gerät gespeichert."
extern const char* const kCountNone;
extern const char* const kCountHint;
extern const char* const kCountUnavailable;
extern const char* const kActivated;   // after "Autonomen Modus aktivieren"
extern const char* const kStopped;     // after "Autonomes Aufzeichnen beenden", a question
extern const char* const kFormatted;   // after "Flash formatieren"
extern const char* const kErased;      // after "Aufgezeichnete Daten löschen"
} // namespace AutonomousTexts

} // namespace vaskel
