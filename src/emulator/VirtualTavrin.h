#pragma once
// The virtual Tavrin: a device emulator on a simulated IBIS vehicle bus.
// It speaks the device side of the byte protocol exactly (commands in,
// capture sequences and replies out), runs a simulated on-board computer
// with displays and a ticket validator on the bus, and injects faults on
// request. Time is bus time in device ticks (1/7200 s); it moves only when
// Advance is called, so a run is repeatable for a given seed.
// Not thread-safe: the USB face (VirtualUsb.h) guards it with its lock.

#include "link/AntwortListe.h"
#include "link/FirmwareImage.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <queue>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

enum class TScenario {
    Vehicle,   // a bus with its on-board computer as master
    Idle,      // powered bus without a master: the device may become master
    Unpowered, // no external power, no traffic
};
// "vehicle", "idle", "unpowered"; false for an unknown name.
bool ParseScenario(std::string_view name, TScenario& scenario);
const char* ScenarioName(TScenario scenario);

inline constexpr int kTicksPerCharacter = 66; // 11 bit times at 1200 baud
inline constexpr double kTicksPerMs = 7.2;

struct TEmulatorOptions {
    TScenario Scenario = TScenario::Vehicle;
    uint32_t Seed = 1;
    double FaultRate = 0.0; // share of telegrams with a fault
    std::string Version = "Tavrin V2.14 (Emulator)";
    std::size_t FlashBytes = 240 * 1024; // room for a firmware image
    // room for autonomous recording; a full recording flash takes no more
    std::size_t RecordingBytes = 4 * 1024 * 1024;
};

// Kinds of fault the bus produces.
enum class TFault { None, CharacterError, WrongCheckByte, Aborted, NoAnswer, LateAnswer };


class TVirtualTavrin {
public:
    explicit TVirtualTavrin(TEmulatorOptions options = {});

    // --- the PC side
    // One transfer from the PC: a command (first byte >= 0x80) or a telegram
    // (text, CR, check byte) to send on the bus as master.
    void FromPC(std::string_view transfer);
    // Up to max bytes of the device-to-PC stream.
    std::string TakeOutput(std::size_t max = SIZE_MAX);
    std::size_t OutputSize() const { return FOutput.size(); }
    const std::string& Output() const { return FOutput; }
    // Forgets output not yet taken (the link dropped).
    void DropOutput() { FOutput.clear(); }

    // --- time
    uint64_t Now() const { return FNow; }
    void Advance(uint64_t ticks);
    void AdvanceMs(double ms) { Advance(static_cast<uint64_t>(ms * kTicksPerMs + 0.5)); }

    // --- live controls
    void SetMasterPresent(bool present);
    bool MasterPresent() const { return FMasterPresent; }
    void SetExternalPower(bool on);
    bool ExternalPower() const { return FExternalPower; }
    void SetShortCircuit(bool on);
    bool ShortCircuit() const { return FShortCircuit; }
    void SetFaultRate(double rate) { FFaultRate = rate; }
    double FaultRate() const { return FFaultRate; }
    // Forces every telegram of the on-board computer to carry this fault
    // (None: back to random faults at the fault rate).
    void ForceFault(TFault fault) { FForcedFault = fault; }
    // A restart as after a power failure: slave mode, lists gone, bit 5.
    void Restart();
    // Called when the firmware was programmed and the device restarts: the
    // USB face drops the link and brings it back.
    std::function<void()> OnFirmwareRestart;

    // --- what the device is
    uint8_t StatusByte() const;
    bool Master() const { return FMaster; }
    bool Overloaded() const { return FOverloaded; }
    bool SlaveSimulation() const { return FSlaveSimulation; }
    const TAntwortListe& ResponseList() const { return FResponseList; }
    const std::string& Version() const { return FVersion; }
    bool Recording() const { return FRecording; }
    uint32_t RecordCount() const { return static_cast<uint32_t>(FFlash.size()); }
    // The firmware the device last programmed into its flash: the blocks of
    // that upload in the order they came.
    const std::string& ProgrammedFirmware() const { return FProgrammed; }
    uint16_t MasterTimeoutTicks() const { return FMasterTimeout; }
    uint16_t SlaveTimeoutTicks() const { return FSlaveTimeout; }
    // Transfers received from the PC so far.
    uint64_t TransfersReceived() const { return FTransfers; }
    // Capture sequences reported so far (master, slave).
    uint64_t MasterCaptures() const { return FMasterCaptures; }
    uint64_t SlaveCaptures() const { return FSlaveCaptures; }

    // The telegrams the on-board computer cycles through (one schedule).
    std::vector<std::string> ScheduleTexts() const;

private:
    enum class TEventKind { ObcNext, MasterEnd, SlaveEnd, PcMasterEnd };
    struct TEvent {
        uint64_t Time = 0;
        uint64_t Seq = 0;
        TEventKind Kind = TEventKind::ObcNext;
        uint64_t Start = 0;
        std::string Text; // telegram text without CR and check byte
        TFault Fault = TFault::None;
        bool Own = false; // slave answer of the device's own simulation
        bool operator>(const TEvent& o) const {
            return Time != o.Time ? Time > o.Time : Seq > o.Seq;
        }
    };

    void Schedule(TEvent e);
    void Process(const TEvent& e);
    void ObcSend();
    void MasterOnBus(uint64_t start, const std::string& text, TFault fault, bool fromPc);
    void AnswerOnBus(uint64_t after, const std::string& text, bool own, TFault fault);
    // A capture sequence for the PC; while recording autonomously it goes
    // into the recording flash too (stored, when given, in its full form).
    void Report(std::string bytes, std::string stored = {});
    void Command(std::string_view t);
    TFault DrawFault(bool expectsAnswer);
    std::string NextScheduleText();
    bool BusPowered() const { return FExternalPower && !FShortCircuit; }
    uint32_t Ticks32(uint64_t t) const { return static_cast<uint32_t>(t); }

    TEmulatorOptions FOptions;
    std::mt19937 FRng;
    uint64_t FNow = 0;
    uint64_t FSeq = 0;
    uint64_t FBusFree = 0;
    std::priority_queue<TEvent, std::vector<TEvent>, std::greater<TEvent>> FEvents;
    std::string FOutput;

    bool FMasterPresent = true;
    bool FExternalPower = true;
    bool FShortCircuit = false;
    bool FObcRunning = false;
    double FFaultRate = 0;
    TFault FForcedFault = TFault::None;

    bool FMaster = false;
    bool FOverloaded = false;
    bool FRestarted = true;
    std::string FVersion;
    uint16_t FMasterTimeout = 3600;
    uint16_t FSlaveTimeout = 3600;
    bool FSlaveSimulation = false;
    TAntwortListe FResponseList;

    // firmware upload
    bool FUploading = false;
    std::size_t FUploadBlocks = 0;
    std::string FImage;
    std::string FProgrammed;

    // autonomous recording
    bool FRecording = false;
    std::vector<std::string> FFlash;
    std::size_t FFlashUsed = 0;

    uint64_t FTransfers = 0;
    uint64_t FMasterCaptures = 0;
    uint64_t FSlaveCaptures = 0;

    // the on-board computer's route model
    std::size_t FSchedulePos = 0;
    int FStop = 0;
};

} // namespace vaskel
