#pragma once
// A recorder as the benchmarks record with: its own settings, no safety
// copy, the PC clock at 08:00.

#include "recording/Recorder.h"

#include <cstddef>

namespace vaskel::bench {

struct TBenchRecorder {
    TFixedSystemPlatform Platform = [] {
        TFixedSystemPlatform p;
        p.Program = "/tmp/vaskel";
        return p;
    }();
    TEnvironment Env{nullptr, Platform};
    TRecorder Rec;

    TBenchRecorder(const TIBISTelegramParser& parser, std::size_t rows)
        : Rec(parser, Env, Hooks()) {
        Rec.SafetyCopy = false;
        Rec.Table().Reserve(rows);
    }

private:
    static TRecorder::THooks Hooks() {
        TRecorder::THooks hooks;
        hooks.NowMsOfDay = [] { return int64_t{8 * 3600000}; };
        return hooks;
    }
};

} // namespace vaskel::bench
