#pragma once
// Draws protocol cells as ProtocolCellLook describes them.
#include "ui/protocol/ProtocolCells.h"

#include <QStyledItemDelegate>
#include <functional>

namespace vaskel {

class TProtocolDelegate : public QStyledItemDelegate {
public:
    TProtocolDelegate(const TIBISTelegramParser& parser, std::function<TCellOptions()> options,
                      QObject* parent = nullptr)
        : QStyledItemDelegate(parent), FParser(parser), FOptions(std::move(options)) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    const TIBISTelegramParser& FParser;
    std::function<TCellOptions()> FOptions;
};

} // namespace vaskel
