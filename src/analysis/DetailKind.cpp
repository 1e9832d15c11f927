#include "analysis/DetailKind.h"

#include "recording/Recorder.h"
#include "telegram/TextConventions.h"

namespace vaskel {

bool RowHasError(const TTable& table, int row) {
    const std::string_view status = TrimBlanks(table.Cell(pcAnswer, row));
    return !TrimBlanks(table.Cell(pcErrors, row)).empty() || status == "-1" || status == "1" ||
           status == "2" || status == "3";
}

TDetailKind DetailKindOf(const TTable& table, int row) {
    if (row < 0 || row >= table.RowCount()) return TDetailKind::None;
    const std::string_view ds = table.Cell(pcRecordNo, row);
    if (ds == "021") return TDetailKind::DS021;
    if (ds == "003a") return TDetailKind::DS003a;
    if (ds == "003c") return TDetailKind::DS003c;
    return RowHasError(table, row) ? TDetailKind::Error : TDetailKind::General;
}

} // namespace vaskel
