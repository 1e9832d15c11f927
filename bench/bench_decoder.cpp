// Decoder throughput on a realistic capture stream (master telegrams with
// their time stamps, slave answers, own answers, status bytes, a few
// character errors), beside a plain memchr scan of the same buffer.

#include "link/DeviceProtocol.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

namespace {

using namespace vaskel;

class CountingSink : public IDecoderSink {
public:
    TStreamDecoder* Decoder = nullptr;
    uint64_t Count = 0;
    void MasterTelegramm(uint8_t i, const TTelegramm& r) override {
        Count += r.Text.size();
        Decoder->ReleaseMaster(i);
    }
    void SlaveTelegramm(uint8_t i, const TTelegramm& r) override {
        Count += r.Text.size();
        Decoder->ReleaseSlave(i);
    }
    void StatusByte(uint8_t) override { ++Count; }
    void VersionReceived(const std::string&) override {}
    void DeviceTextReceived(const std::string&) override {}
    void UploadReplyReceived(TUploadReplyStatus) override {}
    void RecordCountReceived(uint32_t) override {}
};

std::string Ticks(uint32_t t) {
    std::string s(4, '\0');
    for (int k = 0; k < 4; ++k)
        s[k] = static_cast<char>((t >> (8 * k)) & 0xFF);
    return s;
}

const std::string& Stream() {
    static const std::string stream = [] {
        std::mt19937 rng(7);
        const char* masters[] = {"l012",
                                 "k07",
                                 "z034",
                                 "u1432",
                                 "d10126",
                                 "a1",
                                 "a2",
                                 "zA2Hauptbahnhof    Messe/Stadthalle",
                                 "aA12Marktplatz      Rathaus/Museum 3",
                                 "x1234",
                                 "e123456"};
        std::string s;
        uint32_t t = 0;
        while (s.size() < (8u << 20)) {
            const std::string text = masters[rng() % std::size(masters)];
            s += '\x82' + Ticks(t) + '\x80';
            if (rng() % 50 == 0) {
                s += text.substr(0, 1) + "\x86\x01" + text.substr(1) + '\r' +
                     static_cast<char>(0x72);
            } else {
                std::string tb = text + '\r';
                char c = 0x72;
                for (char ch : text)
                    c ^= ch;
                s += tb + c;
            }
            t += static_cast<uint32_t>(66 * (text.size() + 2));
            s += '\x83' + Ticks(t);
            if (text[0] == 'a' && text.size() == 2) {
                const std::string ans = text + "0";
                char c = 0x72;
                for (char ch : ans)
                    c ^= ch;
                s += '\x84' + Ticks(t + 200) + (rng() % 2 ? '\x81' : '\x8D') + ans + '\r' + c +
                     '\x85' + Ticks(t + 400);
            }
            if (rng() % 20 == 0) s += "\x88\x05";
        }
        return s;
    }();
    return stream;
}

void BM_Decode(benchmark::State& state) {
    const std::string& s = Stream();
    const std::size_t chunk = static_cast<std::size_t>(state.range(0));
    CountingSink sink;
    TStreamDecoder d(sink);
    sink.Decoder = &d;
    d.SetState(TDecoderState::Idle);
    for (auto _ : state) {
        for (std::size_t p = 0; p < s.size(); p += chunk)
            d.Decode(std::string_view(s).substr(p, chunk));
        benchmark::DoNotOptimize(sink.Count);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.size()));
}
BENCHMARK(BM_Decode)->Arg(64)->Arg(4096);

void BM_MemchrScan(benchmark::State& state) {
    const std::string& s = Stream();
    for (auto _ : state) {
        std::size_t n = 0;
        const char* p = s.data();
        const char* end = p + s.size();
        while ((p = static_cast<const char*>(std::memchr(p, '\x83', end - p))) != nullptr) {
            ++n;
            ++p;
        }
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.size()));
}
BENCHMARK(BM_MemchrScan);

} // namespace

BENCHMARK_MAIN();
