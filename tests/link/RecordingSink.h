#pragma once
// A decoder sink that writes every result as one line of text.

#include "link/DeviceProtocol.h"
#include "telegram/TextConventions.h"

#include <string>
#include <vector>

namespace vaskel::test {

inline std::string Describe(const char* kind, uint8_t index, const TTelegramm& r) {
    return std::string(kind) + " " + std::to_string(index) +
           " start=" + std::to_string(r.StartTicks) + " end=" + std::to_string(r.EndTicks) +
           " flags=" + ErrorFlagLetters(r.ErrorFlags) + " text=" + StrToHexDump(r.Text, false) +
           " check=" + std::to_string(r.Check) + (r.SentByDevice ? " own" : "");
}

class RecordingSink : public IDecoderSink {
public:
    std::vector<std::string> Events;
    std::vector<TTelegramm> Masters, Slaves;
    int Overruns = 0;

    void MasterTelegramm(uint8_t index, const TTelegramm& r) override {
        Events.push_back(Describe("master", index, r));
        Masters.push_back(r);
    }
    void SlaveTelegramm(uint8_t index, const TTelegramm& r) override {
        Events.push_back(Describe("slave", index, r));
        Slaves.push_back(r);
    }
    void StatusByte(uint8_t s) override { Events.push_back("status " + std::to_string(s)); }
    void VersionReceived(const std::string& v) override { Events.push_back("version " + v); }
    void DeviceTextReceived(const std::string& t) override { Events.push_back("text " + t); }
    void UploadReplyReceived(TUploadReplyStatus r) override {
        Events.push_back(r == TUploadReplyStatus::urGoAhead ? "upload go" : "upload nomem");
    }
    void RecordCountReceived(uint32_t c) override {
        Events.push_back("count " + std::to_string(c));
    }
    void RingOverrun(bool master) override {
        (void)master;
        ++Overruns;
    }
};

// Bytes from a text of hex pairs ("82 01 00").
inline std::string Hex(const std::string& pairs) {
    std::string out;
    std::string digits;
    for (char c : pairs)
        if (c != ' ') digits += c;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        out += static_cast<char>(HexToInt(digits.substr(i, 2)));
    return out;
}

} // namespace vaskel::test
