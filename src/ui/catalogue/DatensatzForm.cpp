#include "ui/catalogue/DatensatzForm.h"

#include "lists/CatalogueTable.h"
#include "platform/QtText.h"
#include "telegram/CatalogueCheck.h"
#include "telegram/Errors.h"
#include "ui/common/ActionTable.h"
#include "ui/common/Icons.h"
#include "ui/common/MainWindowLink.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/dialogs/SettingsDialog.h"
#include "ui/help/ContextHelp.h"
#include "ui/common/WindowArea.h"
#include "ui/widgets/BalloonHint.h"

#include <QComboBox>
#include <QStandardItemModel>
#include <QEvent>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

namespace vaskel {

namespace C = CatalogueColumn;

namespace {

// The column titles in both languages, as the window shows them.
struct TTitle {
    const char* De;
    const char* En;
};
constexpr TTitle kTitles[] = {
    {"DS-Nr.", "Record no."}, {"Muster", "Pattern"},  {"Beispiel", "Example"}, {"Master", "Master"},
    {"Antwort", "Response"}, {"Zugbus", "Train bus"}, {"Filter", "Filter"}};

std::vector<TEditColumn> Columns(int languages) {
    std::vector<TEditColumn> c = {
        {"DS-Nr.", false, "Datensatznummer des zu sendenden bzw. zu empfangenden Datensatzes"},
        {"Muster", false, "Kodierung für diese Datensatzart"},
        {"Beispiel", false, "Ein Beispiel dieses Datensatzes"},
        {"Master", false, "Ist dieses Telegramm ein Mastertelegramm?"},
        {"Antwort", true,
         "Erwartet dieses Telegramm eine Antwort? Falls ja: Liste der erwarteten DS-Nr. (Nur bei "
         "Mastertelegrammen zulässig)"},
        {"Zugbus", false, "Ist dieses Telegramm ein Wagenbus- oder Zugbustelegramm?"},
        {"Filter", false, "Soll dieses Telegramm in das Filterfenster aufgenommen werden?"}};
    for (int k = 0; k < languages; ++k)
        c.push_back({"Beschreibung", true, nullptr});
    return c;
}

constexpr int kShownWidth = 150;
constexpr char kObjectName[] = "DatensatzForm";

} // namespace

detail::TCatalogueTableHolder::TCatalogueTableHolder(int languages)
    : FCatalogueTable(MakeCatalogueTable(languages)) {}

TfDatensatzForm::TfDatensatzForm(TSession& session, const QStringList& languages, QWidget* parent)
    : detail::TCatalogueTableHolder(static_cast<int>(std::max<qsizetype>(1, languages.size()))),
      TfBaseEditForm(session, FCatalogueTable,
                     Columns(static_cast<int>(std::max<qsizetype>(1, languages.size()))), QString(),
                     parent),
      FLanguages(languages) {
    SetHelpContext(this, help::kRecordTypes);
    setObjectName(QLatin1String(kObjectName));
    while (FLanguages.size() < FCatalogueTable.ColCount() - C::FirstDescription)
        FLanguages << QString();
    FShown.assign(static_cast<std::size_t>(FLanguages.size()), true);
    SetDialogHeader(Tr("IBIS-Datensätze"));

    // the catalogue in force; the further descriptions from its file
    std::string content;
    try {
        content = ReadCatalogueFile(CatalogueFile());
    } catch (const EVaskelError&) {
        // a catalogue from elsewhere: its first descriptions only
    }
    FillCatalogueTable(FCatalogueTable, *session.Parser().ProfileArray(), content);
    Model().Refresh();
    View()->setCurrentIndex(Model().index(0, 0));

    Model().HeaderData = [this](int section, int role) { return Header(section, role); };
    const auto baseChanged = Model().CellChanged;
    Model().CellChanged = [this, baseChanged](int row, int col, bool empty) {
        if (baseChanged) baseChanged(row, col, empty);
        CellEdited(row, col);
    };

    // the catalogue is no list to activate or print
    ActivateButton()->hide();
    if (const TActionTable* actions = ActionsOf(this))
        for (QMenu* m : findChildren<QMenu*>()) {
            m->removeAction((*actions)[TAct::acPrintProtokoll]);
            m->removeAction((*actions)[TAct::FilePrintSetup1]);
        }

    // the lock button at the end of the tool bar
    auto* bar = findChild<QToolBar*>(QStringLiteral("EditToolBar"));
    FLock = new QToolButton;
    FLock->setObjectName(QStringLiteral("tbLock"));
    bar->addSeparator();
    bar->addWidget(FLock);
    connect(FLock, &QToolButton::clicked, this, [this] { SetLocked(!FLocked); });

    // the additional language
    FLanguageLabel = new QLabel;
    SetDe(FLanguageLabel, "zusätzliche &Sprache:");
    FLanguage = new QComboBox;
    FLanguage->setObjectName(QStringLiteral("cbLanguage"));
    FLanguage->addItem(QString());
    FLanguage->addItems(languages);
    FLanguageLabel->setBuddy(FLanguage);
    BottomButtons()->insertWidget(0, FLanguageLabel);
    BottomButtons()->insertWidget(1, FLanguage);
    connect(FLanguage, &QComboBox::currentIndexChanged, this, [this] { ShowDescriptionColumns(); });

    // a title click sorts by its column (instead of selecting it)
    QHeaderView* header = View()->horizontalHeader();
    disconnect(header, &QHeaderView::sectionPressed, View(), nullptr);
    disconnect(header, &QHeaderView::sectionEntered, View(), nullptr);
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, [this](int col) { SortBy(col); });

