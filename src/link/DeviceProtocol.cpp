#include "link/DeviceProtocol.h"

#include "telegram/TextConventions.h"

#include <cmath>
#include <cstring>

namespace vaskel {

std::string ErrorFlagLetters(uint8_t flags) {
    std::string s;
    if (flags & kErrFraming) s += 'F';
    if (flags & kErrParity) s += 'P';
    if (flags & kErrChecksum) s += 'S';
    if (flags & kErrAborted) s += 'A';
    return s;
}

int64_t TicksToMs(uint32_t ticks) {
    return static_cast<int64_t>(static_cast<int32_t>(ticks)) * 10 / 72;
}

uint16_t MsToTicksTruncated(int64_t ms) {
    // ms x 7.2 = ms x 36 / 5, truncated toward zero
    return static_cast<uint16_t>(static_cast<uint64_t>(ms * 36 / 5) & 0xFFFF);
}

uint16_t MsToTicksRounded(int64_t ms) {
    const int64_t t = static_cast<int64_t>(std::llround(static_cast<double>(ms) * 7.2));
    return static_cast<uint16_t>(static_cast<uint64_t>(t) & 0xFFFF);
}

namespace {
uint32_t Le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
} // namespace

TStreamDecoder::TStreamDecoder(IDecoderSink& sink) : FSink(sink) {}

void TStreamDecoder::SetMasterMode(bool master) {
    if (master != FMasterMode) FOwn.Waiting = false; // nothing sent is on its way
    FMasterMode = master;
}

void TStreamDecoder::PrepareOwnMaster(std::string_view textWithCR, uint8_t check) {
    FOwn.Waiting = true;
    FOwn.Text.assign(textWithCR);
    FOwn.Check = check;
    // a capture sequence under way keeps its record
    if (!FMasterOpen) FillOwnMaster();
}

void TStreamDecoder::FillOwnMaster() {
    TTelegramm& r = FMaster.Current();
    r.Text = FOwn.Text;
    r.Check = FOwn.Check;
    r.ErrorFlags = 0;
    r.Ready = false;
    r.OwnMaster = true;
    FMaster.AwaitingCheck = false;
}

void TStreamDecoder::InitRecord(Ring& ring) {
    TTelegramm& r = ring.Current();
    r.Text.clear();
    r.ErrorFlags = kErrAborted;
    r.Check = 0x72;
    r.Ready = false;
    r.OwnMaster = false;
    ring.AwaitingCheck = false;
}

// The start time of a master telegram is in. In master mode it is the own
// telegram's report when one waits (its text follows from the send path,
// unless the device sends a text after all); otherwise the device's text
// follows.
void TStreamDecoder::MasterStarted() {
    FMasterOpen = true;
    if (FMasterMode && FOwn.Waiting)
        FillOwnMaster();
    else
        InitRecord(FMaster);
}

void TStreamDecoder::CloseText() {
    if (FMaster.AwaitingCheck) {
        TTelegramm& r = FMaster.Current();
        r.ErrorFlags = static_cast<uint8_t>((r.ErrorFlags | kErrChecksum) & ~kErrAborted);
        FMaster.AwaitingCheck = false;
    }
    if (FSlave.AwaitingCheck) {
        TTelegramm& r = FSlave.Current();
        r.ErrorFlags = static_cast<uint8_t>((r.ErrorFlags | kErrChecksum) & ~kErrAborted);
        FSlave.AwaitingCheck = false;
    }
    FState = TDecoderState::Idle;
}

inline void TStreamDecoder::TextByte(Ring& ring, unsigned char b) {
    TTelegramm& r = ring.Current();
    if (ring.AwaitingCheck) {
        r.Check ^= b;
        r.Text += static_cast<char>(b);
        if (r.Check != 0) r.ErrorFlags |= kErrChecksum;
        r.ErrorFlags &= static_cast<uint8_t>(~kErrAborted);
        ring.AwaitingCheck = false;
    } else if (b == 0x0D) {
        r.Text += '\r';
        ring.AwaitingCheck = true;
    } else {
        r.Text += static_cast<char>(b);
        r.Check ^= b;
    }
}

// Plain text characters (below 0x80, not CR) while no check byte is awaited:
// appended in one go. Returns how many bytes were taken.
std::size_t TStreamDecoder::TextRun(Ring& ring, const unsigned char* p, std::size_t n) {
    if (ring.AwaitingCheck) return 0;
    std::size_t k = 0;
    // Eight bytes at a time while none is a control byte or CR.
    constexpr uint64_t kHigh = 0x8080808080808080ULL;
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kCRs = 0x0D0D0D0D0D0D0D0DULL;
    uint64_t wide = 0;
    while (k + 8 <= n) {
        uint64_t w;
        std::memcpy(&w, p + k, 8);
        const uint64_t cr = w ^ kCRs;
        if ((w & kHigh) != 0 || ((cr - kOnes) & ~cr & kHigh) != 0) break;
        wide ^= w;
        k += 8;
    }
    uint8_t x = 0;
    for (int s = 0; s < 64; s += 8)
        x ^= static_cast<uint8_t>(wide >> s);
    while (k < n && p[k] < 0x80 && p[k] != 0x0D)
        x ^= p[k++];
    if (k > 0) {
        TTelegramm& r = ring.Current();
        r.Text.append(reinterpret_cast<const char*>(p), k);
        r.Check ^= x;
    }
    return k;
}

void TStreamDecoder::Complete(Ring& ring, bool master) {
    FCounter = 0;
    FState = TDecoderState::Idle;
    TTelegramm& r = ring.Current();
    if (master) {
        FMasterOpen = false;
        if (r.OwnMaster) FOwn.Waiting = false; // reported
    }
    if (r.Text.empty()) return;
    r.Ready = true;
    const uint8_t index = ring.Index;
    ++ring.Index;
    if (master)
        FSink.MasterTelegramm(index, r);
    else
        FSink.SlaveTelegramm(index, r);
    if (ring.Current().Ready) FSink.RingOverrun(master);
    // an own telegram still waiting for its report takes the next record
    if (master && FOwn.Waiting) FillOwnMaster();
}

void TStreamDecoder::Decode(std::string_view chunk) {
    const auto* p = reinterpret_cast<const unsigned char*>(chunk.data());
    const std::size_t n = chunk.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b >= 0x80 &&
            (FState == TDecoderState::MasterText || FState == TDecoderState::SlaveText ||
             FState == TDecoderState::DeviceAnswerText))
            CloseText();
        switch (FState) {
        case TDecoderState::Down:
            break;
        case TDecoderState::Idle:
            switch (b) {
            case 0x80:
                FState = TDecoderState::MasterText;
                // the device sends a text: it is not the own telegram (a
                // read-out of its recording), which waits for its report
                FMasterOpen = true;
                if (FMaster.Current().OwnMaster) InitRecord(FMaster);
                break;
            case 0x81:
                FState = TDecoderState::SlaveText;
                break;
            case 0x82:
                FState = TDecoderState::MasterStart;
                FCounter = 0;
                break;
            case 0x83:
                FState = TDecoderState::MasterEnd;
                FCounter = 0;
                break;
            case 0x84:
                FState = TDecoderState::SlaveStart;
                FCounter = 0;
                break;
            case 0x85:
                FState = TDecoderState::SlaveEnd;
                FCounter = 0;
                break;
            case 0x86:
                FState = TDecoderState::MasterErrors;
                break;
            case 0x87:
                FState = TDecoderState::SlaveErrors;
                break;
            case 0x88:
                FState = TDecoderState::StatusByte;
                break;
            case 0x89:
                FState = TDecoderState::VersionText;
                FVersionText.clear();
                break;
            case 0x8A:
                FState = TDecoderState::DeviceText;
                FCounter = -1; // the length byte is still to come
                FLastMessage.clear();
                break;
            case 0x8B:
                FState = TDecoderState::UploadReply;
                FUploadReply = TUploadReplyStatus::urUndefined;
                break;
            case 0x8D:
                FState = TDecoderState::DeviceAnswerText;
                break;
            case 0x8E:
                FState = TDecoderState::RecordCount;
                FCounter = 0;
                break;
            default:
                break; // unknown or not a control byte
            }
            break;
        case TDecoderState::MasterText:
        case TDecoderState::SlaveText:
        case TDecoderState::DeviceAnswerText: {
            // A run of characters, then CR and check byte, in one step when
            // they are all in this chunk.
            const bool master = FState == TDecoderState::MasterText;
            Ring& ring = master ? FMaster : FSlave;
            i += TextRun(ring, p + i, n - i);
            if (i < n && p[i] < 0x80) {
                TextByte(ring, p[i++]);
                if (ring.AwaitingCheck && i < n && p[i] < 0x80) TextByte(ring, p[i++]);
            }
            if (!master) ring.Current().SentByDevice = FState == TDecoderState::DeviceAnswerText;
            continue;
        }
        case TDecoderState::MasterStart:
        case TDecoderState::SlaveStart: {
            const bool master = FState == TDecoderState::MasterStart;
            Ring& ring = master ? FMaster : FSlave;
            TTelegramm& r = ring.Current();
            if (FCounter == 0 && n - i >= 4) {
                // the whole time stamp is in this chunk
                r.StartTicks = Le32(p + i);
                i += 4;
                if (master)
                    MasterStarted();
                else
                    InitRecord(ring);
                FState = TDecoderState::Idle;
                continue;
            }
            const int shift = 8 * FCounter;
            r.StartTicks = (r.StartTicks & ~(0xFFu << shift)) | (static_cast<uint32_t>(b) << shift);
            if (++FCounter == 4) {
                if (master)
                    MasterStarted();
                else
                    InitRecord(ring);
                FCounter = 0;
                FState = TDecoderState::Idle;
            }
            break;
        }
        case TDecoderState::MasterEnd:
        case TDecoderState::SlaveEnd: {
            const bool master = FState == TDecoderState::MasterEnd;
            Ring& ring = master ? FMaster : FSlave;
            TTelegramm& r = ring.Current();
            if (FCounter == 0 && n - i >= 4) {
                r.EndTicks = Le32(p + i);
                i += 4;
                Complete(ring, master);
                continue;
            }
            const int shift = 8 * FCounter;
            r.EndTicks = (r.EndTicks & ~(0xFFu << shift)) | (static_cast<uint32_t>(b) << shift);
            if (++FCounter == 4) Complete(ring, master);
            break;
        }
        case TDecoderState::MasterErrors:
            FMaster.Current().ErrorFlags |= b & 3;
            FState = TDecoderState::MasterText;
            break;
        case TDecoderState::SlaveErrors:
            FSlave.Current().ErrorFlags |= b & 3;
            FState = TDecoderState::SlaveText;
            break;
        case TDecoderState::StatusByte:
            FState = TDecoderState::Idle;
            FSink.StatusByte(b);
            break;
        case TDecoderState::VersionText:
            if (b != 0x0D) {
                FVersionText += static_cast<char>(b);
            } else {
                FControllerVersion = FVersionText;
                FState = TDecoderState::Idle;
                FSink.VersionReceived(FControllerVersion);
            }
            break;
        case TDecoderState::DeviceText:
            if (FCounter < 0) {
                FCounter = b; // length
            } else {
                FLastMessage += static_cast<char>(b);
            }
            if (FCounter >= 0 && static_cast<int32_t>(FLastMessage.size()) >= FCounter) {
                FCounter = 0;
                FState = TDecoderState::Idle;
                FSink.DeviceTextReceived(FLastMessage);
            }
            break;
        case TDecoderState::UploadReply:
            FUploadReply =
                b == 0 ? TUploadReplyStatus::urGoAhead : TUploadReplyStatus::urNotEnoughMenory;
            FState = TDecoderState::Idle;
            FSink.UploadReplyReceived(FUploadReply);
            break;
        case TDecoderState::RecordCount:
            FValue = (FCounter == 0 ? 0 : FValue) | (static_cast<uint32_t>(b) << (8 * FCounter));
            if (++FCounter == 4) {
                FCounter = 0;
                FState = TDecoderState::Idle;
                FSink.RecordCountReceived(FValue);
            }
            break;
        }
        ++i;
    }
}

