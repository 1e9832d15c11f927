#pragma once
// The byte protocol between PC and Tavrin: the capture record, the decoder of
// the device-to-PC stream with its two capture rings, and the encoders of
// every PC-to-device command.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

// Error bits of a capture record.
inline constexpr uint8_t kErrFraming = 0x01;  // F
inline constexpr uint8_t kErrParity = 0x02;   // P
inline constexpr uint8_t kErrChecksum = 0x04; // S
inline constexpr uint8_t kErrAborted = 0x08;  // A

// The letters F, P, S, A of the set bits, in that order.
std::string ErrorFlagLetters(uint8_t flags);

// One captured telegram.
struct TTelegramm {
    uint32_t StartTicks = 0;
    uint32_t EndTicks = 0;
    uint8_t ErrorFlags = 0;
    std::string Text; // as received, with CR and check byte
    uint8_t Check = 0;
    bool Ready = false;
    bool SentByDevice = false;
    // Master records only: the PC's own telegram, filled by the send path
    // while the device is bus master (Text holds text + CR, Check the check
    // byte sent). A master record whose text came from the device (a
    // read-out of its recording, another master) is never own.
    bool OwnMaster = false;

    friend bool operator==(const TTelegramm&, const TTelegramm&) = default;
};

enum class TUploadReplyStatus { urUndefined, urGoAhead, urNotEnoughMenory };

enum class TDecoderState {
    Down,
    Idle,
    MasterText,
    SlaveText,
    MasterStart,
    MasterEnd,
    SlaveStart,
    SlaveEnd,
    MasterErrors,
    SlaveErrors,
    StatusByte,
    VersionText,
    DeviceText,
    UploadReply,
    RecordCount,
    DeviceAnswerText,
};

// Device ticks (1/7200 s): ms = ticks x 10 div 72, the tick count taken as
// signed 32 bit.
int64_t TicksToMs(uint32_t ticks);
// ms x 7.2, truncated (time-outs) or rounded to nearest (reaction times),
// then modulo 65536.
uint16_t MsToTicksTruncated(int64_t ms);
uint16_t MsToTicksRounded(int64_t ms);

// Receives the decoder's results, in stream order.
class IDecoderSink {
public:
    virtual ~IDecoderSink() = default;
    // record is the completed ring record (a copy travels with the
    // notification, so a slow consumer never loses one).
    virtual void MasterTelegramm(uint8_t index, const TTelegramm& record) = 0;
    virtual void SlaveTelegramm(uint8_t index, const TTelegramm& record) = 0;
    virtual void StatusByte(uint8_t status) = 0;
    virtual void VersionReceived(const std::string& version) = 0;
    virtual void DeviceTextReceived(const std::string& text) = 0;
    virtual void UploadReplyReceived(TUploadReplyStatus reply) = 0;
    virtual void RecordCountReceived(uint32_t count) = 0;
    // A ring slot was reused while the consumer still held its Ready flag.
    // Nothing is lost: the record travelled with its notification.
    virtual void RingOverrun(bool master) { (void)master; }
};

class TStreamDecoder;

// A sink that wants only the captured telegrams: each goes on at once ('M'
// or 'S') and its ring slot is released; everything else is ignored.
class TCaptureSink : public IDecoderSink {
public:
    using TOnCapture = std::function<void(const TTelegramm& record, char source)>;
    explicit TCaptureSink(TOnCapture onCapture) : FOnCapture(std::move(onCapture)) {}
    // The decoder whose slots are released (set once it exists).
    TStreamDecoder* Decoder = nullptr;

    void MasterTelegramm(uint8_t index, const TTelegramm& record) override;
    void SlaveTelegramm(uint8_t index, const TTelegramm& record) override;
    void StatusByte(uint8_t) override {}
    void VersionReceived(const std::string&) override {}
    void DeviceTextReceived(const std::string&) override {}
    void UploadReplyReceived(TUploadReplyStatus) override {}
    void RecordCountReceived(uint32_t) override {}

private:
    TOnCapture FOnCapture;
};

// The device-to-PC stream decoder and the two capture rings. Not reentrant.
class TStreamDecoder {
public:
    static constexpr int kRingSize = 256;

    explicit TStreamDecoder(IDecoderSink& sink);

