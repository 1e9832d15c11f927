#pragma once
// The call and answer columns of the list editors: a drop-down of the
// catalogue's record types over a text field.

#include "shell/Environment.h"
#include "telegram/TelegramParser.h"

#include <QStyledItemDelegate>
#include <array>
#include <string>
#include <vector>

namespace vaskel {

// The record types of one role on one bus as the drop-down lists them:
// prefix, DS number, example, description.
std::vector<std::array<std::string, 4>> RecordTypeChoices(const TIBISTelegramParser& parser,
                                                          bool master, TBusType bus);

// A chosen line puts its example (in the display notation the user reads;
// its prefix when it has none) into the cell; anything typed stays as
// typed. The lines are read when the drop-down opens: the catalogue and the
// bus in force then.
class TRecordTypeDelegate : public QStyledItemDelegate {
public:
    TRecordTypeDelegate(const TIBISTelegramParser& parser, const TEnvironment& env, bool master,
                        const QString& editorName, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

    // The column of the drop-down's lines whose text a chosen line puts
    // into the cell.
    static constexpr int kTakenColumn = 2;

private:
    const TIBISTelegramParser& FParser;
    const TEnvironment& FEnv;
    bool FMaster;
    QString FName;
};

} // namespace vaskel
