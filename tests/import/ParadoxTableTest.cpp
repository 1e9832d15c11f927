// The Paradox table reader: values of every kind the imports read, field
// names, code pages, and damaged files that must end in an error, never in
// a crash or an endless loop.

#include "import/ParadoxTable.h"
#include "import/ParadoxWriter.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace vaskel {
namespace {

using namespace vaskel::test;

std::string Slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class ParadoxTableTest : public ::testing::Test {
protected:
    std::string Table(const std::vector<TPxColumn>& columns, const std::vector<TPxRecord>& records,
                      int codePage = 1252) {
        const auto file = Dir.Path() / "T.DB";
        WriteParadoxTable(file, columns, records, codePage);
        return Slurp(file);
    }
    TempDir Dir;
};

TEST_F(ParadoxTableTest, ReadsEveryKindOfValueInStoredOrder) {
    const std::vector<TPxColumn> cols = {{"Text", pxfAlpha, 20},
                                         {"Klein", pxfShort},
                                         {"Gross", pxfLong},
                                         {"Zahl", pxfNumber},
                                         {"Ja", pxfLogical}};
    TParadoxTable t(
        Table(cols, {{std::string("M\xFCnchen {|}"), int32_t(-7), int32_t(123456), 2.6, true},
                     {TPxValue{}, TPxValue{}, TPxValue{}, TPxValue{}, TPxValue{}},
                     {std::string(" 42 "), int32_t(0), int32_t(-1), -0.4, false}}));
    ASSERT_EQ(t.RecordCount(), 3);
    const int text = t.FieldByName("Text"), small = t.FieldByName("Klein"),
              large = t.FieldByName("Gross"), number = t.FieldByName("Zahl"),
              yes = t.FieldByName("Ja");
    t.First();
    EXPECT_EQ(t.AsString(text), "M\xFCnchen {|}");
    EXPECT_EQ(t.AsInteger(small), -7);
    EXPECT_EQ(t.AsString(small), "-7");
    EXPECT_EQ(t.AsInteger(large), 123456);
    EXPECT_EQ(t.AsInteger(number), 3) << "rounded";
    EXPECT_TRUE(t.AsBoolean(yes));
    EXPECT_EQ(t.AsString(yes), "True");
    t.Next();
    // empty fields
    EXPECT_EQ(t.AsString(text), "");
    EXPECT_EQ(t.AsInteger(small), 0);
    EXPECT_EQ(t.AsInteger(large), 0);
    EXPECT_EQ(t.AsString(large), "");
    EXPECT_FALSE(t.AsBoolean(yes));
    t.Next();
    EXPECT_EQ(t.AsInteger(text), 42) << "a number in a text field";
    EXPECT_EQ(t.AsInteger(small), 0);
    EXPECT_EQ(t.AsInteger(large), -1);
    EXPECT_EQ(t.AsInteger(number), 0);
    EXPECT_FALSE(t.AsBoolean(yes));
    EXPECT_EQ(t.AsString(yes), "False");
    t.Next();
    EXPECT_TRUE(t.Eof());
    EXPECT_THROW(t.AsString(text), ETableError) << "no record at the end";
}

TEST_F(ParadoxTableTest, FieldsAreFoundRegardlessOfCaseAndAMissingOneIsAnError) {
    TParadoxTable t(Table(ResponseListColumns(), {ResponseRecord(true, "a", "b", 1)}));
    EXPECT_EQ(t.FieldByName("checked"), t.FieldByName("CHECKED"));
    EXPECT_TRUE(t.HasField("Antwort"));
    EXPECT_FALSE(t.HasField("ANTWOR"));
    try {
        t.FieldByName("Telegramm");
        FAIL() << "no such field";
    } catch (const ETableError& e) {
        EXPECT_NE(std::string(e.what()).find("Telegramm"), std::string::npos) << e.what();
    }
}

TEST_F(ParadoxTableTest, ValuesThatCannotBeReadAsAskedAreErrors) {
    TParadoxTable t(
        Table({{"Text", pxfAlpha, 10}, {"Ja", pxfLogical}}, {{std::string("12a"), true}}));
    t.First();
    EXPECT_THROW(t.AsInteger(t.FieldByName("Text")), ETableError);
    EXPECT_THROW(t.AsInteger(t.FieldByName("Ja")), ETableError);
}

TEST_F(ParadoxTableTest, TextOfAnotherCodePageArrivesAsWindows1252) {
    // "Grüße" in code page 850: ü = 0x81, ß = 0xE1
    TParadoxTable t(Table({{"Text", pxfAlpha, 10}},
                          {{std::string("Gr\x81\xE1"
                                        "e")}},
                          850));
    EXPECT_EQ(t.CodePage(), 850);
    t.First();
    EXPECT_EQ(t.AsString(0), "Gr\xFC\xDF"
                             "e");
}

TEST_F(ParadoxTableTest, ATableOfManyBlocksIsReadWholeAndInOrder) {
    std::vector<TPxRecord> records;
    for (int i = 0; i < 700; ++i)
        records.push_back({int32_t(i), std::string(100, 'x')});
    const std::string bytes = Table({{"Nr", pxfLong}, {"Fill", pxfAlpha, 120}}, records);
    TParadoxTable t(bytes);
    ASSERT_EQ(t.RecordCount(), 700);
    int expected = 0;
    for (t.First(); !t.Eof(); t.Next())
        EXPECT_EQ(t.AsInteger(0), expected++);
    EXPECT_EQ(expected, 700);
}

TEST_F(ParadoxTableTest, AnEmptyTableHasNoRecords) {
    TParadoxTable t(Table(CallListColumns(), {}));
    EXPECT_EQ(t.RecordCount(), 0);
    t.First();
    EXPECT_TRUE(t.Eof());
}

// Damaged files: each one is refused with a reason.
class DamagedTableTest : public ParadoxTableTest {
protected:
    void SetUp() override {
        std::vector<TPxRecord> records;
        for (int i = 0; i < 120; ++i)
            records.push_back(ResponseRecord(true, "a" + std::to_string(i), "x", i));
        Good = Table(ResponseListColumns(), records);
        ASSERT_TRUE(CheckParadoxTable(Good).empty()) << CheckParadoxTable(Good);
    }
    unsigned U16(std::size_t at) const {
        return static_cast<unsigned char>(Good[at]) | static_cast<unsigned char>(Good[at + 1]) << 8;
    }
    static void Set16(std::string& b, std::size_t at, unsigned v) {
        b[at] = static_cast<char>(v & 0xFF);
        b[at + 1] = static_cast<char>(v >> 8);
    }
    // The offset of block n (1-based).
    std::size_t Block(unsigned n) const { return U16(2) + (n - 1) * Good[5] * 0x400u; }
    std::string Good;
};

TEST_F(DamagedTableTest, EveryDamageIsRefused) {
    ASSERT_GE(U16(0x0C), 2u) << "the fixture spans blocks";
    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
    };
    const std::vector<Case> cases = {
        {"empty file", [](std::string& b) { b.clear(); }},
        {"header cut", [](std::string& b) { b.resize(0x40); }},
        {"cut inside the field names", [](std::string& b) { b.resize(0x78 + 8 + 4 + 16 + 262); }},
        {"cut inside the last block",
         [this](std::string& b) { b.resize(Block(U16(0x0C)) + 6 + 5 * U16(0)); }},
        // the records all there, the rest of the last block gone
        {"cut after the last record",
         [this](std::string& b) {
             b.resize(Block(U16(0x0C)) + 6 + (U16(Block(U16(0x0C)) + 4) + U16(0)));
         }},
        {"not a table (file type)", [](std::string& b) { b[4] = 1; }},
        {"unknown block size", [](std::string& b) { b[5] = 5; }},
        {"unknown version", [](std::string& b) { b[0x39] = 40; }},
        {"record size 0", [](std::string& b) { Set16(b, 0, 0); }},
        {"record size not the fields'", [](std::string& b) { Set16(b, 0, 300); }},
        {"no fields", [](std::string& b) { Set16(b, 0x21, 0); }},
        {"field count out of range", [](std::string& b) { Set16(b, 0x21, 4000); }},
        {"field of an unknown type", [](std::string& b) { b[0x78] = 0x30; }},
        {"header size past the end", [](std::string& b) { Set16(b, 2, 0xFFFF); }},
        {"table name without end",
         [](std::string& b) { std::fill_n(b.begin() + 0x78 + 8 + 4 + 16, 261, 'T'); }},
        {"more records than the blocks hold", [](std::string& b) { b[6] = 121; }},
        {"negative record count", [](std::string& b) { b[9] = char(0x80); }},
        {"encrypted", [](std::string& b) { b[0x5C] = 1; }},
        {"first block past the last", [this](std::string& b) { Set16(b, 0x0E, U16(0x0C) + 1); }},
        {"block list pointing past the end",
         [this](std::string& b) {
             Set16(b, 0x0C, 200);
             Set16(b, Block(1), 150);
         }},
        {"block list in a circle", [this](std::string& b) { Set16(b, Block(2), 1); }},
        // pxlib walks on past the header's count of blocks (and, when that
        // fails, used to free its block index twice)
        {"last block pointing on",
         [this](std::string& b) { Set16(b, Block(U16(0x0C)), 21582); }},
        {"block of a negative size", [this](std::string& b) { Set16(b, Block(1) + 4, 0xFFBE); }},
        {"block size not whole records", [this](std::string& b) { Set16(b, Block(1) + 4, 7); }},
    };
    for (const Case& c : cases) {
        std::string bytes = Good;
        c.damage(bytes);
        EXPECT_FALSE(CheckParadoxTable(bytes).empty()) << c.what;
        EXPECT_THROW(TParadoxTable{bytes}, ETableError) << c.what;
    }
}

TEST_F(DamagedTableTest, NoCutOrGarbledByteCrashesTheReader) {
    // cut at every length up to the first block and beyond
    for (std::size_t n = 0; n < Good.size(); n += n < Block(1) + 64 ? 1 : 97) {
        try {
            TParadoxTable t(Good.substr(0, n));
            for (t.First(); !t.Eof(); t.Next())
                t.AsString(1);
        } catch (const ETableError&) {
        }
    }
    // bytes of the header and the first block set at random
    std::mt19937 random(20);
    for (int round = 0; round < 1500; ++round) {
        std::string bytes = Good;
        for (int k = 0; k < 1 + round % 4; ++k) {
            const std::size_t at = random() % (Block(1) + 64);
            bytes[at] = static_cast<char>(random());
        }
        try {
            TParadoxTable t(bytes);
            for (t.First(); !t.Eof(); t.Next())
                for (int f = 0; f < static_cast<int>(t.Fields().size()); ++f)
                    try {
                        t.AsString(f);
                        t.AsInteger(f);
                    } catch (const ETableError&) {
                    }
        } catch (const ETableError&) {
        }
    }
}

} // namespace
} // namespace vaskel