    // the first-use hint, and again at every double click on the locked table
    connect(View(), &QAbstractItemView::doubleClicked, this, [this] {
        if (FLocked) ShowLockedHint();
    });
    connect(View()->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!FQuiet && !Session().Env().HintGiven(THint::LockedGridHintGiven)) ShowLockedHint();
    });

    ShowDescriptionColumns();
    SetLocked(true);
    UpdateTitle();
    FQuiet = false;
}

TfDatensatzForm::~TfDatensatzForm() {
    // the base's table outlives this window's part: its title and cell
    // hooks must not reach it while the widgets go
    Model().HeaderData = nullptr;
    Model().CellChanged = nullptr;
}

TfChildWindow* TfDatensatzForm::Open(TSession& session, TWindowArea& area) {
    for (TfChildWindow* w : area.Windows())
        if (w->objectName() == QLatin1String(kObjectName)) {
            area.Activate(w);
            return w;
        }
    auto* form = new TfDatensatzForm(session, Tfrm_Einstellungen::Languages(session.Env()));
    area.AddWindow(form);
    return form;
}

std::string TfDatensatzForm::CatalogueFile() const {
    const std::string& file = Session().Parser().FileName();
    return file.empty() ? Session().Env().DataDirectory() + "IBIS.CSV" : file;
}

void TfDatensatzForm::SetLocked(bool locked) {
    FLocked = locked;
    Model().Editable = !locked;
    View()->setSelectionBehavior(locked ? QAbstractItemView::SelectRows
                                        : QAbstractItemView::SelectItems);
    if (const QModelIndex i = View()->currentIndex(); i.isValid())
        View()->selectionModel()->select(
            i, QItemSelectionModel::ClearAndSelect |
                   (locked ? QItemSelectionModel::Rows : QItemSelectionModel::NoUpdate));
    FLock->setIcon(ProgramIcon(locked ? QStringLiteral("tbLocked") : QStringLiteral("tbUnlocked")));
    FLock->setToolTip(locked ? Tr("Zur Vermeidung von Fehleingaben ist die Datensatzübersicht "
                                  "gesperrt.")
                             : Tr("Die Datensätze können editiert werden."));
    UpdateToolbar();
}

