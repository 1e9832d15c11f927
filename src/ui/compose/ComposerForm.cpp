#include "ui/compose/ComposerForm.h"

#include "platform/QtText.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"
#include "ui/common/Texts.h"
#include "ui/compose/DisplayPreview.h"
#include "ui/compose/RecordChoiceDialog.h"
#include "ui/help/ContextHelp.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace vaskel {

namespace {

QPointer<TfComposerForm> gCurrent;

// How the table shows a line feed.
constexpr char16_t kLfMark = u'\u21B5';

const char* SyntaxText(TDisplayRecord type) {
    switch (type) {
    case TDisplayRecord::DS021:
        return "Aufbau eines DS 021: aA<Adresse><Datensatzlänge in 16-Zeichen-Blöcken>A<Taktung>"
               "<Daten>";
    case TDisplayRecord::DS003a:
        return "Aufbau eines DS 003a: zA<Datensatzlänge in 16-Zeichen-Blöcken><Daten>";
    case TDisplayRecord::DS003c:
        return "Aufbau eines DS 003c: zI<Datensatzlänge in 4-Zeichen-Blöcken><Daten>";
    case TDisplayRecord::DS004c:
        return "Aufbau eines DS 004c: eT<Datensatzlänge in 4-Zeichen-Blöcken><Daten>";
    case TDisplayRecord::DS021a:
        return "Aufbau eines DS 021a: aL<Adresse><Länge der Daten><Daten>";
    }
    return "";
}

// The text cells' editor: Ctrl+Enter puts a line feed at the caret instead
// of ending the edit; every change of its text lets the window compose
// again. (The view hands the editor's keys to its delegate first.)
class TTextCellDelegate : public QStyledItemDelegate {
public:
    TTextCellDelegate(std::function<void(QLineEdit*)> typed, QObject* parent)
        : QStyledItemDelegate(parent), FTyped(std::move(typed)) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
        w->setObjectName(QStringLiteral("CellEditor"));
        if (auto* editor = qobject_cast<QLineEdit*>(w); editor && FTyped) {
            const auto typed = FTyped;
            connect(editor, &QLineEdit::textEdited, editor, [editor, typed] { typed(editor); });
        }
        return w;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (auto* editor = qobject_cast<QLineEdit*>(watched); editor && e->type() == QEvent::KeyPress) {
            const auto* k = static_cast<QKeyEvent*>(e);
            if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) &&
                (k->modifiers() & Qt::ControlModifier)) {
                editor->insert(QString(QChar(kLfMark)));
                if (FTyped) FTyped(editor);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(watched, e);
    }

private:
    std::function<void(QLineEdit*)> FTyped;
};

} // namespace

QString ProblemMessage(TComposeProblem problem) {
    // the engine's texts (ComposeProblemText), line by line
    const QString tail = QLatin1Char('\n') + Tr("Dies ist nicht möglich.") + QLatin1Char('\n') +
                         Tr("Bitte die Eingabe entsprechend reduzieren!");
    switch (problem) {
    case TComposeProblem::None:
        break;
    case TComposeProblem::NoAddress:
        return Tr("Bitte geben Sie eine gültige Adresse ein.");
    case TComposeProblem::NoPhaseTime:
        return Tr("Bitte wählen Sie eine Taktzeit aus.");
    case TComposeProblem::Over15Blocks16:
        return Tr("Die Eingabe erfordert das Übertragen von mehr als 15 Blöcken zu je 16 Zeichen.") +
               tail;
    case TComposeProblem::Over15Blocks4:
        return Tr("Die Eingabe erfordert das Übertragen von mehr als 15 Blöcken zu je 4 Zeichen.") +
               tail;
    case TComposeProblem::TooLong:
        return Tr("Die Daten sind länger als 255 Zeichen.") + tail;
    }
    return {};
}

QString CellShown(const std::string& bytes) {
    QString s = FromCp1252(bytes);
    s.replace(QLatin1Char('\n'), QChar(kLfMark));
    return s;
}

std::string CellBytes(const QString& shown) {
    QString s = shown;
    s.replace(QChar(kLfMark), QLatin1Char('\n'));
    return ToCp1252(s);
}

TfComposerForm* TfComposerForm::Current() {
    return gCurrent.data();
}

