#include "link/FirmwareImage.h"

#include "telegram/Errors.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace vaskel {
namespace {

// One Intel-HEX record with its checksum (wrong: the checksum off by one).
std::string Record(int type, int address, const std::string& data, bool wrong = false) {
    unsigned sum = static_cast<unsigned>(data.size()) + (address >> 8) + (address & 0xFF) +
                   static_cast<unsigned>(type);
    std::string line;
    char buf[16];
    std::snprintf(buf, sizeof buf, ":%02X%04X%02X", static_cast<unsigned>(data.size()),
                  static_cast<unsigned>(address), static_cast<unsigned>(type));
    line = buf;
    for (const char c : data) {
        const auto b = static_cast<unsigned char>(c);
        sum += b;
        std::snprintf(buf, sizeof buf, "%02X", b);
        line += buf;
    }
    std::snprintf(buf, sizeof buf, "%02X\r\n", (0x100 - (sum & 0xFF) + (wrong ? 1 : 0)) & 0xFF);
    return line + buf;
}
std::string Eof() { return ":00000001FF\r\n"; }
std::string Value16(int v) { return std::string{static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }

TEST(FirmwareImage, RangeBlocksAndPadding) {
    // 63 bytes at 0..62: two beyond the last byte is 64, so 65 bytes, two blocks
    const TFirmwareImage a = ReadFirmwareHex(Record(0, 0, std::string(32, 'a')) +
                                             Record(0, 32, std::string(31, 'b')) + Eof());
    EXPECT_EQ(a.Lowest, 0);
    EXPECT_EQ(a.Highest, 64);
    ASSERT_EQ(a.BlockCount(), 2u);
    EXPECT_EQ(a.Blocks[0], std::string(32, 'a') + std::string(31, 'b'));
    EXPECT_EQ(a.Blocks[1], std::string(63, '\xFF'));

    // after a linear address record of 1, data lands at 65536 on; the image
    // starts at its lowest address, gaps stay 0xFF
    const TFirmwareImage b = ReadFirmwareHex(Record(0, 0x10, "x") + Record(4, 0, Value16(1)) +
                                             Record(0, 0x0002, "yz") + Eof());
    EXPECT_EQ(b.Lowest, 0x10);
    const std::string bytes = b.Bytes();
    ASSERT_GT(bytes.size(), 65536u + 2 - 0x10);
    EXPECT_EQ(bytes[0], 'x');
    EXPECT_EQ(bytes.substr(65536 + 2 - 0x10, 2), "yz");
    EXPECT_EQ(bytes[1], '\xFF');
    // a segment address record counts in 16s
    const TFirmwareImage c =
        ReadFirmwareHex(Record(2, 0, Value16(0x100)) + Record(0, 0x0005, "q") + Eof());
    EXPECT_EQ(c.Lowest, 0x1005);
    // lines that are no records are left out of the range; empty lines and
    // Unix line ends are fine
    const TFirmwareImage d = ReadFirmwareHex("\n" + Record(0, 0, "k") + "\n");
    EXPECT_EQ(d.BlockCount(), 1u);
    // nothing to program
    EXPECT_EQ(ReadFirmwareHex(Eof()).BlockCount(), 0u);
    EXPECT_EQ(ReadFirmwareHex("").BlockCount(), 0u);
}

TEST(FirmwareImage, BadLinesNameTheirLine) {
    const std::string good = Record(0, 0, "abc");
    struct Case {
        std::string Text;
        int Line;
    };
    const Case cases[] = {
        // a wrong checksum in line 7
        {good + good + good + good + good + good + Record(0, 3, "d", true) + Eof(), 7},
        {good + ":0300000061626Z00\r\n", 2},             // not hex
        {good + ":0400000061626300\r\n", 2},             // count and length differ
        {good + Record(6, 0, "") + Eof(), 2},            // no such record type
        {good + "garbage\r\n" + Eof(), 2},               // no record at all
        {good + ":00000001F\r\n", 2},                    // an odd number of digits
        {Record(0, 0x20, "a") + Record(4, 0, Value16(0)) + Record(2, 0, Value16(1)) +
             Record(0, 0, "b") + Eof(),
         0}, // fine: the segment base puts b above a
    };
    for (const Case& c : cases) {
        if (c.Line == 0) {
            EXPECT_NO_THROW(ReadFirmwareHex(c.Text));
            continue;
        }
        try {
            ReadFirmwareHex(c.Text);
            ADD_FAILURE() << "accepted, line " << c.Line;
        } catch (const EFileError& e) {
            EXPECT_EQ(std::string(e.what()), "Formatfehler in Zeile: " + std::to_string(c.Line));
        }
    }
}

TEST(FirmwareImage, IdentityVersionAndSize) {
    const std::string text = std::string("\x01\x02") + "V3.02 Vaskel/AT91SAM7S256 2026-12-01" + "\0\x7F";
    const TFirmwareImage withId = ReadFirmwareHex(Record(0, 0x100, text.substr(0, 20)) +
                                                  Record(0, 0x114, text.substr(20)) + Eof());
    EXPECT_TRUE(withId.HasIdentity());
    EXPECT_EQ(withId.Version(), "V3.02 Vaskel/AT91SAM7S256 2026-12-01");
    // the identity across two blocks is still found
    const TFirmwareImage across = ReadFirmwareHex(Record(0, 55, "Vaskel/AT91SAM7S256") + Eof());
    EXPECT_EQ(across.BlockCount(), 1u);
    const TFirmwareImage split = ReadFirmwareHex(Record(0, 0, std::string(55, 'x')) +
                                                 Record(0, 55, "Vaskel/AT91SAM7S256") + Eof());
    EXPECT_EQ(split.BlockCount(), 2u);
    EXPECT_TRUE(split.HasIdentity());
    EXPECT_FALSE(ReadFirmwareHex(Record(0, 0, "no identity here") + Eof()).HasIdentity());
    EXPECT_EQ(VersionFromImage("no identity"), "");

    // the device takes 8193 blocks: 516,159 bytes; one more block is refused
    // before anything is sent
    const int64_t last = 8193 * 63 - 3; // highest = last + 2 fits exactly
    EXPECT_EQ(ReadFirmwareHex(Record(0, 0, "a") + Record(4, 0, Value16(static_cast<int>(last >> 16))) +
                              Record(0, static_cast<int>(last & 0xFFFF), "z") + Eof())
                  .BlockCount(),
              8193u);
    try {
        ReadFirmwareHex(Record(0, 0, "a") + Record(4, 0, Value16(0x10)) + Record(0, 0, "z") + Eof());
        ADD_FAILURE() << "a 1 MB image was taken";
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find("8193"), std::string::npos) << e.what();
    }
}

TEST(FirmwareImage, FileThatCannotBeRead) {
    test::TempDir dir;
    try {
        ReadFirmwareFile(dir / "none.a79");
        ADD_FAILURE();
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Kann Datei " + (dir / "none.a79") + " nicht lesen!");
    }
    const std::string file = dir.Write("fw.a79", Record(0, 0, "Vaskel/AT91SAM7S256") + Eof());
    EXPECT_TRUE(ReadFirmwareFile(file).HasIdentity());
}

} // namespace
} // namespace vaskel
