#include "ui/device/CommunicationForm.h"

#include "platform/QtFiles.h"
#include "platform/QtText.h"
#include "shell/Timers.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/device/SyncListbox.h"
#include "ui/help/ContextHelp.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace vaskel {

namespace {

const QColor kFillerColour(191, 191, 191);
const QColor kHighlightColour(214, 0, 0);

// A filler row grey; a text row white with its first bytes in dark red.
class TTrafficDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        p->save();
        const bool filler = index.data(TTrafficModel::kFillerRole).toBool();
        const bool selected = option.state & QStyle::State_Selected;
        QColor back = filler ? kFillerColour : QColor(Qt::white);
        if (selected) back = option.palette.color(QPalette::Highlight);
        p->fillRect(option.rect, back);
        if (!filler) {
            const QString text = index.data(Qt::DisplayRole).toString();
            const int red = index.data(TTrafficModel::kHighlightRole).toInt();
            QRect r = option.rect.adjusted(2, 0, 0, 0);
            p->setFont(option.font);
            const QString head = text.left(red), tail = text.mid(red);
            p->setPen(kHighlightColour);
            p->drawText(r, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, head);
            r.setLeft(r.left() + option.fontMetrics.horizontalAdvance(head));
            p->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
            p->drawText(r, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, tail);
        }
        p->restore();
    }
};

QPushButton* NewButton(const char* german) {
    auto* b = new QPushButton;
    SetDe(b, german);
    return b;
}

} // namespace

// --- the model

void TTrafficModel::Add(TTrafficSide side, std::string_view bytes, int64_t msOfDay) {
    const int at = rowCount();
    beginInsertRows({}, at, at);
    FLog.Append(side, bytes, msOfDay);
    endInsertRows();
    // the bound is kept one row at a time, so the views hear of each
    while (FLog.OverFull()) {
        beginRemoveRows({}, 0, 0);
        FLog.DropOldest();
        endRemoveRows();
    }
}

void TTrafficModel::Clear() {
    beginResetModel();
    FLog.Clear();
    FWidest[0] = FWidest[1] = 0;
    endResetModel();
}

void TTrafficModel::Widen(int column, int width) {
    FWidest[column] = std::max(FWidest[column], width);
}

int TTrafficModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(FLog.Size());
}

int TTrafficModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant TTrafficModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const auto side = index.column() == 0 ? TTrafficSide::Received : TTrafficSide::Sent;
    const auto row = static_cast<std::size_t>(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return FromCp1252(FLog.Text(side, row));
    case kFillerRole:
        return FLog.Filler(side, row);
    case kHighlightRole: {
        const TTrafficRow& r = FLog.Rows()[row];
        return static_cast<int>(HighlightLength(r.Text, r.Mode, FLog.HighlightCount()));
    }
    case Qt::SizeHintRole:
        return QSize(FWidest[index.column()] + 10, QFontMetrics(QApplication::font()).height() + 2);
    default:
        return {};
    }
}

// --- the window

TfCommunicationForm::TfCommunicationForm(TSession& session, QWidget* parent)
    : QWidget(parent, Qt::Window), FSession(session) {
    SetHelpContext(this, help::kCommunication);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("TfCommunicationForm"));
    setWindowTitle(Tr("Schnittstellenkommunikation"));
    resize(820, 460);
    FModel = new TTrafficModel(this);

    FMode = NewButton("In HEX-Darstellung umschalten");
    FMode->setObjectName(QStringLiteral("btMode"));
    FPause = NewButton("Pause");
    FPause->setObjectName(QStringLiteral("btPause"));
    FClear = NewButton("Löschen");
    FClear->setObjectName(QStringLiteral("btClear"));
    FSave = NewButton("Speichern");
    FSave->setObjectName(QStringLiteral("btSave"));
    FHighlight = new QSpinBox;
    FHighlight->setObjectName(QStringLiteral("seHighlight"));
    FHighlight->setRange(0, TTrafficLog::kMaxHighlight);
    FHighlight->setValue(FModel->Log().HighlightCount());
    auto* highlightLabel = new QLabel;
    SetDe(highlightLabel, "Rot markierte Bytes:");
    highlightLabel->setBuddy(FHighlight);

    auto* buttons = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{FMode, FPause, FClear, FSave})
        buttons->addWidget(w);
    buttons->addStretch(1);
    buttons->addWidget(highlightLabel);
    buttons->addWidget(FHighlight);

    // the two lists share a parent of their own: they keep in step
    auto* lists = new QWidget;
    auto* grid = new QGridLayout(lists);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* inLabel = new QLabel;
    SetDe(inLabel, "Gerät --> PC");
    auto* outLabel = new QLabel;
    SetDe(outLabel, "PC --> Gerät");
    FIn = new TSyncListbox(lists);
    FIn->setObjectName(QStringLiteral("lbxIn"));
    FOut = new TSyncListbox(lists);
    FOut->setObjectName(QStringLiteral("lbxOut"));
    auto* delegate = new TTrafficDelegate(this);
    int column = 0;
    for (TSyncListbox* l : {FIn, FOut}) {
        l->setModel(FModel);
        l->setModelColumn(column++);
        l->setItemDelegate(delegate);
        l->setSelectionMode(QAbstractItemView::ExtendedSelection);
        l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        l->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        l->setEditTriggers(QAbstractItemView::NoEditTriggers);
        l->setContextMenuPolicy(Qt::ActionsContextMenu);
        auto* copy = new QAction(l);
        SetDe(copy, "Kopieren");
        connect(copy, &QAction::triggered, this, [this, l] { CopyFrom(l); });
        l->addAction(copy);
    }
    grid->addWidget(inLabel, 0, 0);
    grid->addWidget(outLabel, 0, 1);
    grid->addWidget(FIn, 1, 0);
    grid->addWidget(FOut, 1, 1);

    auto* v = new QVBoxLayout(this);
    v->addLayout(buttons);
    v->addWidget(lists, 1);

    connect(FMode, &QPushButton::clicked, this, [this] {
        SetMode(FModel->Log().Mode() == TTrafficMode::Ascii ? TTrafficMode::Hex
                                                            : TTrafficMode::Ascii);
    });
    connect(FPause, &QPushButton::clicked, this, [this] { SetPaused(!FPaused); });
    connect(FClear, &QPushButton::clicked, this, [this] { FModel->Clear(); });
    connect(FSave, &QPushButton::clicked, this, [this] { SaveAsked(); });
    connect(FHighlight, &QSpinBox::valueChanged, this, [this](int n) {
        FModel->Log().SetHighlightCount(n);
        FIn->viewport()->update();
        FOut->viewport()->update();
    });

    connect(&FSession, &TSession::TrafficLogged, this,
            [this](bool toDevice, const QByteArray& bytes, qint64 ms) {
                LogTraffic(toDevice, std::string_view(bytes.constData(), bytes.size()), ms);
            });
    FSession.WatchTraffic(true);
}

