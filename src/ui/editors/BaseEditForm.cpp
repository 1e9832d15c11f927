#include "ui/editors/BaseEditForm.h"
#include "ui/common/ActionTable.h"
#include "ui/common/Icons.h"

#include "platform/QtText.h"
#include "telegram/TextConventions.h"
#include "ui/common/MainWindowLink.h"
#include "ui/common/Texts.h"
#include "ui/editors/CellEditorDelegate.h"
#include "ui/help/ContextHelp.h"
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

namespace vaskel {

TfBaseEditForm::TfBaseEditForm(TSession& session, TTable& table, std::vector<TEditColumn> columns,
                               const QString& fileName, QWidget* parent)
    : TfChildWindow(session, parent), FEnv(session.Env()), FTable(table), FRows(table, [&] {
          std::vector<bool> optional;
          for (const TEditColumn& c : columns)
              optional.push_back(c.Optional);
          return optional;
      }()) {
    SetHelpContext(this, help::kListEditor);
    SetActualFileName(fileName);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);

    auto* tools = new QToolBar;
    tools->setObjectName(QStringLiteral("EditToolBar"));
    FToolBar = tools;
    auto tool = [&](const char* name, const char* hint) {
        auto* b = new QToolButton;
        b->setObjectName(QLatin1String(name));
        b->setIcon(ProgramIcon(QLatin1String(name)));
        SetDeHint(b, hint);
        tools->addWidget(b);
        return b;
    };
    QToolButton* mode = tool("tbRowMode", "variable Spaltenbreite");
    auto* modeMenu = new QMenu(mode);
    QAction* fixed = modeMenu->addAction(QString());
    SetDe(fixed, "Spaltenbreite fixieren");
    connect(fixed, &QAction::triggered, this, [this] { SetFixedWidths(true); });
    QAction* variable = modeMenu->addAction(QString());
    SetDe(variable, "Spaltenbreite variabel");
    connect(variable, &QAction::triggered, this, [this] { SetFixedWidths(false); });
    mode->setMenu(modeMenu);
    mode->setPopupMode(QToolButton::MenuButtonPopup);
    connect(mode, &QToolButton::clicked, this, [this] { SetFixedWidths(!FFixed); });
    tools->addSeparator();
    connect(tool("tbRowInsert", "Eine Zeile vor der aktuellen Zeile einfügen"),
            &QToolButton::clicked, this, [this] { InsertRow(); });
    connect(tool("tbRowDelete", "Die markierte Zeile löschen"), &QToolButton::clicked, this,
            [this] { DeleteRow(); });
    connect(tool("tbRowAppend", "Eine Zeile am Ende anfügen"), &QToolButton::clicked, this,
            [this] { AppendRow(); });
    // the manual's page of the window (the list editor's own)
    connect(tool("tbHelp", "Hilfe ..."), &QToolButton::clicked, this,
            [this] { TContextHelp::ShowFor(this); });
    layout->addWidget(tools);