void TfDatensatzForm::ShowLockedHint() {
    Session().Env().SetHintGiven(THint::LockedGridHintGiven);
    const QString text =
        QStringList{Tr("Um Fehleingaben zu vermeiden, ist die Bearbeitung der Datensätze"),
                    Tr("zunächst immer gesperrt. Sie können diese Sperre hier lösen."),
                    Tr("Sie sollten über den korrekten Aufbau von IBIS-Datensatzmustern"),
                    Tr("jedoch gut Bescheid wissen, bevor Sie Datensätze bearbeiten!"),
                    Tr("Lesen Sie zunächst das entsprechende Kapitel in der Hilfe nach.")}
            .join(QLatin1Char('\n'));
    TBalloonHint* b = TBalloonHint::Show(FLock, FLock->rect().center(),
                                         TBalloonHint::TIcon::Information, Tr("Hinweis"), text,
                                         10000);
    // the chapter it means, one click away
    if (b) b->AddLink(Tr("Kapitel \"Datensätze\" in der Hilfe öffnen (F1)"), [] {
        TContextHelp::ShowContext(help::kRecordTypes);
    });
}

void TfDatensatzForm::ShowDescriptionColumns() {
    const int count = static_cast<int>(FShown.size());
    const int active = std::clamp(UiLanguage() - 1, 0, count - 1);
    // the active language's column is always shown: it is no additional
    // language to choose
    if (auto* items = FLanguage ? qobject_cast<QStandardItemModel*>(FLanguage->model()) : nullptr) {
        for (int k = 0; k < count && k + 1 < items->rowCount(); ++k)
            items->item(k + 1)->setEnabled(k != active);
        if (FLanguage->currentIndex() == active + 1) FLanguage->setCurrentIndex(0);
    }
    const int extra = FLanguage ? FLanguage->currentIndex() - 1 : -1;
    for (int k = 0; k < count; ++k) {
        const bool shown = k == active || k == extra;
        const int col = C::FirstDescription + k;
        View()->setColumnHidden(col, !shown);
        if (shown && !FShown[k] && FixedWidths()) View()->setColumnWidth(col, kShownWidth);
        FShown[k] = shown;
    }
}

void TfDatensatzForm::CellEdited(int row, int col) {
    const int other = KeepMasterAndAnswers(FCatalogueTable, row, col);
    if (other >= 0) emit Model().dataChanged(Model().index(row, other), Model().index(row, other));
}

QVariant TfDatensatzForm::Header(int section, int role) const {
    if (role == Qt::FontRole && section == FSortColumn) {
        QFont f = font();
        f.setBold(true);
        return f;
    }
    if (role != Qt::DisplayRole) return {};
    const bool english = UiLanguage() == 2;
    if (section < C::FirstDescription) {
        const TTitle& t = kTitles[section];
        return QString::fromUtf8(english ? t.En : t.De);
    }
    const int k = section - C::FirstDescription;
    // the two built-in languages named in the interface language; a language
    // added later by its own name
    if (k == 0) return Tr("Beschreibung Deutsch");
    if (k == 1) return Tr("Beschreibung Englisch");
    const QString name = k < FLanguages.size() ? FLanguages[k] : QString();
    return (english ? QStringLiteral("Description") : QStringLiteral("Beschreibung")) +
           QLatin1Char(' ') + name;
}

void TfDatensatzForm::SortBy(int col) {
    if (col < 0 || col >= FCatalogueTable.ColCount()) return;
    const QModelIndex current = View()->currentIndex();
    const int top = std::max(0, View()->rowAt(0));
    SortCatalogueTable(FCatalogueTable, col);
    FSortColumn = col;
    FQuiet = true;
    Model().Refresh();
    // the same place in the table: the top row and the current cell
    View()->setCurrentIndex(Model().index(current.isValid() ? current.row() : 0,
                                          current.isValid() ? current.column() : 0));
    View()->scrollTo(Model().index(top, 0), QAbstractItemView::PositionAtTop);
    FQuiet = false;
    View()->horizontalHeader()->setSortIndicatorShown(true);
    View()->horizontalHeader()->setSortIndicator(col, Qt::AscendingOrder);
    emit Model().headerDataChanged(Qt::Horizontal, 0, FCatalogueTable.ColCount() - 1);
}

void TfDatensatzForm::UpdateTitle() {
    SetCaption(DialogHeader() + (FCatalogueTable.Modified ? QStringLiteral("*") : QString()));
}

