// The device-to-PC stream decoder on any bytes. The first byte chooses the
// mode and the chunk size, the rest is the stream.

#include "FuzzSupport.h"

#include "link/DeviceProtocol.h"

namespace vaskel {
namespace {

class TCheckingSink : public IDecoderSink {
public:
    TStreamDecoder* Decoder = nullptr;
    void MasterTelegramm(uint8_t index, const TTelegramm& r) override {
        Touch(r);
        Decoder->ReleaseMaster(index);
    }
    void SlaveTelegramm(uint8_t index, const TTelegramm& r) override {
        Touch(r);
        Decoder->ReleaseSlave(index);
    }
    void StatusByte(uint8_t) override {}
    void VersionReceived(const std::string& v) override { Sum += v.size(); }
    void DeviceTextReceived(const std::string& t) override { Sum += t.size(); }
    void UploadReplyReceived(TUploadReplyStatus) override {}
    void RecordCountReceived(uint32_t c) override { Sum += c; }
    std::size_t Sum = 0;

private:
    void Touch(const TTelegramm& r) {
        Sum += r.Text.size() + ErrorFlagLetters(r.ErrorFlags).size() +
               static_cast<std::size_t>(TicksToMs(r.EndTicks) - TicksToMs(r.StartTicks));
    }
};

} // namespace
} // namespace vaskel

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vaskel;
    if (size == 0) return 0;
    const bool master = data[0] & 0x80;
    const std::size_t chunk = (data[0] & 0x7F) + 1;
    const std::string_view stream = fuzz::Bytes(data + 1, size - 1);
    TCheckingSink sink;
    TStreamDecoder decoder(sink);
    sink.Decoder = &decoder;
    decoder.SetState(TDecoderState::Idle);
    decoder.SetMasterMode(master);
    for (std::size_t p = 0; p < stream.size(); p += chunk) {
        decoder.Decode(stream.substr(p, chunk));
        if (master && p == 0) decoder.PrepareOwnMaster("l001\r", 0x2F);
    }
    return 0;
}
