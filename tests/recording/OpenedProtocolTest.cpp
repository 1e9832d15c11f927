#include "recording/OpenedProtocol.h"
#include "recording/TableFile.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

const std::string kCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

class OpenedProtocolTest : public ::testing::Test {
protected:
    TIBISTelegramParser Parser{kCatalogue};
    test::TempDir Dir;
    TTable T = MakeProtocolTable();

    void Rows(const std::vector<std::vector<std::string>>& rows) {
        T.Clear();
        for (std::size_t k = 0; k < rows.size(); ++k)
            T.SetRow(k == 0 ? 0 : T.AppendRow(), rows[k]);
    }
    std::string Cell(int col, int row) const { return std::string(T.Cell(col, row)); }
};

TEST_F(OpenedProtocolTest, ReanalysePairsAndRenumbers) {
    const std::string a1 = TelegramBytes("a1"), a10 = TelegramBytes("a10"),
                      l = TelegramBytes("l001"), a20 = TelegramBytes("a20");
    Rows({{"M", "7", "1000", " ", "S", a1, " ", "x", "x", "x"},
          {"S", "8", "1030", "30", " ", a10, " ", "x", "x", "x"},
          {" ", "9", "1100", " ", "XT", TelegramBytes("a2"), " ", "", "", ""},
          {"M", "3", "1200", " ", " ", l, " ", "", "", ""},
          {"S", "4", "1300", "5", " ", TelegramBytes("a20"), " ", "", "", ""},
          {"S", "5", "1400", "5", " ", a20, " ", "", "", ""},
          {"T", "6", "1500", "5", " ", TelegramBytes("Q"), " ", "", "", ""},
          {"S", "7", "1600", "5", " ", TelegramBytes("l001"), " ", "", "", ""}});
    Reanalyse(T, Parser, TBusType::bsVehicleBus);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Cell(pcNr, i), std::to_string(i + 1));
    // an answer nobody asked for
    EXPECT_EQ(Cell(pcAnswer, 7), "2");
    EXPECT_EQ(Cell(pcReaction, 7), kReactionInvalid);
    EXPECT_EQ(Cell(pcKind, 2), "M") << "an empty kind becomes M";
    EXPECT_EQ(Cell(pcErrors, 0), "S") << "device letters stay";
    EXPECT_EQ(Cell(pcRecordNo, 0), "020");
    EXPECT_EQ(Cell(pcDescription, 0).substr(0, 13), "Statusabfrage");
    // a1 answered by the next row
    EXPECT_EQ(Cell(pcAnswer, 0), "0");
    EXPECT_EQ(Cell(pcAnswer, 1), "4");
    EXPECT_EQ(Cell(pcReaction, 1), "30") << "unchanged for the row right after";
    EXPECT_EQ(T.Object(1)->PartnerRow, 1);
    // a2 answered two rows later: reaction from the start times
    EXPECT_EQ(Cell(pcErrors, 2), "");
    EXPECT_EQ(Cell(pcAnswer, 2), "1");
    EXPECT_EQ(Cell(pcAnswer, 4), "3");
    EXPECT_EQ(Cell(pcReaction, 4), "200");
    EXPECT_EQ(T.Object(4)->PartnerRow, 3);
    // a master answered later still takes another answer (only "0" is done)
    EXPECT_EQ(Cell(pcAnswer, 5), "3");
    EXPECT_EQ(Cell(pcReaction, 5), "300");
    EXPECT_EQ(T.Object(2)->PartnerRow, 6);
    EXPECT_EQ(Cell(pcAnswer, 3), "");
    EXPECT_EQ(Cell(pcErrors, 6), "X");
    EXPECT_EQ(Cell(pcRecordNo, 6), "[]");
    EXPECT_EQ(T.Object(0)->EndTime, 1000) << "the start time in ms for loaded protocols";
    EXPECT_TRUE(T.Modified);
}

TEST_F(OpenedProtocolTest, CommaFormIsConvertedAndWrittenBack) {
    const std::string old = "'M','1','1000','','','l001\r/',' 6C','001','x','',\r\n"
                            "'S','2','2000','','','a10\r\x12',' 61','120','y','',\r\n";
    const std::string file = Dir.Write("old.PRO.CSV", old);
    const TProtocolLoad info = LoadProtocolFile(T, file, Parser, TBusType::bsVehicleBus);
    EXPECT_TRUE(info.CommaForm);
    EXPECT_TRUE(info.Reanalysed);
    EXPECT_TRUE(info.WrittenBack);
    EXPECT_FALSE(T.Modified);
    EXPECT_EQ(test::ReadFile(Dir / "old.PRO.BAK"), old);
    const std::string now = test::ReadFile(file);
    EXPECT_EQ(now.substr(0, 15), "\"M\";\"1\";\"1000\";");
    EXPECT_EQ(Cell(pcAnswer, 1), "2");
    TTable again = MakeProtocolTable();
    EXPECT_FALSE(LoadProtocolFile(again, file, Parser, TBusType::bsVehicleBus).CommaForm);
    EXPECT_EQ(again.RowCount(), 2);
}

TEST_F(OpenedProtocolTest, UnquotedFileIsConvertedOnDisk) {
    const std::string file =
        Dir.Write("plain.PRO.CSV", "M;1;1000;;;l001;;;;\r\nS;2;1200;;;a10;;;;\r\n");
    const TProtocolLoad info = LoadProtocolFile(T, file, Parser, TBusType::bsVehicleBus);
    EXPECT_TRUE(info.Unquoted);
    EXPECT_TRUE(info.Reanalysed);
    EXPECT_FALSE(info.WrittenBack);
    EXPECT_TRUE(T.Modified) << "closing asks the save question";
    EXPECT_EQ(test::ReadFile(file).substr(0, 24), "\"M\";\"1\";\"1000\";\"\";\"\";\"l0");
    EXPECT_EQ(Cell(pcRecordNo, 0), "001");
    EXPECT_FALSE(std::filesystem::exists(Dir / "plain.PRO.tmp"));
}

TEST_F(OpenedProtocolTest, InvalidFormat) {
    const std::string file = Dir.Write("bad.PRO.CSV", "\"M\";\"1\"\r\nno separator here\r\n\r\n");
    try {
        LoadProtocolFile(T, file, Parser, TBusType::bsVehicleBus);
        FAIL() << "no error";
    } catch (const EFileError& e) {
        EXPECT_STREQ(e.what(), "Ung\xFCltiges Protokollformat");
    }
    EXPECT_THROW(LoadProtocolFile(T, Dir / "missing.PRO.CSV", Parser, TBusType::bsVehicleBus),
                 EFileError);
}

} // namespace
} // namespace vaskel