    FModel = new TListEditModel(table, std::move(columns), FEnv, this);
    FModel->CellChanged = [this](int row, int, bool empty) {
        MarkCaption();
        if (empty) {
            ToolButton("tbRowInsert")->setEnabled(false);
            ToolButton("tbRowAppend")->setEnabled(false);
            // a row emptied back to untouched is left out of the save
            FSaveButton->setEnabled(FRows.MaySave(row) && FModel->Editable);
        } else {
            UpdateToolbar();
        }
    };
    FView = new QTableView;
    FView->setModel(FModel);
    FCellDelegate = new TCellEditorDelegate(table, FView);
    FView->setItemDelegate(FCellDelegate);
    FView->verticalHeader()->hide();
    FView->verticalHeader()->setDefaultSectionSize(19);
    FView->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    FView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FView->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    FView->setContextMenuPolicy(Qt::CustomContextMenu);
    FView->installEventFilter(this);
    FView->horizontalHeader()->viewport()->installEventFilter(this);
    connect(FView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { ShowContextMenu(p); });
    connect(FView->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this] { UpdateToolbar(); });
    connect(FView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                if (FMoving || !current.isValid()) return;
                if (current.row() == FLastRow) return;
                // the row being left decides whether the move may happen
                const int target = current.row(), col = current.column();
                QMetaObject::invokeMethod(
                    this, [this, target, col] { GoTo(target, col); }, Qt::QueuedConnection);
            });
    layout->addWidget(FView, 1);

    FSpecial = new QMenu(this);
    SetDe(FSpecial, "Sonderzeichen einfügen");
    connect(FSpecial->addAction(QStringLiteral("<LF>")), &QAction::triggered, this,
            [this] { InsertLineFeed(); });
    for (int b = 1; b <= 9; ++b)
        connect(FSpecial->addAction(QStringLiteral("0%1h").arg(b)), &QAction::triggered, this,
                [this, b] { InsertByte(static_cast<unsigned char>(b)); });
    BuildMenus(layout);

    FBottom = new QHBoxLayout;
    FBottom->addStretch();
    FActivateButton = new QPushButton;
    FActivateButton->setObjectName(QStringLiteral("btActivateListe"));
    SetDe(FActivateButton, "Aktivieren");
    FSaveButton = new QPushButton;
    FSaveButton->setObjectName(QStringLiteral("btSave"));
    SetDe(FSaveButton, "Speichern");
    connect(FSaveButton, &QPushButton::clicked, this, [this] { RunSave(false); });
    auto* close = new QPushButton;
    close->setObjectName(QStringLiteral("btClose"));
    SetDe(close, "Schließen");
    connect(close, &QPushButton::clicked, this, [this] {
        if (parentWidget() && parentWidget()->inherits("QMdiSubWindow"))
            parentWidget()->close();
        else
            this->close();
    });
    FBottom->addWidget(FActivateButton);
    FBottom->addWidget(FSaveButton);
    FBottom->addWidget(close);
    layout->addLayout(FBottom);

    // a new list starts with one row of defaults
    if (FTable.RowCount() == 0) FTable.AppendRow();
    bool blank = FTable.RowCount() == 1;
    for (int c = 0; blank && c < FTable.ColCount(); ++c)
        blank = FTable.Cell(c, 0).empty();
    if (blank) FRows.SetDefaults(0);
    FModel->Refresh();
    FView->setCurrentIndex(FModel->index(0, 0));
    SetFixedWidths(false);
    UpdateToolbar();
    setWindowTitle(DialogHeader());
}

int TfBaseEditForm::CurrentRow() const {
    return FView->currentIndex().isValid() ? FView->currentIndex().row() : FLastRow;
}

bool TfBaseEditForm::ShowsFile(const std::string& path) const {
    if (path.empty() || FActualFileName.isEmpty()) return false;
    const QString a = QFileInfo(FromFileName(path)).canonicalFilePath();
    return !a.isEmpty() && a == QFileInfo(FActualFileName).canonicalFilePath();
}

void TfBaseEditForm::SetFileCaption(const QString& head, const QString& untitled) {
    QString title = untitled;
    if (!FActualFileName.isEmpty()) {
        // the path shortened to fit, its middle folders left out
        const QFontMetrics fm(font());
        const int room = std::max(80, width() - fm.horizontalAdvance(head) - 60);
        title =
            head + fm.elidedText(QDir::toNativeSeparators(FActualFileName), Qt::ElideMiddle, room);
    }
    if (FTable.Modified) title += QLatin1Char('*');
    SetCaption(title);
}

QString TfBaseEditForm::DialogHeader() const {
    if (FActualFileName.isEmpty() && FUntitledDe) return Tr(FUntitledDe);
    return FDialogHeader;
}

void TfBaseEditForm::SetUntitledHeader(const char* german) {
    FUntitledDe = german;
    FDialogHeader = Tr(german);
}

