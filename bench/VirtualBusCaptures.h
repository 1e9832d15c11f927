#pragma once
// Captured telegrams of the virtual Tavrin's vehicle bus, as the decoder
// hands them on: the material the recording benchmarks work on.

#include "emulator/VirtualTavrin.h"
#include "link/DeviceProtocol.h"

#include <utility>
#include <vector>

namespace vaskel::bench {

using TCaptures = std::vector<std::pair<TTelegramm, char>>;

inline TCaptures VirtualBusCaptures(std::size_t count, double faultRate) {
    TCaptures out;
    out.reserve(count);
    TEmulatorOptions o;
    o.FaultRate = faultRate;
    TVirtualTavrin device(o);
    TCaptureSink sink([&](const TTelegramm& r, char source) { out.push_back({r, source}); });
    TStreamDecoder decoder(sink);
    sink.Decoder = &decoder;
    decoder.SetState(TDecoderState::Idle);
    while (out.size() < count) {
        device.AdvanceMs(60000);
        decoder.Decode(device.TakeOutput());
    }
    out.resize(count);
    return out;
}

} // namespace vaskel::bench
