#pragma once
// The call and answer columns of the list editors: a drop-down of the
// catalogue's record types over a text field.

#include "telegram/TelegramParser.h"

#include <QStyledItemDelegate>
#include <array>
#include <string>
#include <vector>

class QStandardItemModel;

namespace vaskel {

// The record types of one role as the drop-down lists them: prefix, DS
// number, example, description.
std::vector<std::array<std::string, 4>> RecordTypeChoices(const TIBISTelegramParser& parser,
                                                          bool master);

// A chosen line puts its prefix (in the display notation the user reads)
// into the cell; anything typed stays as typed.
class TRecordTypeDelegate : public QStyledItemDelegate {
public:
    TRecordTypeDelegate(const std::vector<std::array<std::string, 4>>& choices,
                        const QString& editorName, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    QStandardItemModel* FChoices = nullptr;
    QString FName;
};

} // namespace vaskel
