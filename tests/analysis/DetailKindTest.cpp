// Which detail analysis a protocol row gets.

#include "analysis/DetailKind.h"

#include "recording/Recorder.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

TEST(DetailKind, ByRecordTypeErrorsAndStatus) {
    TTable t = MakeProtocolTable();
    struct TCase {
        const char* RecordNo;
        const char* Errors;
        const char* Status;
        TDetailKind Kind;
    };
    const TCase cases[] = {
        {"021", " ", "", TDetailKind::DS021},    {"003a", "S", "-1", TDetailKind::DS003a},
        {"003c", " ", "", TDetailKind::DS003c},  {"005", " ", "", TDetailKind::General},
        {"005", "S", "", TDetailKind::Error},    {"005", " ", "-1", TDetailKind::Error},
        {"120", " ", "4", TDetailKind::General}, {"120", " ", "3", TDetailKind::Error},
        {"[005]", "X", "", TDetailKind::Error},  {"020", "  ", "0", TDetailKind::General},
        {"020", " ", "1", TDetailKind::Error},   {"120", " ", "2", TDetailKind::Error},
    };
    for (const TCase& c : cases) {
        const int r = t.RowCount();
        t.InsertRow(r);
        t.SetCell(pcKind, r, "M");
        t.SetCell(pcRecordNo, r, c.RecordNo);
        t.SetCell(pcErrors, r, c.Errors);
        t.SetCell(pcAnswer, r, c.Status);
        EXPECT_EQ(DetailKindOf(t, r), c.Kind) << c.RecordNo << " '" << c.Errors << "' " << c.Status;
    }
    EXPECT_EQ(DetailKindOf(t, -1), TDetailKind::None);
    EXPECT_EQ(DetailKindOf(t, t.RowCount()), TDetailKind::None);
}

} // namespace
} // namespace vaskel
