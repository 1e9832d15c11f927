#include "ui/editors/RecordTypeDelegate.h"

#include "platform/QtText.h"
#include "telegram/TextConventions.h"
#include "ui/common/Texts.h"

#include <QComboBox>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>

namespace vaskel {

std::vector<std::array<std::string, 4>> RecordTypeChoices(const TIBISTelegramParser& parser,
                                                          bool master) {
    std::vector<std::array<std::string, 4>> out;
    if (const auto records = parser.ProfileArray())
        for (const TWagenbusProfileRecord& r : *records)
            if (r.Master == master) out.push_back({r.Prefix, r.RecordNo, r.Example, r.Description});
    return out;
}

TRecordTypeDelegate::TRecordTypeDelegate(const std::vector<std::array<std::string, 4>>& choices,
                                         const QString& editorName, QObject* parent)
    : QStyledItemDelegate(parent), FName(editorName) {
    FChoices = new QStandardItemModel(this);
    FChoices->setHorizontalHeaderLabels(
        {Tr("Kopf"), Tr("DS Nr."), Tr("Beispiel"), Tr("Beschreibung")});
    for (const auto& c : choices) {
        QList<QStandardItem*> row;
        for (const std::string& cell : c)
            row << new QStandardItem(FromCp1252(TelegramToDisplay(cell)));
        FChoices->appendRow(row);
    }
}

QWidget* TRecordTypeDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                           const QModelIndex&) const {
    auto* box = new QComboBox(parent);
    box->setObjectName(FName);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    auto* view = new QTableView(box);
    view->verticalHeader()->hide();
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->horizontalHeader()->setStretchLastSection(true);
    box->setModel(FChoices);
    box->setView(view);
    box->setModelColumn(0);
    view->setMinimumWidth(500);
    view->resizeColumnsToContents();
    auto* self = const_cast<TRecordTypeDelegate*>(this);
    connect(box, &QComboBox::activated, self, [self, box] {
        emit self->commitData(box);
        emit self->closeEditor(box);
    });
    return box;
}

void TRecordTypeDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* box = static_cast<QComboBox*>(editor);
    box->setCurrentIndex(-1);
    box->setEditText(index.data(Qt::EditRole).toString());
}

void TRecordTypeDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                       const QModelIndex& index) const {
    model->setData(index, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
}

} // namespace vaskel