void TfBaseEditForm::SetActualFileName(const QString& file) {
    if (!file.isEmpty() && QFileInfo::exists(file)) {
        FActualFileName = file;
        FDialogHeader = QFileInfo(file).fileName();
    } else {
        FActualFileName.clear();
    }
}

QToolButton* TfBaseEditForm::ToolButton(const char* name) const {
    return findChild<QToolButton*>(QLatin1String(name));
}

void TfBaseEditForm::UpdateToolbar() {
    const int row = std::min(CurrentRow(), FTable.RowCount() - 1);
    const bool complete = row >= 0 && FRows.IsComplete(row);
    const bool editable = FModel->Editable;
    ToolButton("tbRowInsert")->setEnabled(complete && editable);
    ToolButton("tbRowAppend")->setEnabled(complete && editable);
    // an appended row that is still untouched keeps the list savable: the
    // save leaves it out
    FSaveButton->setEnabled(FRows.MaySave(row) && editable);
    ToolButton("tbRowDelete")->setEnabled(FTable.RowCount() > 1 && editable);
}

void TfBaseEditForm::MarkCaption() {
    if (!FTable.Modified) return;
    QString t = windowTitle();
    if (!t.endsWith(QLatin1Char('*'))) setWindowTitle(t + QLatin1Char('*'));
}

void TfBaseEditForm::ShowIncomplete() {
    QMessageBox::critical(this, DialogHeader(), TrLines(ListEditorTexts::kRowIncomplete));
}

bool TfBaseEditForm::GoTo(int row, int col) {
    if (FMoving) return false;
    FMoving = true;
    const int current = FLastRow;
    int target = std::clamp(row, 0, std::max(0, FTable.RowCount() - 1));
    const int before = FTable.RowCount();
    bool ok = true;
    if (FRows.MoveTo(current, target) == TListEditorRows::TMove::Refused) {
        ShowIncomplete();
        target = current;
        ok = false;
    }
    if (FTable.RowCount() != before) FModel->Refresh();
    FModel->dataChanged(
        FModel->index(std::min(current, FTable.RowCount() - 1), 0),
        FModel->index(std::min(current, FTable.RowCount() - 1), FTable.ColCount() - 1));
    FLastRow = target;
    FView->setCurrentIndex(FModel->index(target, std::clamp(col, 0, FTable.ColCount() - 1)));
    FMoving = false;
    UpdateToolbar();
    return ok;
}

bool TfBaseEditForm::AppendRow() {
    QToolTip::hideText();
    if (!FModel->Editable) return false;
    FView->setFocus();
    int newRow = -1;
    switch (FRows.Append(CurrentRow(), newRow)) {
    case TListEditorRows::TAppend::UntouchedLast:
        QApplication::beep();
        return false;
    case TListEditorRows::TAppend::Incomplete:
        ShowIncomplete();
        return false;
    case TListEditorRows::TAppend::Appended:
        break;
    }
    FModel->Refresh();
    FMoving = true;
    FLastRow = newRow;
    FView->setCurrentIndex(FModel->index(newRow, 0));
    FMoving = false;
    FView->scrollToBottom();
    MarkCaption();
    UpdateToolbar();
    return true;
}

void TfBaseEditForm::InsertRow() {
    QToolTip::hideText();
    if (!FModel->Editable) return;
    FView->setFocus();
    const int row = CurrentRow();
    FRows.Insert(row);
    FModel->Refresh();
    FMoving = true;
    FLastRow = row;
    FView->setCurrentIndex(FModel->index(row, 0));
    FMoving = false;
    MarkCaption();
    UpdateToolbar();
}

void TfBaseEditForm::DeleteRow() {
    QToolTip::hideText();
    const int row = FModel->Editable ? CurrentRow() : 0;
    FRows.Delete(row);
    FModel->Refresh();
    FMoving = true;
    FLastRow = std::min(row, FTable.RowCount() - 1);
    FView->setCurrentIndex(FModel->index(FLastRow, 0));
    FView->scrollTo(FView->currentIndex());
    FMoving = false;
    MarkCaption();
    UpdateToolbar();
}

