#include "link/AutonomousRecording.h"

#include "link/DeviceStatus.h"
#include "telegram/TextConventions.h"

namespace vaskel {

namespace AutonomousTexts {
const char* const kModeActive = "Autonomer Aufzeichnungsmodus aktiv";
const char* const kModeActiveHint =
    "Die Funktion \"Autonome Aufzeichnung ohne PC\" ist aktiviert.";
const char* const kModeInactive = "Autonomer Aufzeichnungsmodus deaktiviert";
const char* const kModeInactiveHint =
    "Dieses Ger\xE4t unterst\xFCtzt die Funktion \"Autonome Aufzeichnung ohne PC\", sie ist im "
    "Moment ausgeschaltet.";
const char* const kModeUnavailable = "Autonomer Aufzeichnungsmodus nicht verf\xFC"
                                     "gbar";
const char* const kModeUnavailableHint =
    "Dieses Ger\xE4t unterst\xFCtzt die Funktion \"Autonome Aufzeichnung ohne PC\" noch nicht. "
    "Bitte wenden Sie sich f\xFCr weitere Informationen an ZK.";
const char* const kCountSome = "Auf dem Ger\xE4t gespeicherte Datens\xE4tze: %d";
const char* const kCountNone = "Keine Datens\xE4tze auf dem Ger\xE4t vorhanden.";
const char* const kCountHint = "Sind bereits Offline-Daten auf dem Ger\xE4t gespeichert?";
const char* const kCountUnavailable = "Funktion nicht verf\xFC"
                                      "gbar";
const char* const kActivated =
    "Der autonome Modus ist aktiviert.\r\n"
    "Sie k\xF6nnen nun Ihren PC vom Tavrin trennen und den Tavrin,\r\n"
    "falls noch nicht geschehen, in ein Fahrzeug einbauen. Die Aufzeichnung\r\n"
    "l\xE4uft automatisch, sobald der Tavrin Spannung \xFC"
    "ber den IBIS-Bus erh\xE4lt.";
const char* const kStopped = "Der autonome Modus ist nun deaktiviert.\r\n"
                             "M\xF6"
                             "chten Sie nun die aufgezeichneten Daten vom Ger\xE4t herunterladen?";
const char* const kFormatted = "Der Bereich des Tavrin, der f\xFCr die Aufzeichnung von Daten "
                               "vorgesehen ist, wurde formatiert.";
const char* const kErased = "Alle aufgezeichneten Daten wurden gel\xF6scht.";
} // namespace AutonomousTexts

std::string TStatusField::Shown() const {
    return Value.empty() ? Caption : FormatText(Caption, {Value});
}

namespace {

TStatusField Field(const char* caption, const char* tip, TFieldLook look,
                   std::string value = {}) {
    TStatusField f;
    f.Caption = caption;
    f.Tip = tip;
    f.Look = look;
    f.Value = std::move(value);
    return f;
}

} // namespace

TAutonomousDisplay TAutonomousRecording::Display(const TDeviceStatus& status) const {
    using namespace AutonomousTexts;
    TAutonomousDisplay d;
    d.PanelEnabled = status.DeviceOnline();
    switch (FAvailability) {
    case TAutonomousAvailability::Unknown:
        // asked, not answered yet: both fields stay empty
        break;
    case TAutonomousAvailability::Unavailable:
        d.Mode = Field(kModeUnavailable, kModeUnavailableHint, TFieldLook::Error);
        d.Count = Field(kCountUnavailable, kCountUnavailable, TFieldLook::Disabled);
        break;
    case TAutonomousAvailability::Available: {
        const uint32_t n = FCount.value_or(0);
        if (n > 0)
            d.Count = Field(kCountSome, kCountHint, TFieldLook::Ok, std::to_string(n));
        else
            d.Count = Field(kCountNone, kCountHint, TFieldLook::Information);
        const bool active = status.OfflineModeActive();
        d.Mode = active ? Field(kModeActive, kModeActiveHint, TFieldLook::Ok)
                        : Field(kModeInactive, kModeInactiveHint, TFieldLook::Information);
        // the commands need the device; each one fits only one of the two states
        if (d.PanelEnabled) {
            d.CanActivate = !active;
            d.CanStop = active;
            d.CanTransfer = d.CanFormat = d.CanErase = !active;
        }
        break;
    }
    }
    return d;
}

} // namespace vaskel
