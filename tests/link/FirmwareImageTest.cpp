#include "link/FirmwareImage.h"

#include "telegram/Errors.h"

#include "link/FirmwareHex.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace vaskel {
namespace {

// One Intel-HEX record with its checksum (wrong: the checksum off by one).
std::string Eof() {
    return ":00000001FF\r\n";
}
std::string Value16(int v) {
    return std::string{static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
}

TEST(FirmwareImage, RangeBlocksAndPadding) {
    // 63 bytes at 0..62: two beyond the last byte is 64, so 65 bytes, two blocks
    const TFirmwareImage a = ReadFirmwareHex(test::HexRecord(0, 0, std::string(32, 'a')) +
                                             test::HexRecord(0, 32, std::string(31, 'b')) + Eof());
    EXPECT_EQ(a.Lowest, 0);
    EXPECT_EQ(a.Highest, 64);
    ASSERT_EQ(a.BlockCount(), 2u);
    EXPECT_EQ(a.Blocks[0], std::string(32, 'a') + std::string(31, 'b'));
    EXPECT_EQ(a.Blocks[1], std::string(63, '\xFF'));

    // after a linear address record of 1, data lands at 65536 on; the image
    // starts at its lowest address, gaps stay 0xFF
    const TFirmwareImage b =
        ReadFirmwareHex(test::HexRecord(0, 0x10, "x") + test::HexRecord(4, 0, Value16(1)) +
                        test::HexRecord(0, 0x0002, "yz") + Eof());
    EXPECT_EQ(b.Lowest, 0x10);
    const std::string bytes = b.Bytes();
    ASSERT_GT(bytes.size(), 65536u + 2 - 0x10);
    EXPECT_EQ(bytes[0], 'x');
    EXPECT_EQ(bytes.substr(65536 + 2 - 0x10, 2), "yz");
    EXPECT_EQ(bytes[1], '\xFF');
    // a segment address record counts in 16s
    const TFirmwareImage c = ReadFirmwareHex(test::HexRecord(2, 0, Value16(0x100)) +
                                             test::HexRecord(0, 0x0005, "q") + Eof());
    EXPECT_EQ(c.Lowest, 0x1005);
    // lines that are no records are left out of the range; empty lines and
    // Unix line ends are fine
    const TFirmwareImage d = ReadFirmwareHex("\n" + test::HexRecord(0, 0, "k") + "\n");
    EXPECT_EQ(d.BlockCount(), 1u);
    // nothing to program
    EXPECT_EQ(ReadFirmwareHex(Eof()).BlockCount(), 0u);
    EXPECT_EQ(ReadFirmwareHex("").BlockCount(), 0u);
}

TEST(FirmwareImage, BadLinesNameTheirLine) {
    const std::string good = test::HexRecord(0, 0, "abc");
    struct Case {
        std::string Text;
        int Line;
    };
    const Case cases[] = {
        // a wrong checksum in line 7
        {good + good + good + good + good + good + test::HexRecord(0, 3, "d", true) + Eof(), 7},
        {good + ":0300000061626Z00\r\n", 2},           // not hex
        {good + ":0400000061626300\r\n", 2},           // count and length differ
        {good + test::HexRecord(6, 0, "") + Eof(), 2}, // no such record type
        {good + "garbage\r\n" + Eof(), 2},             // no record at all
        {good + ":00000001F\r\n", 2},                  // an odd number of digits
        {test::HexRecord(0, 0x20, "a") + test::HexRecord(4, 0, Value16(0)) +
             test::HexRecord(2, 0, Value16(1)) + test::HexRecord(0, 0, "b") + Eof(),
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
    const std::string text =
        std::string("\x01\x02") + "V3.02 Vaskel/AT91SAM7S256 2026-12-01" + "\0\x7F";
    const TFirmwareImage withId =
        ReadFirmwareHex(test::HexRecord(0, 0x100, text.substr(0, 20)) +
                        test::HexRecord(0, 0x114, text.substr(20)) + Eof());
    EXPECT_TRUE(withId.HasIdentity());
    EXPECT_EQ(withId.Version(), "V3.02 Vaskel/AT91SAM7S256 2026-12-01");
    // the identity across two blocks is still found
    const TFirmwareImage across =
        ReadFirmwareHex(test::HexRecord(0, 55, "Vaskel/AT91SAM7S256") + Eof());
    EXPECT_EQ(across.BlockCount(), 1u);
    const TFirmwareImage split =
        ReadFirmwareHex(test::HexRecord(0, 0, std::string(55, 'x')) +
                        test::HexRecord(0, 55, "Vaskel/AT91SAM7S256") + Eof());
    EXPECT_EQ(split.BlockCount(), 2u);
    EXPECT_TRUE(split.HasIdentity());
    EXPECT_FALSE(ReadFirmwareHex(test::HexRecord(0, 0, "no identity here") + Eof()).HasIdentity());
    EXPECT_EQ(VersionFromImage("no identity"), "");

    // the device takes 8193 blocks: 516,159 bytes; one more block is refused
    // before anything is sent
    const int64_t last = 8193 * 63 - 3; // highest = last + 2 fits exactly
    EXPECT_EQ(ReadFirmwareHex(test::HexRecord(0, 0, "a") +
                              test::HexRecord(4, 0, Value16(static_cast<int>(last >> 16))) +
                              test::HexRecord(0, static_cast<int>(last & 0xFFFF), "z") + Eof())
                  .BlockCount(),
              8193u);
    try {
        ReadFirmwareHex(test::HexRecord(0, 0, "a") + test::HexRecord(4, 0, Value16(0x10)) +
                        test::HexRecord(0, 0, "z") + Eof());
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
    const std::string file =
        dir.Write("fw.a79", test::HexRecord(0, 0, "Vaskel/AT91SAM7S256") + Eof());
    EXPECT_TRUE(ReadFirmwareFile(file).HasIdentity());
}

} // namespace
} // namespace vaskel