void TfBaseEditForm::DeleteKey() {
    const QModelIndex i = FView->currentIndex();
    if (!i.isValid() || !FModel->Editable) return;
    FRows.DeleteKey(i.row(), i.column());
    FModel->dataChanged(i, i);
    MarkCaption();
    UpdateToolbar();
}

void TfBaseEditForm::EditAtCaret(const TCaretEdit& edit, bool cleanUp) {
    if (auto* e = FView->findChild<QPlainTextEdit*>(QStringLiteral("CellEditor"));
        e && e->isVisible()) {
        // in the open cell editor, at its caret or over its selection
        QTextCursor c = e->textCursor();
        int caret = c.selectionStart();
        const std::string text =
            edit(ToCp1252(e->toPlainText()), caret, c.selectionEnd() - c.selectionStart());
        e->setPlainText(FromCp1252(text));
        c = e->textCursor();
        c.setPosition(caret);
        e->setTextCursor(c);
        return;
    }
    // else at the end of the current cell, as if its editor had been used
    const QModelIndex i = FView->currentIndex();
    if (!i.isValid() || !FModel->Editable) return;
    const std::string cell(FTable.Cell(i.column(), i.row()));
    int caret = static_cast<int>(cell.size());
    std::string text = edit(cell, caret, 0);
    if (cleanUp) text = TListEditorRows::OnEditorLeave(text, FTable.Style(i.column()));
    FModel->setData(i, FromCp1252(text), Qt::EditRole);
}

void TfBaseEditForm::InsertLineFeed() {
    EditAtCaret(&TListEditorRows::InsertLineFeed, true);
}

void TfBaseEditForm::InsertByte(unsigned char byte) {
    EditAtCaret(
        [byte](const std::string& text, int& caret, int selection) {
            return TListEditorRows::InsertByte(text, caret, selection, byte);
        },
        false);
}

void TfBaseEditForm::SelectAllRows(bool all) {
    std::vector<int> rows;
    for (const QModelIndex& i : FView->selectionModel()->selectedIndexes())
        if (std::find(rows.begin(), rows.end(), i.row()) == rows.end()) rows.push_back(i.row());
    FRows.SetFirstColumn(rows, all);
    if (rows.size() > 1) {
        FModel->dataChanged(FModel->index(0, 0), FModel->index(FTable.RowCount() - 1, 0));
        MarkCaption();
    }
}

void TfBaseEditForm::ShowContextMenu(const QPoint& at) {
    const QModelIndex i = FView->indexAt(at);
    QMenu menu;
    std::vector<int> rows;
    for (const QModelIndex& s : FView->selectionModel()->selectedIndexes())
        if (std::find(rows.begin(), rows.end(), s.row()) == rows.end()) rows.push_back(s.row());
    if (i.isValid() && i.column() == 0 && rows.size() > 1 &&
        FView->selectionModel()->isSelected(i)) {
        connect(menu.addAction(Tr("Alle auswählen")), &QAction::triggered, this,
                [this] { SelectAllRows(true); });
        connect(menu.addAction(Tr("Keines auswählen")), &QAction::triggered, this,
                [this] { SelectAllRows(false); });
    } else {
        menu.addActions(FSpecial->actions());
    }
    menu.exec(FView->viewport()->mapToGlobal(at));
}

void TfBaseEditForm::SetFixedWidths(bool fixed) {
    FFixed = fixed;
    QHeaderView* h = FView->horizontalHeader();
    QToolButton* mode = ToolButton("tbRowMode");
    if (fixed) {
        h->setSectionResizeMode(QHeaderView::Interactive);
        FView->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        mode->setToolTip(Tr("feste Spaltenbreite"));
        mode->setIcon(ProgramIcon(QStringLiteral("tbFixedWidths")));
    } else {
        h->setSectionResizeMode(QHeaderView::Stretch);
        FView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        mode->setToolTip(Tr("variable Spaltenbreite"));
        mode->setIcon(ProgramIcon(QStringLiteral("tbVariableWidths")));
    }
}