TfComposerForm* TfComposerForm::OpenFor(QWidget* owner, const QString& openerText,
                                        THandOver handOver) {
    if (TfComposerForm* open = Current()) {
        open->raise();
        open->activateWindow();
        return open;
    }
    std::string text = ToCp1252(openerText);
    text.erase(0, std::min(text.size(), text.find_first_not_of(' ')));
    TDisplayRecord type;
    std::string initial;
    if (DisplayRecordFromPrefix(text, type)) {
        try {
            initial = DisplayToTelegram(text);
        } catch (const EConversionError&) {
            initial = text;
        }
    } else if (!TfRecordChoiceDialog::Ask(owner, type)) {
        return nullptr;
    }
    return Open(owner, QString::fromLatin1(DisplayRecordNo(type)), initial, std::move(handOver));
}

TfComposerForm* TfComposerForm::Open(QWidget* owner, const QString& typeText,
                                     const std::string& initial, THandOver handOver) {
    if (TfComposerForm* open = Current()) {
        open->raise();
        open->activateWindow();
        return open;
    }
    TDisplayRecord type;
    const bool known = typeText == QLatin1String("?")
                           ? DisplayRecordFromPrefix(initial, type)
                           : DisplayRecordFromNo(ToCp1252(typeText), type);
    if (!known) {
        QMessageBox::warning(owner, QString(), QStringLiteral("wrong type"));
        return nullptr;
    }
    auto* w = new TfComposerForm(owner, type, std::move(handOver));
    std::string t = initial;
    t.erase(0, std::min(t.size(), t.find_first_not_of(' ')));
    w->FOriginal = t;
    w->LoadInput(DecomposeDisplayRecord(type, t));
    w->show();
    w->activateWindow();
    w->FocusText();
    return w;
}

