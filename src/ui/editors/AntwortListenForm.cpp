#include "ui/editors/AntwortListenForm.h"

#include "lists/ListFiles.h"
#include "platform/QtText.h"
#include "simulation/SlaveSimulation.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"
#include "ui/common/ActionTable.h"
#include "ui/common/FileDialogs.h"
#include "ui/common/MainWindowLink.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/common/Theme.h"
#include "ui/editors/CellEditorDelegate.h"
#include "ui/editors/RecordTypeDelegate.h"
#include "ui/help/ContextHelp.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>

namespace vaskel {

namespace {

// The reaction cell's editor keeps the time within 0 and 1000 ms while it is
// typed, with a beep and the caret at the end.
class TReactionDelegate : public TCellEditorDelegate {
public:
    TReactionDelegate(TTable& table, std::function<void()> beep, QObject* parent)
        : TCellEditorDelegate(table, parent), FBeep(std::move(beep)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        auto* e =
            static_cast<QPlainTextEdit*>(TCellEditorDelegate::createEditor(parent, option, index));
        const std::function<void()> beep = FBeep;
        connect(e, &QPlainTextEdit::textChanged, e, [e, beep] {
            bool clamped = false;
            const std::string kept = ClampedReactionTime(e->toPlainText().toStdString(), clamped);
            if (!clamped) return;
            beep();
            e->setPlainText(QString::fromStdString(kept));
            e->moveCursor(QTextCursor::End);
        });
        return e;
    }

private:
    std::function<void()> FBeep;
};

} // namespace

detail::TResponseListTable::TResponseListTable() : FResponseTable(MakeResponseListTable()) {}

TfAntwortListenForm::TfAntwortListenForm(TSession& session, const QString& file, QWidget* parent)
    : TfBaseEditForm(
          session, FResponseTable,
          {{"", false,
            "Mit diesem Feld können Sie auswählen, ob die jeweilige Zeile aktiv oder inaktiv sein "
            "soll."},
           {"Aufruf", false,
            "Geben Sie hier den Datensatz an, auf den eine Antwort gesendet werden soll."},
           {"Antwort", false,
            "Geben Sie hier die Antwort ein, die auf den Aufruf gesendet werden soll."},
           {"Reaktion [ms]", false,
            "Geben Sie an, mit welcher Verzögerung die Antwort gesendet werden soll."}},
          file, parent) {
    SetHelpContext(this, help::kResponseList);
    setObjectName(QStringLiteral("AntwortListenForm"));
    if (ActualFileName().isEmpty()) SetUntitledHeader("Neue Antwortliste");

    if (!ActualFileName().isEmpty()) {
        try {
            const TLoadResult r =
                OpenListFile(FResponseTable, ToFileName(ActualFileName()), TListKind::Antwort);
            if (!r.Loaded) {
                QMessageBox::warning(this, TrLines(kMSGFeldnamenUnterschiedlichTitel),
                                     TrLines(kMSGFeldnamenUnterschiedlich));
                FLoaded = false;
            } else if (r.LastLineIncomplete || r.BrokenRow) {
                // what stands before the cut is not the list: nothing is shown
                QMessageBox::critical(this, DialogHeader(), CutListText(ActualFileName()));
                FResponseTable.Clear();
                FLoaded = false;
            }
        } catch (const EVaskelError& e) {
            QMessageBox::critical(this, DialogHeader(), FromCp1252(e.what()));
            FLoaded = false;
        }
        if (FResponseTable.RowCount() == 0) {
            FResponseTable.AppendRow();
            Rows().SetDefaults(0);
        }
        // every row without a reaction time gets 0 ms
        for (int r = 0; r < FResponseTable.RowCount(); ++r)
            if (TrimBlanks(FResponseTable.Cell(3, r)).empty()) FResponseTable.SetCell(3, r, "0");
        FResponseTable.Modified = false;
        Model().Refresh();
        View()->setCurrentIndex(Model().index(0, 0));
    }

    // a response list is not printed: its menu has no print entries
    if (const TActionTable* actions = ActionsOf(this))
        for (QMenu* m : findChildren<QMenu*>()) {
            m->removeAction((*actions)[TAct::acPrintProtokoll]);
            m->removeAction((*actions)[TAct::FilePrintSetup1]);
        }
    View()->setItemDelegateForColumn(1, new TRecordTypeDelegate(session.Parser(), session.Env(),
                                                                true, QStringLiteral("CallEditor"),
                                                                View()));
    View()->setItemDelegateForColumn(
        2, new TRecordTypeDelegate(session.Parser(), session.Env(), false,
                                   QStringLiteral("AnswerEditor"), View()));
    View()->setItemDelegateForColumn(3, new TReactionDelegate(
                                            FResponseTable,
                                            [this] {
                                                if (Beep)
                                                    Beep();
                                                else
                                                    QApplication::beep();
                                            },
                                            View()));
    for (int c : {1, 2})
        connect(View()->itemDelegateForColumn(c), &QAbstractItemDelegate::closeEditor, this,
                [this] { UpdateToolbar(); });
    const auto baseChanged = Model().CellChanged;
    Model().CellChanged = [this, baseChanged](int row, int col, bool empty) {
        if (baseChanged) baseChanged(row, col, empty);
        CellEdited(row, col);
    };

    FPanel = new QLabel;
    FPanel->setObjectName(QStringLiteral("pnBottom"));
    FPanel->setAutoFillBackground(true);
    // a long note takes more lines where the window is narrow, never cut
    FPanel->setWordWrap(true);
    FPanel->setMinimumWidth(120);
    BottomButtons()->insertWidget(0, FPanel, 1);
    connect(ActivateButton(), &QPushButton::clicked, this, [this] { ActivateClicked(); });
    connect(&session, &TSession::ResponseListChanged, this, [this] { RefreshActivateButton(); });

    UpdateToolbar();
    UpdateTitle();
    RefreshActivateButton();
}

bool TfAntwortListenForm::IsActiveList() const {
    return ShowsFile(Session().ActiveResponseList());
}

void TfAntwortListenForm::UpdateTitle() {
    SetFileCaption(Tr("Slavesimulation - Antwortliste: "),
                   Tr("Slavesimulation - Antwortliste: Neu"));
}

void TfAntwortListenForm::resizeEvent(QResizeEvent* e) {
    TfBaseEditForm::resizeEvent(e);
    if (!FixedWidths())
        View()->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    UpdateTitle();
}

void TfAntwortListenForm::CellEdited(int row, int col) {
    if (col == 3) {
        const std::string typed(FResponseTable.Cell(3, row));
        bool beep = false;
        const std::string kept = ClampedReactionTime(typed, beep);
        if (beep) {
            if (Beep)
                Beep();
            else
                QApplication::beep();
            Model().setData(Model().index(row, 3), QString::fromStdString(kept), Qt::EditRole);
        }
    }
    RefreshActivateButton();
}

void TfAntwortListenForm::RefreshActivateButton() {
    const TDeviceStatus& st = Session().Status();
    QPushButton* b = ActivateButton();
    b->setEnabled(st.DeviceOnline() && !st.Master() && !ActualFileName().isEmpty());
    const bool active = IsActiveList();
    SetDe(b, active ? "Deaktivieren" : "Aktivieren");
    b->setIcon(style()->standardIcon(active ? QStyle::SP_MediaStop : QStyle::SP_MediaPlay));
    // the bar is coloured only when it has something to say
    const bool waiting = active && FResponseTable.Modified;
    G_ZK_Pattern().Apply(FPanel, waiting         ? TZK_PatternStyle::psError
                                 : active        ? TZK_PatternStyle::psOk
                                 : FFromProtocol ? TZK_PatternStyle::psInformation
                                                 : TZK_PatternStyle::psEnabled);
    // only the note of a list made from a protocol has a hint
    FPanel->setProperty("deHint", QVariant());
    FPanel->setToolTip(QString());
    if (waiting) {
        SetDe(FPanel,
              " ACHTUNG: Ihre Änderungen werden erst aktiv, wenn Sie die Antwortliste speichern!");
    } else if (active) {
        SetDe(FPanel, " Diese Antwortliste ist aktiv: Das Gerät antwortet nach ihren Zeilen.");
    } else if (FFromProtocol) {
        SetDe(FPanel,
              "Aus einem Protokoll erstellt: Jede Antwort wird 1 ms nach ihrem Aufruf gesendet "
              "(Spalte \"Reaktion [ms]\").",
              "Die Reaktionszeit von 1 ms gilt für jede Zeile. Ändern Sie sie in der Spalte "
              "\"Reaktion [ms]\", wo ein Gerät mehr Zeit braucht.");
    } else {
        // nothing to say (and nothing for a change of language to bring back)
        FPanel->setProperty("deText", QVariant());
        FPanel->clear();
    }
    if (FResponseTable.Modified && !windowTitle().endsWith(QLatin1Char('*'))) UpdateTitle();
}

void TfAntwortListenForm::SetMadeFromProtocol() {
    FFromProtocol = true;
    RefreshActivateButton();
}

void TfAntwortListenForm::RefreshFromState() {
    RefreshActivateButton();
}

void TfAntwortListenForm::ActivateClicked() {
    const bool own = IsActiveList();
    if (!Session().ActiveResponseList().empty() && !own &&
        QMessageBox::question(this, DialogHeader(),
                              Tr("Es ist bereits eine andere Antwortliste aktiv.") +
                                  QStringLiteral("\n") +
                                  Tr("Wollen Sie tatsächlich diese aktivieren?"),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    if (IMainWindow* main = MainWindowOf(this)) {
        if (own)
            main->SwitchSlaveSimulation(); // switches the active list off
        else
            main->ActivateResponseList(ActualFileName());
    }
    RefreshActivateButton();
}

bool TfAntwortListenForm::SaveList() {
    return SaveTo(false);
}

bool TfAntwortListenForm::SaveListAs() {
    return SaveTo(true);
}

bool TfAntwortListenForm::SaveTo(bool ask) {
    TEnvironment& env = Session().Env();
    // every empty reaction cell becomes 0 ms
    for (int r = 0; r < FResponseTable.RowCount(); ++r)
        if (TrimBlanks(FResponseTable.Cell(3, r)).empty()) FResponseTable.SetCell(3, r, "0");
    Model().dataChanged(Model().index(0, 3), Model().index(FResponseTable.RowCount() - 1, 3));
    QString file = ActualFileName();
    if (ask || file.isEmpty()) {
        const TFileDialogSpec spec =
            ResponseListSaveDialog(
                FromFileName(env.DialogDirectory(TFileFolder::Antwort)), ActualFileName());
        file = AskSaveFile ? AskSaveFile(spec) : AskFile(this, spec);
    }
    if (file.isEmpty()) return false;
    env.RememberDirectory(TFileFolder::Antwort, ExtractFilePath(ToFileName(file)));
    if (FResponseTable.RowCount() > 0) GoTo(0, 0);
    try {
        SaveListFile(FResponseTable, ToFileName(file), TListKind::Antwort);
    } catch (const EVaskelError& e) {
        QMessageBox::critical(this, DialogHeader(), FromCp1252(e.what()));
        return false;
    }
    FResponseTable.Modified = false;
    SetActualFileName(file);
    UpdateTitle();
    // saved changes of the active list reach the device at once
    if (IMainWindow* main = MainWindowOf(this); main && IsActiveList())
        main->ActivateResponseList(ActualFileName());
    FFromProtocol = false;
    RefreshActivateButton();
    return true;
}

} // namespace vaskel
