#pragma once
// Shared by the fuzz targets: the readers that take a file name get the
// input through one scratch file of the process.

#include "telegram/DelimitedText.h"
#include "telegram/Errors.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <unistd.h>

namespace vaskel::fuzz {

// Writes the bytes to the process's scratch file (in TMPDIR or /tmp, one
// per name and process) and returns its name.
inline std::string ScratchFile(std::string_view bytes, const char* name) {
    static const std::string prefix = [] {
        const char* tmp = std::getenv("TMPDIR");
        return std::string(tmp && *tmp ? tmp : "/tmp") + "/vaskel-fuzz-" +
               std::to_string(getpid()) + "-";
    }();
    const std::string path = prefix + name;
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path;
}

inline std::string_view Bytes(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A line limit the fuzzer's inputs (a few KiB) can pass, so that the
// refusal of over-long lines is fuzzed too (fuzz/seeds/*/long-line*); set
// once per process.
inline void LimitLines() {
    static const bool limited = (SetMaxLineBytes(1024), true);
    (void)limited;
}

// Runs f; a refusal of the input (EVaskelError) is an answer, not a finding.
template <typename F> void Try(F&& f) {
    try {
        f();
    } catch (const EVaskelError&) {
    }
}

} // namespace vaskel::fuzz
