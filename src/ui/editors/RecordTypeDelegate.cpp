#include "ui/editors/RecordTypeDelegate.h"

#include "platform/QtText.h"
#include "telegram/TextConventions.h"
#include "ui/common/Texts.h"
#include "ui/editors/CellEditorDelegate.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>

namespace vaskel {

std::vector<std::array<std::string, 4>> RecordTypeChoices(const TIBISTelegramParser& parser,
                                                          bool master, TBusType bus) {
    const bool trainBus = bus == TBusType::bsTrainBus;
    std::vector<std::array<std::string, 4>> out;
    if (const auto records = parser.ProfileArray())
        for (const TWagenbusProfileRecord& r : *records)
            if (r.Master == master && r.TrainBus == trainBus)
                out.push_back({r.Prefix, r.RecordNo, r.Example, r.Description});
    return out;
}

TRecordTypeDelegate::TRecordTypeDelegate(const TIBISTelegramParser& parser,
                                         const TEnvironment& env, bool master,
                                         const QString& editorName, QObject* parent)
    : QStyledItemDelegate(parent), FParser(parser), FEnv(env), FMaster(master),
      FName(editorName) {}

QWidget* TRecordTypeDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                           const QModelIndex&) const {
    auto* box = new QComboBox(parent);
    box->setObjectName(FName);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr); // what is typed stays as typed
    auto* choices = new QStandardItemModel(box);
    choices->setHorizontalHeaderLabels(
        {Tr("Kopf"), Tr("DS Nr."), Tr("Beispiel"), Tr("Beschreibung")});
    for (const auto& c : RecordTypeChoices(FParser, FMaster, FEnv.BusType())) {
        QList<QStandardItem*> row;
        for (const std::string& cell : c) {
            auto* item = new QStandardItem(FromCp1252(TelegramToDisplay(cell)));
            item->setToolTip(item->text());
            row << item;
        }
        // a line without an example puts its prefix
        if (row[kTakenColumn]->text().isEmpty()) row[kTakenColumn]->setText(row[0]->text());
        choices->appendRow(row);
    }
    auto* view = new QTableView(box);
    view->verticalHeader()->hide();
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->horizontalHeader()->setStretchLastSection(true);
    view->setWordWrap(false);
    box->setModel(choices);
    box->setView(view);
    box->setModelColumn(kTakenColumn);
    // every column as wide as its longest text, so that no description is
    // cut; at least 500 pixels, at most the screen's width
    view->resizeColumnsToContents();
    int width = view->verticalScrollBar()->sizeHint().width() + 2 * view->frameWidth();
    for (int c = 0; c < choices->columnCount(); ++c)
        width += view->columnWidth(c);
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().width() : width;
    view->setMinimumWidth(std::min(std::max(500, width), std::max(500, room)));
    auto* self = const_cast<TRecordTypeDelegate*>(this);
    // A choice ends the editing. Once: closing gives the focus back to the
    // table, and the line edit's losing it makes the box report its choice
    // again -- for an editor the table has let go of already.
    connect(box, &QComboBox::activated, self, [self, box] {
        QObject::disconnect(box, &QComboBox::activated, self, nullptr);
        emit self->commitData(box);
        emit self->closeEditor(box);
    });
    return box;
}

void TRecordTypeDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* box = static_cast<QComboBox*>(editor);
    box->setCurrentIndex(-1);
    box->setEditText(index.data(Qt::EditRole).toString());
    // started by typing or reached with Tab: what is typed replaces the text
    if (TCellEditorDelegate::ReplacingOnNextOpen()) {
        box->lineEdit()->selectAll();
        TCellEditorDelegate::ReplaceOnNextOpen(false);
    }
}

void TRecordTypeDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                       const QModelIndex& index) const {
    model->setData(index, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
}

} // namespace vaskel
