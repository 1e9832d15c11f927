#include "lists/ListEditor.h"
#include "lists/ListFiles.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

class ListEditorTest : public ::testing::Test {
protected:
    ListEditorTest() { E.SetDefaults(0); }
    TTable T = MakeCallListTable(); // Ok (boolean), call, description, interval (min:sec)
    TListEditorRows E{T, {false, false, true, false}}; // the description is optional
    void Fill(int row, const char* call) {
        T.SetCell(1, row, call);
        T.Modified = true;
    }
};

TEST_F(ListEditorTest, DefaultsCompleteAndUntouched) {
    EXPECT_EQ(T.Cell(0, 0), "-1");
    EXPECT_EQ(T.Cell(3, 0), "0:10");
    EXPECT_TRUE(E.IsUntouched(0));
    EXPECT_FALSE(E.IsComplete(0)) << "the call is required";
    Fill(0, "l001");
    EXPECT_TRUE(E.IsComplete(0)) << "the description is optional";
    EXPECT_FALSE(E.IsUntouched(0));
    EXPECT_EQ(TListEditorRows::ColumnDefault(TZK_InputStyle::csUnsignedInt), "0");
}

TEST_F(ListEditorTest, OnlyRowStaysAndUntouchedRowsGo) {
    int target = 0;
    EXPECT_EQ(E.MoveTo(0, target), TListEditorRows::TMove::Allowed) << "an untouched only row";
    EXPECT_EQ(T.RowCount(), 1);
    Fill(0, "l001");
    int row = -1;
    ASSERT_EQ(E.Append(0, row), TListEditorRows::TAppend::Appended);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(T.Cell(3, 1), "0:10");
    EXPECT_EQ(E.Append(1, row), TListEditorRows::TAppend::UntouchedLast) << "no second empty row";
    target = 0;
    EXPECT_EQ(E.MoveTo(1, target), TListEditorRows::TMove::Allowed);
    EXPECT_EQ(T.RowCount(), 1) << "the untouched row was removed";
    EXPECT_EQ(target, 0);
}

TEST_F(ListEditorTest, IncompleteRowsHoldTheCursor) {
    Fill(0, "l001");
    int row = -1;
    E.Append(0, row);
    T.SetCell(0, 1, "0"); // touched but without its call
    int target = 0;
    EXPECT_EQ(E.MoveTo(1, target), TListEditorRows::TMove::Refused);
    EXPECT_EQ(E.Append(1, row), TListEditorRows::TAppend::Incomplete);
    target = 1;
    EXPECT_EQ(E.MoveTo(1, target), TListEditorRows::TMove::Allowed) << "within the row";
    EXPECT_EQ(E.CloseQuestion(1), TListEditorRows::TCloseQuestion::Incomplete);
    EXPECT_EQ(E.CloseQuestion(0), TListEditorRows::TCloseQuestion::Save);
    T.Modified = false;
    EXPECT_EQ(E.CloseQuestion(1), TListEditorRows::TCloseQuestion::None);
}

// A list may be saved from a complete row, or from an appended row nobody
// filled in yet, which the save leaves out; a begun row stops it.
TEST_F(ListEditorTest, AnUntouchedNewRowIsLeftOutOfTheSave) {
    EXPECT_FALSE(E.MaySave(0)) << "the only row, still empty: nothing to save";
    Fill(0, "l001");
    int row = -1;
    ASSERT_EQ(E.Append(0, row), TListEditorRows::TAppend::Appended);
    EXPECT_TRUE(E.MaySave(1));
    EXPECT_EQ(E.CloseQuestion(1), TListEditorRows::TCloseQuestion::Save);
    const TTable saved = E.RowsToSave(1);
    ASSERT_EQ(saved.RowCount(), 1);
    EXPECT_EQ(saved.Cell(1, 0), "l001");
    EXPECT_EQ(T.RowCount(), 2) << "the window keeps its row";
    EXPECT_EQ(E.RowsToSave(0).RowCount(), 2) << "only the row the cursor is on is left out";
    T.SetCell(2, 1, "begonnen");
    EXPECT_FALSE(E.MaySave(1));
    EXPECT_EQ(E.CloseQuestion(1), TListEditorRows::TCloseQuestion::Incomplete);
    EXPECT_FALSE(E.MaySave(5)) << "no such row";
}