bool TfDatensatzForm::AskAboutProblems(const QString& text) {
    if (AskSaveDespiteProblems) return AskSaveDespiteProblems(text);
    QMessageBox box(QMessageBox::Warning, DialogHeader(),
                    Tr("Die folgenden Datensätze bestehen die Prüfung nicht:") +
                        QStringLiteral("\n\n") + text + QStringLiteral("\n\n") +
                        Tr("Wollen Sie die Datensätze korrigieren oder trotzdem speichern?"),
                    QMessageBox::Retry | QMessageBox::Save, this);
    box.button(QMessageBox::Retry)->setText(Tr("Korrigieren"));
    box.button(QMessageBox::Save)->setText(Tr("Trotzdem speichern"));
    box.setDefaultButton(QMessageBox::Retry);
    return box.exec() == QMessageBox::Save;
}

bool TfDatensatzForm::SaveList() {
    // (the save button is off while the table is locked; the close
    // question may still save changes made before it was locked again)
    bool refresh = RemoveBlankRows(FCatalogueTable);
    refresh = EmptyAnswersOfSlaveRows(FCatalogueTable) || refresh;
    if (refresh) {
        const QModelIndex current = View()->currentIndex();
        FQuiet = true;
        Model().Refresh();
        View()->setCurrentIndex(Model().index(
            std::min(current.isValid() ? current.row() : 0, FCatalogueTable.RowCount() - 1),
            current.isValid() ? current.column() : 0));
        FQuiet = false;
    }

    // every row's pattern and example, before anything is written
    const auto problems = CheckCatalogue(CatalogueTableRows(FCatalogueTable));
    if (!problems.empty()) {
        constexpr int kListed = 15;
        QStringList lines;
        for (int k = 0; k < static_cast<int>(problems.size()) && k < kListed; ++k)
            lines << FromCp1252(CatalogueProblemText(problems[k], UiLanguage()));
        if (problems.size() > kListed)
            lines << Tr("... und %1 weitere").arg(static_cast<int>(problems.size()) - kListed);
        if (!AskAboutProblems(lines.join(QLatin1Char('\n')))) {
            // to the first row to fix
            GoTo(problems.front().Row, C::Pattern);
            View()->setFocus();
            return false;
        }
    }

    try {
        SaveCatalogueTable(FCatalogueTable, CatalogueFile());
    } catch (const EVaskelError& e) {
        QMessageBox::critical(this, DialogHeader(),
                              Tr("Die Datensätze konnten nicht gespeichert werden.") +
                                  QStringLiteral("\n") + FromCp1252(e.what()));
        return false;
    }
    FCatalogueTable.Modified = false;
    UpdateTitle();
    try {
        Session().ReloadCatalogue();
    } catch (const EVaskelError& e) {
        QMessageBox::warning(
            this, DialogHeader(),
            Tr("Die Datensätze wurden gespeichert, konnten aber nicht neu geladen werden:") +
                QStringLiteral("\n") + FromCp1252(e.what()) + QStringLiteral("\n") +
                Tr("Bis zum nächsten erfolgreichen Laden gelten die bisherigen Datensätze."));
    }
    return true;
}

void TfDatensatzForm::resizeEvent(QResizeEvent* e) {
    TfBaseEditForm::resizeEvent(e);
    // the number and the check boxes need no share of the width: the
    // texts get it
    if (!FixedWidths())
        for (int col : {C::RecordNo, C::Master, C::TrainBus, C::Filter})
            View()->horizontalHeader()->setSectionResizeMode(col, QHeaderView::ResizeToContents);
}

void TfDatensatzForm::changeEvent(QEvent* e) {
    TfBaseEditForm::changeEvent(e);
    if (e->type() != QEvent::LanguageChange || !FLock) return;
    SetDialogHeader(Tr("IBIS-Datensätze"));
    SetLocked(FLocked);
    ShowDescriptionColumns();
    UpdateTitle();
    emit Model().headerDataChanged(Qt::Horizontal, 0, FCatalogueTable.ColCount() - 1);
}

bool TfDatensatzForm::eventFilter(QObject* watched, QEvent* e) {
    const bool handled = TfBaseEditForm::eventFilter(watched, e);
    // the locked table selects whole rows, Shift or not
    if (FLocked && watched == View() &&
        View()->selectionBehavior() != QAbstractItemView::SelectRows)
        View()->setSelectionBehavior(QAbstractItemView::SelectRows);
    return handled;
}

} // namespace vaskel