TfCommunicationForm::~TfCommunicationForm() {
    FSession.WatchTraffic(false);
}

void TfCommunicationForm::SetMode(TTrafficMode mode) {
    FModel->Log().SetMode(mode);
    // the caption offers the other form
    SetDe(FMode, mode == TTrafficMode::Ascii ? "In HEX-Darstellung umschalten"
                                             : "In ASCII-Darstellung umschalten");
}

void TfCommunicationForm::SetPaused(bool paused) {
    FPaused = paused;
    SetDe(FPause, paused ? "Weiter" : "Pause");
}

void TfCommunicationForm::LogTraffic(bool toDevice, std::string_view bytes, int64_t msOfDay) {
    const TTrafficSide side = toDevice ? TTrafficSide::Sent : TTrafficSide::Received;
    FModel->Add(side, bytes, msOfDay);
    // only the new row is measured: the widest so far sets the scroll range
    const int column = toDevice ? 1 : 0;
    TSyncListbox* list = toDevice ? FOut : FIn;
    const QString text = FromCp1252(FModel->Log().Rows().back().Text);
    FModel->Widen(column, list->fontMetrics().horizontalAdvance(text) + 4);
    if (!FPaused) {
        const int last = FModel->rowCount() - 1;
        for (TSyncListbox* l : {FIn, FOut}) {
            const QModelIndex i = FModel->index(last, l->modelColumn());
            l->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
            l->scrollTo(i);
        }
    }
}

void TfCommunicationForm::CopyFrom(TSyncListbox* list) {
    QModelIndexList rows = list->selectionModel()->selectedIndexes();
    if (rows.isEmpty()) return;
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QApplication::clipboard()->setText(rows.front().data(Qt::DisplayRole).toString() +
                                       QStringLiteral("\r\n"));
}

void TfCommunicationForm::SaveAsked() {
    const TDateTime now = TSystemClock().Now();
    TFileDialogSpec spec;
    spec.Save = true;
    spec.Title = QStringLiteral("Protokoll speichern");
    spec.Folder = FromFileName(FSession.Env().DialogDirectory(TFileFolder::Protokolle));
    spec.File = FromCp1252(TTrafficLog::ProposedFileName(now));
    spec.Filters = {QStringLiteral("Textdatei"), QStringLiteral("*.txt"),
                    QStringLiteral("Alle Dateien"), QStringLiteral("*.*")};
    spec.DefaultSuffix = QStringLiteral("txt");
    const QString file = AskSaveFile ? AskSaveFile(spec) : AskFile(this, spec);
    if (file.isEmpty()) return;
    const std::string text = FModel->Log().SaveText(now);
    // "saved" only once the file is complete on the disk
    if (const QString why = SaveFileSafely(file, text); !why.isEmpty()) {
        QMessageBox::warning(this, Tr("Protokoll speichern"),
                             Tr("Die Datei konnte nicht geschrieben werden.") +
                                 QStringLiteral("\n") + why);
        return;
    }
    QMessageBox::information(this, Tr("Schnittstellenkommunikation"),
                             Tr("Die Daten wurden gespeichert!"));
}

void TfCommunicationForm::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::LanguageChange) setWindowTitle(Tr("Schnittstellenkommunikation"));
}

} // namespace vaskel
