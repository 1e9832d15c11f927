#include "ui/editors/AufrufListenForm.h"

#include "lists/ListFiles.h"
#include "platform/QtText.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"
#include "ui/common/ActionTable.h"
#include "ui/common/FileDialogs.h"
#include "ui/common/MainWindowLink.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/common/Theme.h"
#include "ui/compose/ComposerForm.h"
#include "ui/editors/RecordTypeDelegate.h"
#include "ui/help/ContextHelp.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>

namespace vaskel {

namespace {} // namespace

detail::TCallListTable::TCallListTable() : FCallTable(MakeCallListTable()) {}

TfAufrufListenForm::TfAufrufListenForm(TSession& session, const QString& file, QWidget* parent)
    : TfBaseEditForm(
          session, FCallTable,
          {{"", false,
            "Mit diesem Feld können Sie auswählen, ob die jeweilige Zeile aktiv oder inaktiv sein "
            "soll."},
           {"Aufruf", false,
            "Geben Sie hier den Datensatz an, der gesendet werden soll."},
           {"Beschreibung", true, "Beschreibung zum Datensatz (nur zur Information gedacht)"},
           {"Intervall [mm:ss]", false,
            "Geben Sie das Sendeintervall ein. Der Datensatz wird zyklisch mit diesem Intervall "
            "wiederholt."}},
          file, parent) {
    SetHelpContext(this, help::kCallList);
    setObjectName(QStringLiteral("AufrufListenForm"));
    if (ActualFileName().isEmpty()) SetUntitledHeader("Neue Aufrufliste");

    // the file: the older comma form is written back in the current form
    // at once (the old content stays as the .BAK file)
    if (!ActualFileName().isEmpty()) {
        try {
            const TLoadResult r =
                OpenListFile(FCallTable, ToFileName(ActualFileName()), TListKind::Aufruf);
            if (!r.Loaded) {
                QMessageBox::warning(this, TrLines(kMSGFeldnamenUnterschiedlichTitel),
                                     TrLines(kMSGFeldnamenUnterschiedlich));
                FLoaded = false;
            } else if (r.LastLineIncomplete || r.BrokenRow) {
                // what stands before the cut is not the list: nothing is shown
                QMessageBox::critical(this, DialogHeader(), CutListText(ActualFileName()));
                FCallTable.Clear();
                FLoaded = false;
            }
        } catch (const EVaskelError& e) {
            QMessageBox::critical(this, DialogHeader(), FromCp1252(e.what()));
            FLoaded = false;
        }
        if (FCallTable.RowCount() == 0) {
            FCallTable.AppendRow();
            Rows().SetDefaults(0);
        }
        FCallTable.Modified = false;
        Model().Refresh();
        View()->setCurrentIndex(Model().index(0, 0));
    }

    // a call list is not printed: its menu has no print entries
    if (const TActionTable* actions = ActionsOf(this))
        for (QMenu* m : findChildren<QMenu*>()) {
            m->removeAction((*actions)[TAct::acPrintProtokoll]);
            m->removeAction((*actions)[TAct::FilePrintSetup1]);
        }
    View()->setItemDelegateForColumn(1, new TRecordTypeDelegate(session.Parser(), session.Env(),
                                                                true, QStringLiteral("CallEditor"),
                                                                View()));
    connect(View()->itemDelegateForColumn(1), &QAbstractItemDelegate::closeEditor, this,
            [this] { UpdateToolbar(); });
    const auto baseChanged = Model().CellChanged;
    Model().CellChanged = [this, baseChanged](int row, int col, bool empty) {
        if (baseChanged) baseChanged(row, col, empty);
        CellEdited(row, col);
    };
    connect(View()->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { ShowDetailCaption(); });

    // the bottom panel: its note on the left, the detail button beside the
    // activate button
    FPanel = new QLabel;
    FPanel->setObjectName(QStringLiteral("pnBottom"));
    FPanel->setAutoFillBackground(true);
    // a long note takes more lines where the window is narrow, never cut
    FPanel->setWordWrap(true);
    FPanel->setMinimumWidth(120);
    BottomButtons()->insertWidget(0, FPanel, 1);
    FDetail = new QPushButton;
    FDetail->setObjectName(QStringLiteral("btnDS21_3a"));
    BottomButtons()->insertWidget(BottomButtons()->indexOf(ActivateButton()), FDetail);
    connect(FDetail, &QPushButton::clicked, this, [this] { OpenComposer(); });
    connect(ActivateButton(), &QPushButton::clicked, this, [this] { ActivateClicked(); });
    connect(&session, &TSession::CallListChanged, this, [this] { RefreshActivateButton(); });

    ShowDetailCaption();
    UpdateToolbar();
    UpdateTitle();
    RefreshActivateButton();
}

bool TfAufrufListenForm::IsActiveList() const {
    return ShowsFile(Session().ActiveCallList());
}

void TfAufrufListenForm::UpdateTitle() {
    SetFileCaption(Tr("Mastersimulation - Aufrufliste: "),
                   Tr("Mastersimulation - Aufrufliste: Neu"));
}

void TfAufrufListenForm::resizeEvent(QResizeEvent* e) {
    TfBaseEditForm::resizeEvent(e);
    // the check box column needs no share of the width
    if (!FixedWidths())
        View()->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    UpdateTitle();
}

void TfAufrufListenForm::CellEdited(int row, int col) {
    // the automatic description: the catalogue's description of the
    // request the call is
    if (col == 1 && TrimBlanks(FCallTable.Cell(2, row)).empty()) {
        const std::string description = CallDescription(
            Session().Parser(), Session().Env().BusType(), FCallTable.Cell(1, row));
        if (!description.empty())
            Model().setData(Model().index(row, 2), FromCp1252(description), Qt::EditRole);
    }
    if (col == 1) ShowDetailCaption();
    RefreshActivateButton();
}

void TfAufrufListenForm::ShowDetailCaption() {
    const int row = std::min(CurrentRow(), FCallTable.RowCount() - 1);
    const std::string call(row >= 0 ? TrimBlanks(FCallTable.Cell(1, row)) : std::string_view());
    const std::string head = call.substr(0, 2);
    // the record types that have a composer of their own
    if (head == "zA")
        SetDe(FDetail, "DS 003a ...");
    else if (head == "zI")
        SetDe(FDetail, "DS 003c ...");
    else if (head == "aA")
        SetDe(FDetail, "DS 021 ...");
    else if (head == "eT")
        SetDe(FDetail, "DS 004c ...");
    else if (head == "aL")
        SetDe(FDetail, "DS 021a ...");
    else
        SetDe(FDetail, "Detaileingabe ...");
}

void TfAufrufListenForm::OpenComposer() {
    if (FCallTable.RowCount() == 0) return;
    const int row = std::clamp(CurrentRow(), 0, FCallTable.RowCount() - 1);
    const QString call = FromCp1252(FCallTable.Cell(1, row));
    QPointer<TfAufrufListenForm> self = this;
    TfComposerForm::OpenFor(window(), call, [self](const QString& entry) {
        // the current call takes the telegram and the list is changed
        if (!self || self->FCallTable.RowCount() == 0) return;
        const int at = std::clamp(self->CurrentRow(), 0, self->FCallTable.RowCount() - 1);
        self->Model().setData(self->Model().index(at, 1), entry, Qt::EditRole);
    });
}

void TfAufrufListenForm::RefreshActivateButton() {
    const TDeviceStatus& st = Session().Status();
    QPushButton* b = ActivateButton();
    b->setEnabled(st.DeviceOnline() && st.Master() && !ActualFileName().isEmpty());
    const bool active = IsActiveList();
    SetDe(b, active ? "Deaktivieren" : "Aktivieren");
    b->setIcon(style()->standardIcon(active ? QStyle::SP_MediaStop : QStyle::SP_MediaPlay));
    // the bar is coloured only when it has something to say
    const bool waiting = active && FCallTable.Modified;
    G_ZK_Pattern().Apply(FPanel, waiting  ? TZK_PatternStyle::psError
                                 : active ? TZK_PatternStyle::psOk
                                          : TZK_PatternStyle::psEnabled);
    if (waiting) {
        SetDe(FPanel,
              " ACHTUNG: Ihre Änderungen werden erst aktiv, wenn Sie die Aufrufliste speichern!");
    } else if (active) {
        SetDe(FPanel, " Diese Aufrufliste ist aktiv: Die Mastersimulation sendet ihre Aufrufe.");
    } else {
        // nothing to say (and nothing for a change of language to bring back)
        FPanel->setProperty("deText", QVariant());
        FPanel->clear();
    }
    if (FCallTable.Modified && !windowTitle().endsWith(QLatin1Char('*'))) UpdateTitle();
}

void TfAufrufListenForm::RefreshFromState() {
    RefreshActivateButton();
}

void TfAufrufListenForm::ActivateClicked() {
    const bool own = IsActiveList();
    if (!Session().ActiveCallList().empty() && !own &&
        QMessageBox::question(this, DialogHeader(),
                              Tr("Es ist bereits eine andere Aufrufliste aktiv.") +
                                  QStringLiteral("\n") +
                                  Tr("Wollen Sie tatsächlich diese aktivieren?"),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    if (IMainWindow* main = MainWindowOf(this)) {
        if (own)
            main->SwitchMasterSimulation(); // switches the active list off
        else
            main->ActivateCallList(ActualFileName());
    }
    RefreshActivateButton();
}

bool TfAufrufListenForm::SaveList() {
    return SaveTo(false);
}

bool TfAufrufListenForm::SaveListAs() {
    return SaveTo(true);
}

bool TfAufrufListenForm::SaveTo(bool ask) {
    TEnvironment& env = Session().Env();
    QString file = ActualFileName();
    if (ask || file.isEmpty()) {
        const TFileDialogSpec spec =
            CallListSaveDialog(
                FromFileName(env.DialogDirectory(TFileFolder::Aufruf)), ActualFileName());
        file = AskSaveFile ? AskSaveFile(spec) : AskFile(this, spec);
    }
    if (file.isEmpty()) return false;
    env.RememberDirectory(TFileFolder::Aufruf, ExtractFilePath(ToFileName(file)));
    try {
        // an appended row nobody filled in yet is not part of the list
        TTable rows = Rows().RowsToSave(std::min(CurrentRow(), FCallTable.RowCount() - 1));
        SaveListFile(rows, ToFileName(file), TListKind::Aufruf);
    } catch (const EVaskelError& e) {
        QMessageBox::critical(this, DialogHeader(), FromCp1252(e.what()));
        return false;
    }
    FCallTable.Modified = false;
    SetActualFileName(file);
    UpdateTitle();
    // saved changes of the running list take effect at once
    if (IMainWindow* main = MainWindowOf(this); main && IsActiveList())
        main->ActivateCallList(ActualFileName());
    RefreshActivateButton();
    return true;
}

} // namespace vaskel
