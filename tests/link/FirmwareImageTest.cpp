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
    // empty lines and Unix line ends are fine
    const TFirmwareImage d = ReadFirmwareHex("\n" + test::HexRecord(0, 0, "k") + "\n" + Eof());
    EXPECT_EQ(d.BlockCount(), 1u);
    // nothing to program
    EXPECT_EQ(ReadFirmwareHex(Eof()).BlockCount(), 0u);
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

// Files that are no whole, sound image are refused before anything is sent,
// and an image does not depend on how its data is split into records or
// on its line ends. Every case is read from a text and from a file.
TEST(FirmwareImage, HostileFiles) {
    using K = TFirmwareProblem::TKind;
    const std::string id = "Vaskel/AT91SAM7S256";
    const std::string data62 = id + std::string(62 - id.size(), 'p');
    auto linear = [](int page) { return test::HexRecord(4, 0, Value16(page)); };
    auto withCrOnly = [](std::string text) {
        std::string out;
        for (std::size_t k = 0; k < text.size(); ++k)
            if (!(text[k] == '\n' && k > 0 && text[k - 1] == '\r')) out += text[k];
        return out;
    };
    auto withLfOnly = [](std::string text) {
        std::string out;
        for (const char c : text)
            if (c != '\r') out += c;
        return out;
    };
    const std::string whole =
        linear(0x10) + test::HexRecord(0, 0x1000, data62) + Eof(); // 0x101000..0x10103D
    struct Case {
        const char* Name;
        std::string Text;
        bool Refused;
        K Kind = K::BadRecord;
        std::size_t Line = 0;
        std::string Says; // a part of the message
        std::string SameAs = {}; // refused == false: reads as this text
    };
    const Case cases[] = {
        {"cut off before its end record", linear(0x10) + test::HexRecord(0, 0x1000, data62), true,
         K::NoEnd, 0, "ohne Endesatz"},
        {"empty", "", true, K::NoEnd, 0, "unvollst"},
        {"a data record after the end record", whole + test::HexRecord(0, 0x2000, "late"), true,
         K::AfterEnd, 4, "Zeile: 4 (nach dem Endesatz"},
        {"a second end record", whole + Eof(), true, K::AfterEnd, 4, "Zeile: 4"},
        {"blank lines after the end record", whole + "\r\n  \r\n\r\n", false, K::BadRecord, 0, "",
         whole},
        {"60 + 2 bytes", linear(0x10) + test::HexRecord(0, 0x1000, data62.substr(0, 60)) +
                             test::HexRecord(0, 0x103C, data62.substr(60)) + Eof(),
         false, K::BadRecord, 0, "", whole},
        {"61 + 1 bytes", linear(0x10) + test::HexRecord(0, 0x1000, data62.substr(0, 61)) +
                             test::HexRecord(0, 0x103D, data62.substr(61)) + Eof(),
         false, K::BadRecord, 0, "", whole},
        {"the last part first", linear(0x10) + test::HexRecord(0, 0x1020, data62.substr(32)) +
                                    test::HexRecord(0, 0x1000, data62.substr(0, 32)) + Eof(),
         false, K::BadRecord, 0, "", whole},
        {"CR line ends", withCrOnly(whole), false, K::BadRecord, 0, "", whole},
        {"LF line ends", withLfOnly(whole), false, K::BadRecord, 0, "", whole},
        {"a linear address record without its value",
         test::HexRecord(4, 0, "") + test::HexRecord(0, 0, id) + Eof(), true, K::RecordLength, 1,
         "Typ 04 hat 2 Datenbytes, nicht 0"},
        {"a linear address record of 4 bytes",
         test::HexRecord(0, 0, id) + test::HexRecord(4, 0, Value16(1) + Value16(2)) + Eof(), true,
         K::RecordLength, 2, "Typ 04 hat 2 Datenbytes, nicht 4"},
        {"a segment address record of 1 byte", test::HexRecord(2, 0, "\x10") + Eof(), true,
         K::RecordLength, 1, "Typ 02"},
        {"an end record with data", test::HexRecord(0, 0, id) + test::HexRecord(1, 0, "x"), true,
         K::RecordLength, 2, "Typ 01 hat 0 Datenbytes, nicht 1"},
        {"a start address of 2 bytes", test::HexRecord(5, 0, Value16(1)) + Eof(), true,
         K::RecordLength, 1, "Typ 05"},
        {"data over data", test::HexRecord(0, 0x100, id) + test::HexRecord(0, 0x10A, "over") + Eof(),
         true, K::Overlap, 2, "Adresse 0x0000010A ist schon in Zeile 1 belegt"},
        {"the same record twice", test::HexRecord(0, 0, id) + test::HexRecord(0, 0, id) + Eof(),
         true, K::Overlap, 2, "Zeile 1"},
        {"overlap through a segment address",
         test::HexRecord(0, 0x10, id) + test::HexRecord(2, 0, Value16(1)) +
             test::HexRecord(0, 0, "x") + Eof(),
         true, K::Overlap, 3, "Adresse 0x00000010"},
        {"past the 32-bit address space",
         linear(0xFFFF) + test::HexRecord(0, 0xFFFE, "abcd") + Eof(), true, K::BeyondSpace, 2,
         "0xFFFFFFFF"},
        {"small data far apart",
         test::HexRecord(0, 0, id) + linear(0x0208) + test::HexRecord(0, 0, "z") + Eof(), true,
         K::TooLarge, 0, "Adressen 0x00000000 bis 0x02080000"},
        {"a line longer than any record", ":" + std::string(1 << 20, '0') + "\r\n" + Eof(), true,
         K::BadRecord, 1, "Zeile: 1"},
    };
    test::TempDir dir;
    const TFirmwareImage expected = ReadFirmwareHex(whole);
    ASSERT_EQ(expected.Lowest, 0x101000);
    ASSERT_EQ(expected.Last(), 0x10103D);
    ASSERT_EQ(expected.BlockCount(), 2u); // two beyond the last byte: 64 bytes
    for (const Case& c : cases) {
        const std::string file = dir.Write("fw.a79", c.Text);
        for (const bool fromFile : {false, true}) {
            SCOPED_TRACE(std::string(c.Name) + (fromFile ? " (file)" : " (text)"));
            auto read = [&] { return fromFile ? ReadFirmwareFile(file) : ReadFirmwareHex(c.Text); };
            if (!c.Refused) {
                const TFirmwareImage image = read();
                const TFirmwareImage same = ReadFirmwareHex(c.SameAs);
                EXPECT_EQ(image.Lowest, same.Lowest);
                EXPECT_EQ(image.Highest, same.Highest);
                EXPECT_EQ(image.Blocks, same.Blocks);
                continue;
            }
            try {
                read();
                ADD_FAILURE() << "accepted";
            } catch (const EFirmwareFileProblem& e) {
                EXPECT_EQ(e.Problem.Kind, c.Kind) << e.what();
                EXPECT_EQ(e.Problem.Line, c.Line) << e.what();
                EXPECT_NE(std::string(e.what()).find(c.Says), std::string::npos) << e.what();
                if (c.Kind == K::TooLarge)
                    EXPECT_EQ(std::string(e.what()).find("Bl\xF6" "cke zu 63 Byte)"),
                              std::string(e.what()).rfind("Bl\xF6" "cke"))
                        << "no block count of the range: " << e.what();
            }
        }
    }

    // data high in the address space starts where it starts
    const TFirmwareImage high = ReadFirmwareHex(linear(0x8000) + test::HexRecord(0, 0, id) + Eof());
    EXPECT_EQ(high.Lowest, 0x80000000LL);
    EXPECT_EQ(high.Bytes().substr(0, id.size()), id);
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
    // a folder is no firmware file
    test::TempDir dir;
    EXPECT_THROW(ReadFirmwareFile(dir.Path().string()), EFirmwareUnreadable);
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
