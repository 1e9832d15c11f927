#pragma once
// Which detail analysis a protocol row gets, and which rows hold an error.

#include "recording/Table.h"

namespace vaskel {

// Which analysis the detail panel shows for a row.
enum class TDetailKind { None, DS021, DS003a, DS003c, Error, General };
// By the row's "DS-Nr.", error letters and status.
TDetailKind DetailKindOf(const TTable& table, int row);
// A row with error letters or a status of an unanswered, unpaired or late
// telegram.
bool RowHasError(const TTable& table, int row);

} // namespace vaskel