    void Decode(std::string_view chunk);

    TDecoderState State() const { return FState; }
    // Down when the link is lost, Idle when it comes up.
    void SetState(TDecoderState state) { FState = state; }
    void SetMasterMode(bool master);
    bool MasterMode() const { return FMasterMode; }

    // In master mode the send path hands over the telegram just written
    // (text + CR) and its check byte. It waits for the device's report of
    // its times (0x82, 0x83 without a text): the current master record is
    // filled with it, unless a capture sequence from the device is under
    // way, which keeps its record; the telegram then fills the next one.
    // A text the device sends (0x80) is never appended to it: that record
    // starts afresh, and the own telegram still waits.
    void PrepareOwnMaster(std::string_view textWithCR, uint8_t check);

    const TTelegramm& MasterRecord(uint8_t index) const { return FMaster.Records[index]; }
    const TTelegramm& SlaveRecord(uint8_t index) const { return FSlave.Records[index]; }
    uint8_t MasterIndex() const { return FMaster.Index; }
    uint8_t SlaveIndex() const { return FSlave.Index; }
    // The consumer has taken the record: clears Ready.
    void ReleaseMaster(uint8_t index) { FMaster.Records[index].Ready = false; }
    void ReleaseSlave(uint8_t index) { FSlave.Records[index].Ready = false; }

    const std::string& ControllerVersion() const { return FControllerVersion; }
    const std::string& LastMessage() const { return FLastMessage; }
    TUploadReplyStatus UploadGoAheadReply() const { return FUploadReply; }

private:
    struct Ring {
        std::array<TTelegramm, kRingSize> Records{};
        uint8_t Index = 0;
        bool AwaitingCheck = false;
        TTelegramm& Current() { return Records[Index]; }
    };

    void CloseText();
    void TextByte(Ring& ring, unsigned char b);
    std::size_t TextRun(Ring& ring, const unsigned char* p, std::size_t n);
    void InitRecord(Ring& ring);
    // The current master record := the own telegram waiting for its report.
    void FillOwnMaster();
    void MasterStarted();
    void Complete(Ring& ring, bool master);

    IDecoderSink& FSink;
    TDecoderState FState = TDecoderState::Down;
    bool FMasterMode = false;
    int32_t FCounter = 0;
    uint32_t FValue = 0; // multi-byte field being gathered
    Ring FMaster, FSlave;
    // The own telegram sent last, until the device reports it.
    struct {
        bool Waiting = false;
        std::string Text; // text + CR
        uint8_t Check = 0;
    } FOwn;
    bool FMasterOpen = false; // 0x82 came, its 0x83 not yet
    std::string FVersionText;
    std::string FControllerVersion;
    std::string FLastMessage;
    TUploadReplyStatus FUploadReply = TUploadReplyStatus::urUndefined;
};

// PC-to-device commands, one function per command.
namespace Cmd {
std::string MasterMode();              // 0x80
std::string SlaveMode();               // 0x81
std::string ResetOverload();           // 0x90
std::string StatusRequest();           // 0xA0
std::string VersionRequest();          // 0xC0
std::string MasterTimeout(int64_t ms); // 0xD1 lo hi
std::string SlaveTimeout(int64_t ms);  // 0xD2 lo hi
std::string ClearResponseList();       // 0xD3
std::string SlaveSimulation(bool on);  // 0xD4 00/01
std::string ResponseListElement(std::string_view call, std::string_view answer,
                                int64_t reactionMs); // 0xD5 ...
std::string UploadRequest(uint16_t blocks);          // 0xD6 lo hi
inline constexpr std::size_t kFirmwareBlockSize = 63;
// 0xD7 + 63 bytes; a shorter block is padded with 0xFF.
std::string FirmwareBlock(std::string_view block);
std::string UploadEnd();                  // 0xD8
std::string AutonomousRecording(bool on); // 0xD9 00/01
std::string FormatRecordingFlash();       // 0xDA
std::string EraseRecordedData();          // 0xDB
std::string TransferRecordedData();       // 0xDC
std::string QueryRecordCount();           // 0xDD
} // namespace Cmd

// A telegram as written to the device: text, CR, check byte.
std::string TelegramBytes(std::string_view text);

} // namespace vaskel
