#include "TestSupport.h"

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
    return (FPath / name).string();
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
    const auto p = FPath / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << bytes;
    return p.string();
}

std::string ReadFile(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

} // namespace vaskel::test