namespace Cmd {

namespace {
std::string Bytes(std::initializer_list<unsigned> bytes) {
    std::string s;
    for (unsigned b : bytes)
        s += static_cast<char>(b);
    return s;
}
void AppendU16(std::string& s, uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
} // namespace

std::string MasterMode() {
    return Bytes({0x80});
}
std::string SlaveMode() {
    return Bytes({0x81});
}
std::string ResetOverload() {
    return Bytes({0x90});
}
std::string StatusRequest() {
    return Bytes({0xA0});
}
std::string VersionRequest() {
    return Bytes({0xC0});
}

std::string MasterTimeout(int64_t ms) {
    std::string s = Bytes({0xD1});
    AppendU16(s, MsToTicksTruncated(ms));
    return s;
}

std::string SlaveTimeout(int64_t ms) {
    std::string s = Bytes({0xD2});
    AppendU16(s, MsToTicksTruncated(ms));
    return s;
}

std::string ClearResponseList() {
    return Bytes({0xD3});
}
std::string SlaveSimulation(bool on) {
    return Bytes({0xD4, on ? 1u : 0u});
}

std::string ResponseListElement(std::string_view call, std::string_view answer,
                                int64_t reactionMs) {
    std::string s = Bytes({0xD5});
    AppendU16(s, MsToTicksRounded(reactionMs));
    AppendU16(s, static_cast<uint32_t>(call.size() + 2));
    AppendU16(s, static_cast<uint32_t>(answer.size() + 2));
    s += TelegramBytes(call);
    s += TelegramBytes(answer);
    return s;
}

std::string UploadRequest(uint16_t blocks) {
    std::string s = Bytes({0xD6});
    AppendU16(s, blocks);
    return s;
}

std::string FirmwareBlock(std::string_view block) {
    std::string s = Bytes({0xD7});
    s.append(block.substr(0, kFirmwareBlockSize));
    s.resize(1 + kFirmwareBlockSize, '\xFF');
    return s;
}

std::string UploadEnd() {
    return Bytes({0xD8});
}
std::string AutonomousRecording(bool on) {
    return Bytes({0xD9, on ? 1u : 0u});
}
std::string FormatRecordingFlash() {
    return Bytes({0xDA});
}
std::string EraseRecordedData() {
    return Bytes({0xDB});
}
std::string TransferRecordedData() {
    return Bytes({0xDC});
}
std::string QueryRecordCount() {
    return Bytes({0xDD});
}

} // namespace Cmd

void TCaptureSink::MasterTelegramm(uint8_t index, const TTelegramm& record) {
    FOnCapture(record, 'M');
    if (Decoder) Decoder->ReleaseMaster(index);
}

void TCaptureSink::SlaveTelegramm(uint8_t index, const TTelegramm& record) {
    FOnCapture(record, 'S');
    if (Decoder) Decoder->ReleaseSlave(index);
}

std::string TelegramBytes(std::string_view text) {
    std::string s(text);
    s += '\r';
    s += CalcCheckByte(text);
    return s;
}

} // namespace vaskel
