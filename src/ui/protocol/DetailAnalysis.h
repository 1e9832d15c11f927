#pragma once
// The detail analysis of one protocol row: what the detail panel shows for
// the destination-display record types 021, 003a and 003c, for rows with
// errors, and for every other row. The content is built first (items in
// lines, texts in the active language) and then placed in the panel.

#include "recording/Table.h"
#include "telegram/TelegramParser.h"
#include "ui/protocol/ProtocolForm.h"

#include <QString>
#include <vector>

class QWidget;
class QVBoxLayout;

namespace vaskel {

struct TDetailItem {
    enum TKind { Label, Heading, Field, Memo, Mark, Message };
    TKind Kind = Label;
    QString Text;
    QString Hint;
    int Lines = 1;          // memo height in rows
    int PixelHeight = 0;    // memo height in pixels (0: by Lines)
    bool LeftAlign = false; // labels are right-aligned unless said
};

struct TDetailContent {
    std::vector<std::vector<TDetailItem>> Lines;
    bool ErrorLook = false;
    // The first field whose label is text (tests and the panel's users).
    const TDetailItem* FieldAfter(const QString& label) const;
    // Every message text, in order.
    QStringList Messages() const;
};

struct TDetailOptions {
    bool ConvertIBIS = true;
    TBusType Bus = TBusType::bsVehicleBus;
    bool LinkOpen = false; // a device link exists: the expected check byte is named
};

// Builds the analysis of the row by its kind. Throws EVaskelError with the
// analysis's own error text when the telegram cannot be taken apart.
TDetailContent BuildDetailAnalysis(TDetailKind kind, const TTable& table, int row,
                                   const TIBISTelegramParser& parser, const TDetailOptions& o);

// Places the content into the panel's layout; controls are named
// "Genericlbl"/"GenericEd"/"GenericMemo" + their number.
void FillDetailPanel(const TDetailContent& content, QWidget* panel, QVBoxLayout* layout);

} // namespace vaskel
