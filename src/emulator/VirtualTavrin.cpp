#include "emulator/VirtualTavrin.h"

#include "telegram/DisplayRecords.h"
#include "telegram/TextConventions.h"

#include <algorithm>
#include <cstdio>

namespace vaskel {

namespace {

std::string Le32(uint32_t v) {
    std::string s(4, '\0');
    for (int k = 0; k < 4; ++k)
        s[k] = static_cast<char>((v >> (8 * k)) & 0xFF);
    return s;
}

uint16_t Le16At(std::string_view t, std::size_t pos) {
    return static_cast<uint16_t>(static_cast<unsigned char>(t[pos]) |
                                 static_cast<unsigned char>(t[pos + 1]) << 8);
}

std::string Pad(std::string s, std::size_t width) {
    if (s.size() < width) s.append(width - s.size(), ' ');
    return s.substr(0, width);
}

// Texts in IBIS characters: '}' is ü, '{' ä, '|' ö, '~' ß.
const char* const kStops[] = {"Hauptbahnhof", "Marktplatz",  "M}hlenweg",  "Rathaus",
                              "Schlo~park",   "Universit{t", "Am S}dring", "Messe/Stadthalle"};
constexpr int kStopCount = 8;
constexpr int kScheduleLength = 17;

// A destination-display telegram as the composer makes it, one row per
// line of the display: every line of these texts fits the displays they
// are meant for (front 24 characters, inside 20).
std::string DisplayTelegram(TDisplayRecord type, std::vector<std::string> rows, int address = 1) {
    TComposerInput in;
    in.Type = type;
    in.Address = address;
    in.PhaseTime = kNoPhaseTime;
    in.Rows = std::move(rows);
    return ComposeDisplayRecord(in).Telegram;
}

bool IsStatusRequest(const std::string& text) {
    return text.size() == 2 && text[0] == 'a' && text[1] >= 0x30 && text[1] <= 0x3F;
}

// Addresses of the simulated slaves: three displays and a ticket validator.
bool HasSimulatedSlave(char address) {
    return address == '1' || address == '2' || address == '3' || address == '8';
}

} // namespace

bool ParseScenario(std::string_view name, TScenario& scenario) {
    if (name == "vehicle") {
        scenario = TScenario::Vehicle;
    } else if (name == "idle") {
        scenario = TScenario::Idle;
    } else if (name == "unpowered") {
        scenario = TScenario::Unpowered;
    } else {
        return false;
    }
    return true;
}

const char* ScenarioName(TScenario scenario) {
    switch (scenario) {
    case TScenario::Vehicle:
        return "vehicle";
    case TScenario::Idle:
        return "idle";
    case TScenario::Unpowered:
        return "unpowered";
    }
    return "vehicle";
}

TVirtualTavrin::TVirtualTavrin(TEmulatorOptions options)
    : FOptions(std::move(options)), FRng(FOptions.Seed), FFaultRate(FOptions.FaultRate),
      FVersion(FOptions.Version) {
    switch (FOptions.Scenario) {
    case TScenario::Vehicle:
        FExternalPower = true;
        FMasterPresent = false;
        SetMasterPresent(true);
        break;
    case TScenario::Idle:
        FExternalPower = true;
        FMasterPresent = false;
        break;
    case TScenario::Unpowered:
        FExternalPower = false;
        FMasterPresent = false;
        break;
    }
}

void TVirtualTavrin::Schedule(TEvent e) {
    e.Seq = FSeq++;
    FEvents.push(std::move(e));
}

void TVirtualTavrin::Advance(uint64_t ticks) {
    const uint64_t target = FNow + ticks;
    while (!FEvents.empty() && FEvents.top().Time <= target) {
        const TEvent e = FEvents.top();
        FEvents.pop();
        FNow = e.Time;
        Process(e);
    }
    FNow = target;
}

void TVirtualTavrin::Report(std::string bytes, std::string stored) {
    if (FRecording) {
        std::string& rec = stored.empty() ? bytes : stored;
        if (FFlashUsed + rec.size() <= FOptions.RecordingBytes) {
            FFlashUsed += rec.size();
            FFlash.push_back(rec);
        }
    }
    FOutput += bytes;
}

std::string TVirtualTavrin::TakeOutput(std::size_t max) {
    const std::size_t n = std::min(max, FOutput.size());
    std::string out = FOutput.substr(0, n);
    FOutput.erase(0, n);
    return out;
}

uint8_t TVirtualTavrin::StatusByte() const {
    const bool lines = FExternalPower && !FShortCircuit && (FMasterPresent || FMaster);
    uint8_t s = 0;
    if (FRecording) s |= 0x01;
    if (FOverloaded) s |= 0x04;
    if (!lines) s |= 0x08 | 0x10;
    if (FRestarted) s |= 0x20;
    if (FExternalPower) s |= 0x40;
    if (FMaster) s |= 0x80;
    return s;
}

void TVirtualTavrin::SetMasterPresent(bool present) {
    FMasterPresent = present;
    if (present && BusPowered() && !FObcRunning) {
        FObcRunning = true;
        // the on-board computer starts its cycle a little later
        TEvent e;
        e.Time = FNow + 720;
        e.Kind = TEventKind::ObcNext;
        Schedule(std::move(e));
    }
}

void TVirtualTavrin::SetExternalPower(bool on) {
    FExternalPower = on;
    if (on) SetMasterPresent(FMasterPresent);
}

void TVirtualTavrin::SetShortCircuit(bool on) {
    FShortCircuit = on;
    if (on)
        FOverloaded = true;
    else
        SetMasterPresent(FMasterPresent);
}

void TVirtualTavrin::Restart() {
    FMaster = false;
    FOverloaded = FShortCircuit;
    FRestarted = true;
    FSlaveSimulation = false;
    FResponseList.clear();
    FUploading = false;
    FImage.clear();
    FMasterTimeout = 3600;
    FSlaveTimeout = 3600;
}

TFault TVirtualTavrin::DrawFault(bool expectsAnswer) {
    if (FForcedFault != TFault::None) return FForcedFault;
    if (FFaultRate <= 0) return TFault::None;
    std::uniform_real_distribution<double> u(0.0, 1.0);
    if (u(FRng) >= FFaultRate) return TFault::None;
    const TFault kinds[] = {TFault::CharacterError, TFault::WrongCheckByte, TFault::Aborted,
                            TFault::NoAnswer, TFault::LateAnswer};
    return kinds[FRng() % (expectsAnswer ? 5 : 3)];
}

std::vector<std::string> TVirtualTavrin::ScheduleTexts() const {
    TVirtualTavrin copy(*this);
    copy.FSchedulePos = 0;
    std::vector<std::string> texts;
    for (int k = 0; k < kScheduleLength; ++k)
        texts.push_back(copy.NextScheduleText());
    return texts;
}

std::string TVirtualTavrin::NextScheduleText() {
    const int item = static_cast<int>(FSchedulePos++ % kScheduleLength);
    // The next stop comes after about half a minute of cycles.
    if (item == kScheduleLength - 1 && FSchedulePos % (10 * kScheduleLength) == 0) ++FStop;
    // The line runs from the first to the last stop and back.
    const int leg = (FStop / kStopCount) % 2;
    const int pos = FStop % kStopCount;
    const int stop = leg == 0 ? pos : kStopCount - 1 - pos;
    const std::string destination = leg == 0 ? kStops[kStopCount - 1] : kStops[0];
    const std::string via = leg == 0 ? "}ber Marktplatz" : "}ber Rathaus";
    const uint64_t minutes = 7 * 60 + 30 + FNow / static_cast<uint64_t>(7200 * 60);
    char buf[32];
    switch (item) {
    case 0:
        return "l012";
    case 1:
        return "k07";
    case 2:
        return leg == 0 ? "z034" : "z001";
    case 3:
        return DisplayTelegram(TDisplayRecord::DS003a, {destination, via});
    case 4:
        return DisplayTelegram(TDisplayRecord::DS003c, {destination});
    case 5:
        return DisplayTelegram(TDisplayRecord::DS021, {destination, via}, 1);
    case 6:
        return DisplayTelegram(TDisplayRecord::DS021, {"Linie 12", destination}, 2);
    case 7:
        return DisplayTelegram(TDisplayRecord::DS021, {"12"}, 3);
    case 8:
        return "v" + Pad(kStops[stop], 16);
    case 9:
        std::snprintf(buf, sizeof buf, "x%04d", 1200 + stop);
        return buf;
    case 10:
        return "a1";
    case 11:
        return "a2";
    case 12:
        return "a3";
    case 13:
        std::snprintf(buf, sizeof buf, "u%02u%02u", static_cast<unsigned>(minutes / 60 % 24),
                      static_cast<unsigned>(minutes % 60));
        return buf;
    case 14:
        return "d10126";
    case 15:
        std::snprintf(buf, sizeof buf, "e%06d", 120000 + stop);
        return buf;
    default:
        return "a8";
    }
}

void TVirtualTavrin::ObcSend() {
    if (!FMasterPresent || !BusPowered()) {
        FObcRunning = false;
        return;
    }
    const std::string text = NextScheduleText();
    const bool expects = IsStatusRequest(text);
    const TFault fault = DrawFault(expects);
    MasterOnBus(std::max(FNow, FBusFree), text, fault, false);
    const uint64_t gap = 180 + FRng() % 252 + (expects ? 720 : 0);
    TEvent next;
    next.Time = FBusFree + gap;
    next.Kind = TEventKind::ObcNext;
    Schedule(std::move(next));
}

void TVirtualTavrin::MasterOnBus(uint64_t start, const std::string& text, TFault fault,
                                 bool fromPc) {
    const uint64_t chars = text.size();
    TEvent e;
    e.Kind = fromPc ? TEventKind::PcMasterEnd : TEventKind::MasterEnd;
    e.Start = start;
    e.Text = text;
    e.Fault = fault;
    if (fault == TFault::Aborted && chars > 1) {
        // The sender stops; the device closes the telegram after its master
        // time-out of silence. Until then the bus is not free: a character
        // sent before would still belong to this telegram, so the next
        // telegram (and its capture) comes after this one.
        const uint64_t sent = 1 + FRng() % (chars - 1);
        e.Text = text.substr(0, sent);
        e.Time = start + sent * kTicksPerCharacter + FMasterTimeout;
        FBusFree = e.Time;
    } else {
        if (fault == TFault::Aborted) e.Fault = TFault::None;
        FBusFree = start + (chars + 2) * kTicksPerCharacter;
        e.Time = FBusFree;
    }
    Schedule(std::move(e));
}

void TVirtualTavrin::AnswerOnBus(uint64_t after, const std::string& text, bool own, TFault fault) {
    const uint64_t start = std::max(after, FBusFree);
    FBusFree = start + (text.size() + 2) * kTicksPerCharacter;
    TEvent e;
    e.Time = FBusFree;
    e.Kind = TEventKind::SlaveEnd;
    e.Start = start;
    e.Text = text;
    e.Fault = fault;
    e.Own = own;
    Schedule(std::move(e));
}

void TVirtualTavrin::Process(const TEvent& e) {
    switch (e.Kind) {
    case TEventKind::ObcNext:
        ObcSend();
        return;
    case TEventKind::PcMasterEnd:
        ++FMasterCaptures;
        // The PC knows the text it sent; a recording read out later does not.
        Report('\x82' + Le32(Ticks32(e.Start)) + '\x83' + Le32(Ticks32(e.Time)),
               '\x82' + Le32(Ticks32(e.Start)) + '\x80' + e.Text + '\r' + CalcCheckByte(e.Text) +
                   '\x83' + Le32(Ticks32(e.Time)));
        break;
    case TEventKind::MasterEnd: {
        std::string body = e.Text;
        std::string bytes = '\x82' + Le32(Ticks32(e.Start)) + '\x80';
        if (e.Fault == TFault::Aborted) {
            bytes += body;
        } else {
            const char check = CalcCheckByte(e.Text);
            if (e.Fault == TFault::CharacterError && !body.empty()) {
                const std::size_t p = FRng() % body.size();
                const char bad = static_cast<char>((body[p] ^ (1 << (FRng() % 6))) & 0x7F);
                bytes +=
                    body.substr(0, p) + "\x86\x01" + (bad == '\r' ? 'M' : bad) + body.substr(p + 1);
            } else {
                bytes += body;
            }
            char sentCheck = check;
            if (e.Fault == TFault::WrongCheckByte)
                sentCheck = static_cast<char>(check ^ (1 + FRng() % 0x7E));
            bytes += '\r';
            bytes += sentCheck;
        }
        bytes += '\x83' + Le32(Ticks32(e.Time));
        ++FMasterCaptures;
        Report(std::move(bytes));
        break;
    }
    case TEventKind::SlaveEnd: {
        ++FSlaveCaptures;
        Report('\x84' + Le32(Ticks32(e.Start)) + (e.Own ? '\x8D' : '\x81') + e.Text + '\r' +
               CalcCheckByte(e.Text) + '\x85' + Le32(Ticks32(e.Time)));
        return;
    }
    }
    // Answers to the master telegram that just ended.
    if (e.Fault == TFault::Aborted || !BusPowered()) return;
    bool answered = false;
    if (FSlaveSimulation && !FMaster && e.Kind == TEventKind::MasterEnd) {
        for (const auto& el : FResponseList) {
            if (el.Aufruf.empty() || e.Text.compare(0, el.Aufruf.size(), el.Aufruf) != 0) continue;
            AnswerOnBus(e.Time + static_cast<uint64_t>(el.ReactionMs * kTicksPerMs + 0.5),
                        el.Antwort, true, TFault::None);
            answered = true;
            break;
        }
    }
    if (!answered && IsStatusRequest(e.Text) && HasSimulatedSlave(e.Text[1]) &&
        e.Fault != TFault::NoAnswer && e.Fault != TFault::CharacterError &&
        e.Fault != TFault::WrongCheckByte) {
        uint64_t reaction = 108 + FRng() % 180; // 15 to 40 ms
        if (e.Fault == TFault::LateAnswer) reaction += 1080 + FRng() % 1800;
        AnswerOnBus(e.Time + reaction, e.Text + "0", false, TFault::None);
    }
}

void TVirtualTavrin::FromPC(std::string_view t) {
    if (t.empty()) return;
    ++FTransfers;
    if (static_cast<unsigned char>(t[0]) < 0x80) {
        // A telegram to send as bus master: text up to the CR.
        const std::string text(t.substr(0, t.find('\r')));
        if (FMaster && BusPowered() && !FOverloaded && !text.empty())
            MasterOnBus(std::max(FNow, FBusFree), text, TFault::None, true);
        return;
    }
    Command(t);
}

void TVirtualTavrin::Command(std::string_view t) {
    const auto code = static_cast<unsigned char>(t[0]);
    switch (code) {
    case 0x80:
        FMaster = true;
        if (FMasterPresent) FOverloaded = true; // two masters on one bus
        break;
    case 0x81:
        FMaster = false;
        break;
    case 0x90:
        FOverloaded = FShortCircuit;
        break;
    case 0xA0:
        FOutput += '\x88';
        FOutput += static_cast<char>(StatusByte());
        FRestarted = false;
        break;
    case 0xC0:
        FOutput += '\x89' + FVersion + '\r';
        break;
    case 0xD1:
        if (t.size() >= 3) FMasterTimeout = Le16At(t, 1);
        break;
    case 0xD2:
        if (t.size() >= 3) FSlaveTimeout = Le16At(t, 1);
        break;
    case 0xD3:
        FResponseList.clear();
        break;
    case 0xD4:
        if (t.size() >= 2) FSlaveSimulation = t[1] != 0;
        break;
    case 0xD5: {
        if (t.size() < 7) break;
        const uint16_t reaction = Le16At(t, 1);
        const std::size_t cl = Le16At(t, 3), al = Le16At(t, 5);
        if (cl < 2 || al < 2 || 7 + cl + al > t.size()) break;
        TAntwortListeElement el;
        el.Aufruf = std::string(t.substr(7, cl - 2));
        el.Antwort = std::string(t.substr(7 + cl, al - 2));
        el.ReactionMs = static_cast<uint16_t>(reaction / kTicksPerMs + 0.5);
        FResponseList.push_back(std::move(el));
        break;
    }
    case 0xD6: {
        if (t.size() < 3) break;
        const std::size_t blocks = Le16At(t, 1);
        const bool fits = blocks * 63 <= FOptions.FlashBytes;
        FOutput += '\x8B';
        FOutput += fits ? '\x00' : '\x01';
        FUploading = fits;
        FUploadBlocks = blocks;
        FImage.clear();
        break;
    }
    case 0xD7:
        if (FUploading && FImage.size() < FUploadBlocks * 63) FImage.append(t.substr(1, 63));
        break;
    case 0xD8:
        if (FUploading) {
            FUploading = false;
            FProgrammed = FImage;
            const std::string v = VersionFromImage(FImage);
            if (!v.empty()) FVersion = v;
            Restart();
            FOutput.clear();
            if (OnFirmwareRestart) OnFirmwareRestart();
        }
        break;
    case 0xD9:
        FRecording = t.size() >= 2 && t[1] != 0;
        break;
    case 0xDA:
    case 0xDB:
        FFlash.clear();
        FFlashUsed = 0;
        break;
    case 0xDC:
        for (const auto& rec : FFlash)
            FOutput += rec;
        break;
    case 0xDD:
        FOutput += '\x8E' + Le32(RecordCount());
        break;
    default:
        break; // unknown commands are ignored
    }
}

} // namespace vaskel