bool TfBaseEditForm::MayClose() {
    switch (FRows.CloseQuestion(std::min(CurrentRow(), FTable.RowCount() - 1))) {
    case TListEditorRows::TCloseQuestion::None:
        return true;
    case TListEditorRows::TCloseQuestion::Save: {
        const auto answer =
            QMessageBox::question(this, DialogHeader(), TrLines(ListEditorTexts::kSaveQuestion),
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel) return false;
        if (answer == QMessageBox::Yes) return SaveList();
        return true;
    }
    case TListEditorRows::TCloseQuestion::Incomplete:
        return QMessageBox::warning(this, DialogHeader(), TrLines(ListEditorTexts::kCloseIncomplete),
                                    QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }
    return true;
}

void TfBaseEditForm::BuildMenus(QVBoxLayout* layout) {
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("EditMenuBar"));
    if (const TActionTable* actions = ActionsOf(this)) {
        // the program's commands, as in the main window
        auto add = [&](QMenu* m, std::initializer_list<TAct> items) {
            for (TAct a : items) {
                if (a == TAct::Separator)
                    m->addSeparator();
                else
                    m->addAction((*actions)[a]);
            }
        };
        constexpr TAct sep = TAct::Separator;
        QMenu* file = bar->addMenu(QString());
        SetDe(file, "&Datei");
        add(file, {TAct::acAufzeichnen, TAct::acOeffnen, TAct::acSendFromProtocoll,
                   TAct::acV1ImportProtocol, sep, TAct::mmSpeichern, TAct::mmSpeichernUnter, sep,
                   TAct::actFirmwareUpdate, TAct::FilePrintSetup1, TAct::acPrintProtokoll, sep,
                   TAct::FileExit1});
        QMenu* view = bar->addMenu(QString());
        SetDe(view, "Ansicht");
        QMenu* showHide = view->addMenu(QString());
        SetDe(showHide, "Ein- und Ausblenden");
        add(showHide, {TAct::actShowAll, TAct::actHideAll, sep, TAct::actShowHideMainToolbar,
                       TAct::actShowHideModeArea, TAct::actShowHideProtocolToolbar});
    }
    bar->addMenu(FSpecial);
    layout->setMenuBar(bar);
}

bool TfBaseEditForm::CanSave() const {
    return FSaveButton->isEnabled();
}

bool TfBaseEditForm::CanSaveAs() const {
    return FRows.MaySave(std::min(CurrentRow(), FModel->rowCount() - 1));
}

bool TfBaseEditForm::RunSave(bool asked) {
    if (!(asked ? SaveListAs() : SaveList())) return false;
    UpdateTitle();
    return true;
}

bool TfBaseEditForm::Save() {
    return CanSave() && RunSave(false);
}

bool TfBaseEditForm::SaveAs() {
    return CanSaveAs() && RunSave(true);
}

void TfBaseEditForm::ShowRows(int row) {
    FModel->Refresh();
    FMoving = true;
    FLastRow = std::clamp(row, 0, std::max(0, FTable.RowCount() - 1));
    FView->setCurrentIndex(FModel->index(FLastRow, 0));
    FMoving = false;
    UpdateToolbar();
    UpdateTitle();
}