TfComposerForm::TfComposerForm(QWidget* owner, TDisplayRecord type, THandOver handOver)
    : QWidget(owner, Qt::Window), FType(type), FHandOver(std::move(handOver)) {
    SetHelpContext(this, help::kComposer);
    gCurrent = this;
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frm_DatensatzDetaileingabe"));
    setWindowTitle(
        Tr("Datensatz %1 Detaileingabe").arg(QString::fromLatin1(DisplayRecordNo(type))));
    const bool addressed = type == TDisplayRecord::DS021 || type == TDisplayRecord::DS021a;
    const bool phased = type == TDisplayRecord::DS021;

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* addressLabel = new QLabel;
    SetDe(addressLabel, "Adresse:");
    FAddress = new QComboBox;
    FAddress->setObjectName(QStringLiteral("cbAdresse"));
    for (int a = 1; a <= 15; ++a)
        FAddress->addItem(QString::number(a));
    FAddress->setCurrentIndex(0);
    FAddress->setToolTip(Tr("Geräteadresse des Zielgeräts"));
    addressLabel->setBuddy(FAddress);
    auto* phaseLabel = new QLabel;
    SetDe(phaseLabel, "Taktzeit:");
    FPhaseTime = new QComboBox;
    FPhaseTime->setObjectName(QStringLiteral("cbTaktzeit"));
    for (int i = 0; i < kPhaseTimeCount; ++i)
        FPhaseTime->addItem(FromCp1252(PhaseTimeText(i)));
    FPhaseTime->addItem(Tr("Ohne Takt"));
    FPhaseTime->setCurrentIndex(-1);
    FPhaseTime->setToolTip(
        Tr("Im Datensatz 021 legt die Taktzeit fest, in welchem Sekundenabstand Anzeigen die "
           "einzelnen Zeilen wechseln"));
    phaseLabel->setBuddy(FPhaseTime);
    FDouble = new QCheckBox;
    FDouble->setObjectName(QStringLiteral("cbDoppelterZeilenumbruch"));
    SetDe(FDouble, "Doppelter Zeilenumbruch");
    FDouble->setToolTip(
        Tr("Im DS021 werden Takte normalerweise durch \"<LF><LF>\" separiert. Sie können dies hier "
           "auf einen einfachen Zeilenumbruch umschalten."));
    FDouble->setChecked(true);
    top->addWidget(addressLabel);
    top->addWidget(FAddress);
    top->addSpacing(12);
    top->addWidget(phaseLabel);
    top->addWidget(FPhaseTime);
    top->addSpacing(12);
    top->addWidget(FDouble);
    top->addStretch(1);
    addressLabel->setVisible(addressed);
    FAddress->setVisible(addressed);
    phaseLabel->setVisible(phased);
    FPhaseTime->setVisible(phased);
    FDouble->setVisible(phased);
    layout->addLayout(top);

    // the rows' buttons
    auto* rowButtons = new QHBoxLayout;
    auto tool = [&](const char* name, const char* german, const char* hint,
                    QStyle::StandardPixmap icon) {
        auto* b = new QToolButton;
        b->setObjectName(QString::fromLatin1(name));
        SetDe(b, german);
        b->setToolTip(Tr(hint));
        b->setIcon(style()->standardIcon(icon));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        b->setVisible(type != TDisplayRecord::DS021a);
        rowButtons->addWidget(b);
        return b;
    };
    FAppend =
        tool("tbRowAppend", "Zeile anhängen",
             phased ? "Einen Takt (zwei Zeilen) am Ende anhängen" : "Eine Zeile am Ende anhängen",
             QStyle::SP_FileDialogNewFolder);
    FInsert = tool("tbRowInsert", "Zeile einfügen",
                   phased ? "Einen Takt (zwei Zeilen) vor dem aktuellen einfügen"
                          : "Eine Zeile vor der aktuellen einfügen",
                   QStyle::SP_ArrowRight);
    FDelete =
        tool("tbRowDelete", "Zeile löschen",
             phased ? "Den aktuellen Takt (beide Zeilen) löschen" : "Die aktuelle Zeile löschen",
             QStyle::SP_TrashIcon);
    rowButtons->addStretch(1);
    layout->addLayout(rowButtons); // 021a: its buttons stay hidden
    connect(FAppend, &QToolButton::clicked, this, [this] { AppendRow(); });
    connect(FInsert, &QToolButton::clicked, this, [this] { InsertRow(); });
    connect(FDelete, &QToolButton::clicked, this, [this] { DeleteRow(); });

    FTable = new QTableWidget;
    FTable->setObjectName(QStringLiteral("grid"));
    BuildTable();
    layout->addWidget(FTable, 1);

    auto* previewLabel = new QLabel;
    SetDe(previewLabel, "Telegrammvorschau:");
    layout->addWidget(previewLabel);
    FPreview = new QLineEdit;
    FPreview->setObjectName(QStringLiteral("edTelegrammvorschau"));
    FPreview->setReadOnly(true);
    FPreview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    FPreview->setToolTip(Tr(SyntaxText(type)));
    layout->addWidget(FPreview);
    // a refusal of the input, said where the telegram would be
    FProblem = new QLabel;
    FProblem->setObjectName(QStringLiteral("lblMeldung"));
    FProblem->setWordWrap(true);
    FProblem->setStyleSheet(QStringLiteral("color: #C00000; font-weight: bold;"));
    FProblem->hide();
    layout->addWidget(FProblem);

    auto* viewRow = new QHBoxLayout;
    auto* viewLabel = new QLabel;
    SetDe(viewLabel, "Fahrgastansicht:");
    FDisplayClass = new QComboBox;
    FDisplayClass->setObjectName(QStringLiteral("cbAnzeige"));
    FDisplayClass->addItem(Tr("Frontanzeige"));
    FDisplayClass->addItem(Tr("Seitenanzeige"));
    FDisplayClass->addItem(Tr("Innenanzeige"));
    FDisplayClass->setToolTip(Tr("Die Anzeige, für die die Fahrgastansicht gezeichnet wird"));
    FDisplayClass->setCurrentIndex(static_cast<int>(DefaultDisplayClass(type)));
    viewRow->addWidget(viewLabel);
    viewRow->addWidget(FDisplayClass);
    viewRow->addStretch(1);
    layout->addLayout(viewRow);
    FDisplay = new TDisplayPreview;
    FDisplay->SetDisplayClass(DefaultDisplayClass(type));
    layout->addWidget(FDisplay);
    connect(FDisplayClass, &QComboBox::currentIndexChanged, this,
            [this](int i) { FDisplay->SetDisplayClass(static_cast<TDisplayClass>(i)); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    FAccept = new QPushButton;
    FAccept->setObjectName(QStringLiteral("btUebernehmen"));
    SetDe(FAccept, "Übernehmen");
    FAccept->setToolTip(
        Tr("Das Telegramm in das Fenster übernehmen, aus dem der Editor geöffnet wurde"));
    FAccept->setDefault(true);
    auto* close = new QPushButton;
    close->setObjectName(QStringLiteral("btSchliessen"));
    SetDe(close, "Schließen");
    close->setToolTip(Tr("Dieses Fenster schließen"));
    buttons->addWidget(FAccept);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(FAccept, &QPushButton::clicked, this, [this] { Accept(); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    connect(FAddress, &QComboBox::currentIndexChanged, this, [this] { Recompose(); });
    connect(FPhaseTime, &QComboBox::currentIndexChanged, this, [this] { Recompose(); });
    // a choice made, the keyboard goes back to the text: letters typed next
    // neither search the drop-down's list nor get lost
    for (QComboBox* box : {FAddress, FPhaseTime})
        connect(box, &QComboBox::activated, this, [this] { FocusText(); });
    connect(FDouble, &QCheckBox::toggled, this, [this] { Recompose(); });
    connect(FTable, &QTableWidget::itemChanged, this, [this] {
        FEditRow = -1;
        Recompose();
    });
    resize(720, 560);
}

TfComposerForm::~TfComposerForm() {
    // a cell editor still open hands its text to the table while the
    // children go: this window's part is gone by then
    if (!FTable) return;
    FTable->disconnect(this);
    if (QAbstractItemDelegate* d = FTable->itemDelegateForColumn(TextColumn())) d->disconnect(this);
}

int TfComposerForm::TextColumn() const {
    switch (FType) {
    case TDisplayRecord::DS021:
        return 2;
    case TDisplayRecord::DS021a:
        return 0;
    default:
        return 1;
    }
}

void TfComposerForm::BuildTable() {
    QStringList titles;
    QStringList hints;
    switch (FType) {
    case TDisplayRecord::DS021:
        titles << Tr("Takt") << Tr("Zeile") << Tr("Text");
        hints << Tr("Die Taktnummer der Anzeige.") << Tr("Die Zeilennummer innerhalb eines Taktes.")
              << Tr("Der Text, der angezeigt werden soll.");
        break;
    case TDisplayRecord::DS021a:
        titles << Tr("Daten");
        hints << Tr("Die zu übertragenden Daten");
        break;
    default:
        titles << Tr("Zeile") << Tr("Text");
        hints << Tr("Die Zeilennummer innerhalb eines Taktes.")
              << Tr("Der Text, der angezeigt werden soll.");
        break;
    }
    FTable->setColumnCount(titles.size());
    for (int c = 0; c < titles.size(); ++c) {
        auto* h = new QTableWidgetItem(titles[c]);
        h->setToolTip(hints[c]);
        FTable->setHorizontalHeaderItem(c, h);
    }
    FTable->verticalHeader()->hide();
    FTable->horizontalHeader()->setStretchLastSection(true);
    for (int c = 0; c + 1 < titles.size(); ++c)
        FTable->setColumnWidth(c, 56);
    FTable->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* delegate = new TTextCellDelegate(
        [this](QLineEdit* editor) {
            // the preview follows the typing
            FEditRow = FTable->currentRow();
            FEditText = editor->text();
            Recompose();
        },
        FTable);
    FTable->setItemDelegateForColumn(TextColumn(), delegate);
    // an edit ended without a change (Escape) leaves the cell as it was
    connect(delegate, &QAbstractItemDelegate::closeEditor, this, [this] {
        if (FEditRow < 0) return;
        FEditRow = -1;
        Recompose();
    });
    FTable->setSelectionMode(QAbstractItemView::SingleSelection);
    FTable->setEditTriggers(QAbstractItemView::AllEditTriggers);
}

void TfComposerForm::Renumber() {
    const QSignalBlocker block(FTable);
    FTable->clearSpans();
    const QColor fixed = palette().color(QPalette::Button);
    auto fixedItem = [&](const QString& text) {
        auto* i = new QTableWidgetItem(text);
        i->setFlags(Qt::ItemIsEnabled);
        i->setTextAlignment(Qt::AlignCenter);
        i->setBackground(fixed);
        return i;
    };
    for (int r = 0; r < FTable->rowCount(); ++r) {
        if (!FTable->item(r, TextColumn())) FTable->setItem(r, TextColumn(), new QTableWidgetItem);
        switch (FType) {
        case TDisplayRecord::DS021:
            // the phase number once, centred over both rows of its pair
            if (r % 2 == 0) {
                FTable->setItem(r, 0, fixedItem(QString::number(r / 2 + 1)));
                FTable->setSpan(r, 0, 2, 1);
            } else {
                delete FTable->takeItem(r, 0);
            }
            FTable->setItem(r, 1, fixedItem(QString::number(r % 2 + 1)));
            break;
        case TDisplayRecord::DS021a:
            break;
        default:
            FTable->setItem(r, 0, fixedItem(QString::number(r + 1)));
            break;
        }
    }
}

void TfComposerForm::LoadInput(const TComposerInput& in) {
    FLoading = true;
    {
        const QSignalBlocker b1(FAddress), b2(FPhaseTime), b3(FDouble), b4(FTable);
        if (FType == TDisplayRecord::DS021 || FType == TDisplayRecord::DS021a)
            FAddress->setCurrentIndex(in.Address >= 1 && in.Address <= 15 ? in.Address - 1 : 1);
        if (FType == TDisplayRecord::DS021) {
            FPhaseTime->setCurrentIndex(in.PhaseTime);
            FDouble->setChecked(in.DoubleLineFeed);
        }
        std::vector<std::string> rows = in.Rows.empty() ? EmptyRows(FType) : in.Rows;
        if (FType == TDisplayRecord::DS021 && rows.size() % 2 == 1) rows.emplace_back();
        if (FType == TDisplayRecord::DS021a) rows.resize(1);
        FTable->setRowCount(static_cast<int>(rows.size()));
        for (int r = 0; r < FTable->rowCount(); ++r)
            FTable->setItem(r, TextColumn(), new QTableWidgetItem(CellShown(rows[r])));
        Renumber();
        FTable->setCurrentCell(0, TextColumn());
    }
    FLoading = false;
    // the telegram opened is shown as it is (a composition may differ in
    // its padding or line feeds) until the user changes something
    const std::string composed = Compose();
    ShowComposed(FOriginal.empty() ? composed : FOriginal);
}

void TfComposerForm::FocusText() {
    if (FTable->currentRow() < 0) FTable->setCurrentCell(0, TextColumn());
    else if (FTable->currentColumn() != TextColumn())
        FTable->setCurrentCell(FTable->currentRow(), TextColumn());
    FTable->setFocus(Qt::OtherFocusReason);
}

void TfComposerForm::SetRowText(int row, const std::string& text) {
    if (row < 0 || row >= FTable->rowCount()) return;
    if (QTableWidgetItem* i = FTable->item(row, TextColumn()))
        i->setText(CellShown(text));
    else
        FTable->setItem(row, TextColumn(), new QTableWidgetItem(CellShown(text)));
}

std::string TfComposerForm::RowText(int row) const {
    if (row == FEditRow) return CellBytes(FEditText);
    const QTableWidgetItem* i = FTable->item(row, TextColumn());
    return i ? CellBytes(i->text()) : std::string();
}

TComposerInput TfComposerForm::Input() const {
    TComposerInput in;
    in.Type = FType;
    in.Address = FAddress->currentIndex() + 1; // 0: none chosen
    in.PhaseTime = FPhaseTime->currentIndex();
    in.DoubleLineFeed = FDouble->isChecked();
    for (int r = 0; r < FTable->rowCount(); ++r)
        in.Rows.push_back(RowText(r));
    return in;
}

std::string TfComposerForm::Compose() {
    const TComposeResult r = ComposeDisplayRecord(Input());
    ShowProblem(r.Problem);
    return r.Telegram;
}

void TfComposerForm::Recompose() {
    if (FLoading) return;
    FEdited = true;
    ShowComposed(Compose());
}

// The preview shows what the receiving field will send.
void TfComposerForm::ShowComposed(const std::string& t) {
    std::string bus;
    try {
        bus = DisplayToTelegram(TelegramToDisplay(t));
    } catch (const EConversionError&) {
        bus = t;
    }
    FPreview->setText(FromCp1252(TelegramToUmlautDisplay(bus)));
    FDisplay->SetTelegram(bus);
}

// Runs inside the cell editor's and the boxes' own events: it only sets
// texts and colours, and opens nothing.
void TfComposerForm::ShowProblem(TComposeProblem problem) {
    FProblemShown = problem;
    if (problem != TComposeProblem::None) FLastMessage = ProblemMessage(problem);
    FProblem->setText(problem == TComposeProblem::None ? QString() : FLastMessage);
    FProblem->setVisible(problem != TComposeProblem::None);
    const QString marked = QStringLiteral("QComboBox { border: 2px solid #C00000; }");
    FAddress->setStyleSheet(problem == TComposeProblem::NoAddress ? marked : QString());
    FPhaseTime->setStyleSheet(problem == TComposeProblem::NoPhaseTime ? marked : QString());
}

bool TfComposerForm::Accept() {
    // an open cell editor hands its text to the table first
    if (QWidget* editor = FTable->indexWidget(FTable->currentIndex())) editor->clearFocus();
    // nothing changed: the telegram goes back as it came
    const std::string t = FEdited || FOriginal.empty() ? Compose() : FOriginal;
    if (t.empty()) {
        // asked for by a click: the box opens outside any editor's event
        QMessageBox::information(this, QString(), FLastMessage);
        if (FProblemShown == TComposeProblem::NoAddress) FAddress->setFocus();
        if (FProblemShown == TComposeProblem::NoPhaseTime) FPhaseTime->setFocus();
        return false;
    }
    if (FHandOver) FHandOver(FromCp1252(TelegramToDisplay(t)));
    FAccepted = true;
    close();
    return true;
}

void TfComposerForm::AppendRow() {
    InsertRowsAt(FTable->rowCount());
}

void TfComposerForm::InsertRow() {
    int at = std::max(0, FTable->currentRow());
    if (FType == TDisplayRecord::DS021) at = at / 2 * 2;
    InsertRowsAt(at);
}

// A 021 takes its rows in pairs (one phase); 021a keeps its single row.
void TfComposerForm::InsertRowsAt(int at) {
    if (FType == TDisplayRecord::DS021a) return;
    const int add = FType == TDisplayRecord::DS021 ? 2 : 1;
    {
        const QSignalBlocker b(FTable);
        for (int k = 0; k < add; ++k)
            FTable->insertRow(at);
        Renumber();
    }
    FTable->setCurrentCell(at, TextColumn());
    Recompose();
}

void TfComposerForm::DeleteRow() {
    if (FType == TDisplayRecord::DS021a) return;
    const bool pairs = FType == TDisplayRecord::DS021;
    int at = std::max(0, FTable->currentRow());
    const int count = pairs ? 2 : 1;
    if (pairs) at = at / 2 * 2;
    {
        const QSignalBlocker b(FTable);
        if (FTable->rowCount() <= count) {
            // the last pair (or row) is emptied instead
            for (int r = 0; r < FTable->rowCount(); ++r)
                FTable->item(r, TextColumn())->setText(QString());
        } else {
            for (int k = 0; k < count; ++k)
                FTable->removeRow(at);
        }
        Renumber();
    }
    FTable->setCurrentCell(std::min(at, FTable->rowCount() - 1), TextColumn());
    Recompose();
}

// Closing with changes not handed over asks whether they are to be.
void TfComposerForm::closeEvent(QCloseEvent* e) {
    if (QWidget* editor = FTable->indexWidget(FTable->currentIndex())) editor->clearFocus();
    if (FAccepted || !FEdited) {
        QWidget::closeEvent(e);
        return;
    }
    const auto answer = QMessageBox::question(
        this, windowTitle(),
        Tr("Das Telegramm wurde geändert und noch nicht übernommen.") + QLatin1Char('\n') +
            Tr("Wollen Sie es jetzt übernehmen?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Cancel || (answer == QMessageBox::Yes && !Accept())) {
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
}

void TfComposerForm::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(e);
}

} // namespace vaskel
