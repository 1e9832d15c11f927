#include "TestSupport.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

namespace vaskel::test {

TempDir::TempDir() {
    std::random_device rd;
    for (;;) {
        FPath = std::filesystem::temp_directory_path() / ("vaskel-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(FPath)) break;
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
}

std::string TempDir::operator/(const std::string& name) const {
    // the platform's own delimiters throughout, as the program writes paths
    return (FPath / name).make_preferred().string();
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
    const auto p = FPath / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << bytes;
    return std::filesystem::path(p).make_preferred().string();
}

std::string ReadFile(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string Printable(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "<%02X>", c);
            out += buf;
        }
    }
    return out;
}

} // namespace vaskel::test