QString TfBaseEditForm::SelectionText() const {
    std::vector<int> rows;
    for (const QModelIndex& i : FView->selectionModel()->selectedIndexes())
        rows.push_back(i.row());
    if (rows.empty() && FView->currentIndex().isValid()) rows.push_back(FView->currentIndex().row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // the columns the table shows, with their titles
    std::vector<int> columns;
    QStringList titles;
    for (int c = 0; c < FTable.ColCount(); ++c)
        if (!FView->isColumnHidden(c) && FView->columnWidth(c) > 0) {
            columns.push_back(c);
            titles << FModel->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        }
    const bool convert = FEnv.ConvertIBISCharacters();
    const std::string text = FRows.CopyText(rows, columns, [convert](std::string_view cell) {
        return convert ? TelegramToDisplay(cell) : std::string(cell);
    });
    return titles.join(QLatin1Char('\t')) + QStringLiteral("\r\n") + FromCp1252(text);
}

bool TfBaseEditForm::EditCommand(TEditCommand command) {
    // the selection's text is only worked out for a copy
    if (command == TEditCommand::Copy) return TableEditCommand(command, FView, SelectionText());
    return TableEditCommand(command, FView, QString());
}

QList<QWidget*> TfBaseEditForm::ToolBars() const {
    return {FToolBar};
}

void TfBaseEditForm::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    SetFixedWidths(FFixed);
}

void TfBaseEditForm::changeEvent(QEvent* e) {
    TfChildWindow::changeEvent(e);
    if (e->type() == QEvent::LanguageChange && FModel) {
        UpdateTitle();
        // the mode button's hint (the widths stay as they are)
        ToolButton("tbRowMode")->setToolTip(FFixed ? Tr("feste Spaltenbreite")
                                                   : Tr("variable Spaltenbreite"));
    }
}

bool TfBaseEditForm::eventFilter(QObject* watched, QEvent* e) {
    // Shift held on the table: whole rows are selected (a Shift click then
    // takes every row from the current one to the clicked one)
    if (watched == FView && (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) &&
        static_cast<QKeyEvent*>(e)->key() == Qt::Key_Shift)
        FView->setSelectionBehavior(e->type() == QEvent::KeyPress ? QAbstractItemView::SelectRows
                                                                  : QAbstractItemView::SelectItems);
    // keys reach the table only while no cell editor is open
    if (watched == FView && e->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Delete) {
            DeleteKey();
            return true;
        }
        // typing on a cell replaces its text, as in every table; the
        // editor opens while the view handles this very key
        if (!k->text().isEmpty() && k->text().at(0).isPrint() &&
            !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            FCellDelegate->ReplaceOnNextOpen(true);
            QTimer::singleShot(0, this, [this] { FCellDelegate->ReplaceOnNextOpen(false); });
        }
        // the table's own append: Down on the last row (after the key: the
        // append may have to say why not)
        if (k->key() == Qt::Key_Down && CurrentRow() == FTable.RowCount() - 1) {
            QMetaObject::invokeMethod(this, [this] { AppendRow(); }, Qt::QueuedConnection);
            return true;
        }
    }
    if (watched == FView && e->type() == QEvent::FocusOut) QToolTip::hideText();
    // dragging a column border while the widths follow the window: say why
    // nothing moves, once per drag
    if (watched == FView->horizontalHeader()->viewport()) {
        if (e->type() == QEvent::MouseButtonRelease) FWidthHintShown = false;
        if (e->type() == QEvent::MouseMove && !FFixed && !FWidthHintShown &&
            (static_cast<QMouseEvent*>(e)->buttons() & Qt::LeftButton) && !isMaximized() &&
            !QToolTip::isVisible()) {
            FWidthHintShown = true;
            QToolButton* mode = ToolButton("tbRowMode");
            QToolTip::showText(mode->mapToGlobal(mode->rect().bottomRight()),
                               QStringLiteral("<b>") + Tr("Tipp") + QStringLiteral("</b><br>") +
                                   Tr("Wenn Sie die Spaltenbreite verändern wollen, dann müssen") +
                                   QStringLiteral("<br>") +
                                   Tr("Sie zunächst die dynamische Spaltenanpassung deaktivieren."),
                               mode, {}, 5000);
        }
    }
    return QWidget::eventFilter(watched, e);
}

QString CutListText(const QString& file) {
    return Tr("Die Datei endet mitten in einer Zeile (ein Anführungszeichen wird nie "
              "geschlossen) und wurde nicht geöffnet:") +
           QLatin1Char('\n') + QDir::toNativeSeparators(file);
}

} // namespace vaskel