TEST_F(ListEditorTest, DeleteInsertAndDeleteKey) {
    Fill(0, "l001");
    E.Delete(0);
    EXPECT_EQ(T.RowCount(), 1);
    EXPECT_TRUE(E.IsUntouched(0)) << "the only row is reset, not removed";
    Fill(0, "l001");
    E.Insert(0);
    EXPECT_EQ(T.RowCount(), 2);
    EXPECT_TRUE(E.IsUntouched(0));
    EXPECT_EQ(T.Cell(1, 1), "l001");
    E.Delete(0);
    EXPECT_EQ(T.Cell(1, 0), "l001");
    E.DeleteKey(0, 3); // min:sec cells are left alone
    EXPECT_EQ(T.Cell(3, 0), "0:10");
    E.DeleteKey(0, 1);
    EXPECT_EQ(T.Cell(1, 0), "");
}

TEST_F(ListEditorTest, CellEditor) {
    const std::pair<std::string, std::string> minsec[] = {
        {"90", "1:30"}, {"75", "1:15"}, {"5", "0:05"}, {"1:5", "1:5"}, {"", "0"}, {"x", "x"}};
    for (const auto& [typed, stored] : minsec)
        EXPECT_EQ(TListEditorRows::OnEditorLeave(typed, TZK_InputStyle::csMinSec), stored) << typed;
    int caret = 3;
    std::string t = TListEditorRows::InsertLineFeed("abc", caret, 0);
    EXPECT_EQ(t, "abc\n ");
    EXPECT_EQ(caret, 4);
    EXPECT_EQ(TListEditorRows::OnEditorLeave(t, TZK_InputStyle::csString), "abc\n");
    EXPECT_EQ(TListEditorRows::OnEditorOpen("abc\n"), "abc\n ");
    caret = 1;
    EXPECT_EQ(TListEditorRows::InsertLineFeed("abc", caret, 1), "a\nc");
    caret = 1;
    EXPECT_EQ(TListEditorRows::InsertByte("abc", caret, 1, 0x03), "a\x03"
                                                                  "c");
    EXPECT_EQ(caret, 2);
}

TEST_F(ListEditorTest, SelectAllAndNone) {
    Fill(0, "a");
    int row = -1;
    E.Append(0, row);
    Fill(1, "b");
    T.Modified = false;
    E.SetFirstColumn({0}, false);
    EXPECT_FALSE(T.Modified) << "one row: nothing happens";
    E.SetFirstColumn({0, 1}, false);
    EXPECT_EQ(T.Cell(0, 0), "0");
    EXPECT_EQ(T.Cell(0, 1), "0");
    EXPECT_TRUE(T.Modified);
    E.SetFirstColumn({0, 1}, true);
    EXPECT_EQ(T.Cell(0, 1), "-1");
}

// The clipboard's rows: tab between cells, quoted as the file quotes them,
// text cells as the table shows them.
TEST(ListEditorCopy, RowsAsTheTableFileQuotesThem) {
    TTable t = MakeResponseListTable();
    t.SetRow(0, {"-1", "a1", "say \"hi\"", "20"});
    t.AppendRow();
    t.SetRow(1, {"0", "zA1\nx", "", "0"});
    t.AppendRow();
    t.SetRow(2, {"True", "l001", "l001", "5"});
    const TListEditorRows rows(t);
    EXPECT_EQ(rows.CopyText({0, 1, 2}, {0, 1, 2, 3}, nullptr),
              "-1\t\"a1\"\t\"say \"\"hi\"\"\"\t20\r\n"
              "0\t\"zA1\nx\"\t\"\"\t0\r\n"
              "-1\t\"l001\"\t\"l001\"\t5");
    // the shown columns only, in the order asked; text as shown
    EXPECT_EQ(rows.CopyText({2}, {1, 3},
                            [](std::string_view cell) { return "<" + std::string(cell) + ">"; }),
              "\"<l001>\"\t5");
    EXPECT_EQ(rows.CopyText({}, {0, 1}, nullptr), "");
}

} // namespace
} // namespace vaskel
