#pragma once
// The detail panel's filling: the content of a row's detail analysis
// (analysis/DetailAnalysis.h) becomes labels, fields and memos, its German
// texts shown in the active language.

#include "analysis/DetailAnalysis.h"

#include <QString>

class QWidget;
class QVBoxLayout;

namespace vaskel {

// The options of the analysis as the window shows it (the decimal separator
// of the active language).
TDetailOptions ShownDetailOptions();

// The item's text as shown: a label's, heading's or message's German text
// translated, its places filled; a value as it is.
QString ShownText(const TDetailItem& item);

// Places the content into the panel's layout; controls are named
// "Genericlbl"/"GenericEd"/"GenericMemo" + their number.
void FillDetailPanel(const TDetailContent& content, QWidget* panel, QVBoxLayout* layout);

} // namespace vaskel
