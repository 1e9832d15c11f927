#include "ui/filter/Filter.h"

#include "platform/QtText.h"
#include "shell/FilterTemplates.h"
#include "shell/IniFile.h"
#include "telegram/Errors.h"
#include "ui/common/Session.h"
#include "ui/common/TextWidgets.h"
#include "ui/common/Texts.h"
#include "ui/help/ContextHelp.h"
#include "ui/common/WindowArea.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <filesystem>

namespace vaskel {

namespace {

// The one filter window.
QPointer<TfFilter>& OpenFilter() {
    static QPointer<TfFilter> window;
    return window;
}

// Draws a list entry: its check box, then its text from the entry's left
// edge plus one pixel; a selected entry is filled orange, brighter while the
// list does not have the focus.
class TFilterEntryDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem o = option;
        initStyleOption(&o, index);
        const QWidget* w = o.widget;
        QStyle* style = w ? w->style() : QApplication::style();
        p->save();
        const bool selected = o.state & QStyle::State_Selected;
        const bool focused = w && w->hasFocus();
        if (selected)
            p->fillRect(o.rect, focused ? QColor(0xFF, 0x80, 0x00) : QColor(0xFF, 0xB7, 0x6F));
        else
            p->fillRect(o.rect, o.palette.brush(QPalette::Base));
        QStyleOptionViewItem check = o;
        check.rect = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &o, w);
        check.state &= ~QStyle::State_HasFocus;
        check.state |= o.checkState == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, p, w);
        QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &o, w);
        text.setLeft(text.left() + 1);
        const bool enabled = o.state & QStyle::State_Enabled;
        p->setPen(o.palette.color(enabled ? QPalette::Active : QPalette::Disabled,
                                  QPalette::Text));
        p->drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, o.text);
        p->restore();
    }
};

QListWidget* NewList(const char* objectName) {
    auto* list = new QListWidget;
    list->setObjectName(QLatin1String(objectName));
    list->setItemDelegate(new TFilterEntryDelegate(list));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

void FillListWidget(QListWidget* widget, const TFilterList& list) {
    widget->clear();
    for (const TFilterEntry& e : list) {
        auto* item = new QListWidgetItem(FromCp1252(e.ListText), widget);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(e.Checked ? Qt::Checked : Qt::Unchecked);
    }
}

void ShowListChecks(QListWidget* widget, const TFilterList& list) {
    for (int k = 0; k < widget->count() && k < static_cast<int>(list.size()); ++k) {
        const Qt::CheckState s = list[static_cast<std::size_t>(k)].Checked ? Qt::Checked
                                                                           : Qt::Unchecked;
        if (widget->item(k)->checkState() != s) widget->item(k)->setCheckState(s);
    }
}

QString FrameFileName(const TSession& session) {
    namespace fs = std::filesystem;
    const fs::path catalogue(session.Parser().FileName());
    return FromFileName((catalogue.parent_path() / "IBIS_Frame.CSV").string());
}

} // namespace

TfFilter::TfFilter(TSession& session, QWidget* parent) : TfChildWindow(session, parent) {
    SetHelpContext(this, help::kFilter);
    setObjectName(QStringLiteral("Filter"));
    SetCaption(Tr("Filter"));
    setMinimumSize(500, 150);
    FIniFile = TemplateFile(session);

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(6, 6, 6, 6);

    auto* top = new QHBoxLayout;
    top->addWidget(NewLabel("Vorlage:"));
    FTemplates = new QComboBox;
    FTemplates->setObjectName(QStringLiteral("cbTemplates"));
    FTemplates->setEditable(true);
    FTemplates->setInsertPolicy(QComboBox::NoInsert);
    FTemplates->setMinimumWidth(200);
    top->addWidget(FTemplates, 1);
    FSave = new QPushButton;
    FSave->setObjectName(QStringLiteral("btSaveTemplate"));
    SetDe(FSave, "Vorlage speichern");
    FDelete = new QPushButton;
    FDelete->setObjectName(QStringLiteral("btDeleteTemplate"));
    SetDe(FDelete, "Vorlage löschen");
    top->addWidget(FSave);
    top->addWidget(FDelete);
    main->addLayout(top);

    auto* lists = new QGridLayout;
    lists->addWidget(NewLabel("Gruppe"), 0, 0);
    lists->addWidget(NewLabel("Datensatz-Nr."), 0, 1);
    FGroupList = NewList("lbGroups");
    FTypeList = NewList("lbRecordTypes");
    lists->addWidget(FGroupList, 1, 0);
    lists->addWidget(FTypeList, 1, 1);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(1, 2);
    main->addLayout(lists, 1);

    auto* bottom = new QHBoxLayout;
    FNeverErrors = new QCheckBox;
    FNeverErrors->setObjectName(QStringLiteral("cbNeverFilterErrors"));
    SetDe(FNeverErrors, "Fehlerhafte Telegramme nie ausfiltern");
    bottom->addWidget(FNeverErrors);
    bottom->addStretch();
    FAll = new QPushButton;
    FAll->setObjectName(QStringLiteral("btAll"));
    SetDe(FAll, "Alle");
    FNone = new QPushButton;
    FNone->setObjectName(QStringLiteral("btNone"));
    SetDe(FNone, "Keine");
    bottom->addWidget(FAll);
    bottom->addWidget(FNone);
    main->addLayout(bottom);

    ShowHints();
    FSave->setEnabled(false);
    FDelete->setEnabled(false);
    FillTemplateNames();
    FillLists();

    connect(FGroupList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (FUpdating) return;
        SetGroupChecked(FGroupList->row(item), item->checkState() == Qt::Checked);
    });
    connect(FTypeList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (FUpdating) return;
        SetRecordTypeChecked(FTypeList->row(item), item->checkState() == Qt::Checked);
    });
    // the selection's colour follows the focus
    FFocusWatch = connect(qApp, &QApplication::focusChanged, this, [this] {
        FGroupList->viewport()->update();
        FTypeList->viewport()->update();
    });
    connect(FNeverErrors, &QCheckBox::clicked, this, [this] { ApplyChoice(); });
    connect(FAll, &QPushButton::clicked, this, [this] { CheckAll(true); });
    connect(FNone, &QPushButton::clicked, this, [this] { CheckAll(false); });
    connect(FSave, &QPushButton::clicked, this, [this] { SaveTemplate(); });
    connect(FDelete, &QPushButton::clicked, this, [this] { DeleteTemplate(); });
    // a template read may answer with a message box: not from inside the
    // combo's own key or mouse event
    connect(
        FTemplates, &QComboBox::activated, this,
        [this](int index) { SelectTemplate(FTemplates->itemText(index)); }, Qt::QueuedConnection);
    connect(FTemplates->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { TemplateTextEdited(text); });
}

TfFilter::~TfFilter() {
    // focus moves while the widgets go: the lists are no more to be drawn
    disconnect(FFocusWatch);
    // the choice stays in force; the protocol windows may now tell how to
    // switch their filter on
    Session().Env().SetFilterWindowWasOpened(true);
}

void TfFilter::ShowHints() {
    FGroupList->setToolTip(Tr("Die Kürzel beschreiben nur den ersten Buchstaben eines "
                              "Telegramms. Ein Kürzel kann damit auch mehrere Datensätze "
                              "umfassen."));
    FTypeList->setToolTip(
        Tr("Hier können Sie exakt die Datensätze auswählen, die Sie angezeigt haben wollen."));
    FSave->setToolTip(Tr("Aktuellen Filter als Vorlage speichern"));
    FDelete->setToolTip(Tr("Aktuelle Vorlage löschen"));
    FNeverErrors->setToolTip(
        Tr("Wenn diese Option aktiv ist, werden fehlerhafte Telegramme immer angezeigt."));
    FAll->setToolTip(Tr("Alle Kürzel und Datensätze aktivieren"));
    FNone->setToolTip(Tr("Alle Kürzel und Datensätze deaktivieren"));
}

std::string TfFilter::TemplateFile(TSession& session) {
    const TEnvironment& env = session.Env();
    const std::string user = env.UserDataDirectory();
    return FilterIniFileName(env.ProgramFileName(), user.empty() ? user : user + "Vaskel");
}

void TfFilter::FillTemplateNames() {
    FTemplates->clear();
    // the list's section is named by the translated word, the same in both
    // languages
    ReadIni([&] {
        const TIniFile ini(FIniFile);
        for (const std::string& name : FilterTemplateNames(ini))
            FTemplates->addItem(FromCp1252(name));
    });
    FTemplates->setCurrentIndex(-1);
    FTemplates->setEditText(QString());
}

bool TfFilter::ReadIni(const std::function<void()>& read) {
    try {
        read();
        return true;
    } catch (const EVaskelError& e) {
        QMessageBox::critical(this, Tr("Fehler"),
                              Tr("Die Vorlagen konnten nicht gelesen werden:") +
                                  QLatin1Char('\n') + FromFileName(FIniFile) + QLatin1Char('\n') +
                                  FromCp1252(e.what()));
        return false;
    }
}

void TfFilter::FillLists() {
    TEnvironment& env = Session().Env();
    FCatalogue = Session().Parser().ProfileArray();
    FBus = static_cast<int>(env.BusType());
    FTypes = BuildRecordTypeList(*FCatalogue, env.BusType());
    TFrameFile frame;
    bool frameBroken = false;
    try {
        frame = LoadFrameFile(ToFileName(FrameFileName(Session())));
        frameBroken = frame.Damaged;
    } catch (const EVaskelError&) {
        frameBroken = true;
    }
    FGroups = BuildGroupList(frame, UiLanguage());
    CheckFromChoice(FGroups, env.FilterKuerzel());
    CheckFromChoice(FTypes, env.FilterSatzArten());
    // the current entries stay where they were (a language switch)
    const int groupRow = FGroupList->currentRow();
    const int typeRow = FTypeList->currentRow();
    FUpdating = true;
    FillListWidget(FGroupList, FGroups);
    FillListWidget(FTypeList, FTypes);
    if (groupRow >= 0 && groupRow < FGroupList->count()) FGroupList->setCurrentRow(groupRow);
    if (typeRow >= 0 && typeRow < FTypeList->count()) FTypeList->setCurrentRow(typeRow);
    FNeverErrors->setChecked(env.NeverFilterErrors());
    FUpdating = false;
    if (frameBroken && !FFrameWarningPending) {
        // the lists are refilled from change and language events: the box
        // waits until the event is done, and one is enough
        FFrameWarningPending = true;
        const QString text =
            Tr("Die Datei IBIS_Frame.CSV fehlt oder ist beschädigt.") + QLatin1Char('\n') +
            Tr("Diese Datei ist nicht zwingend für den Betrieb des Programms nötig.") +
            QLatin1Char('\n') + Tr("Es werden jedoch einige Funktionen nicht verfügbar sein.") +
            QLatin1Char('\n') + Tr("Stellen Sie IBIS_Frame.CSV von Ihrer Original-CD wieder her.");
        QMetaObject::invokeMethod(
            this,
            [this, text] {
                QMessageBox::warning(this, Tr("Fehler"), text);
                FFrameWarningPending = false;
            },
            Qt::QueuedConnection);
    }
}

void TfFilter::RefreshFromState() {
    if (Session().Parser().ProfileArray() != FCatalogue ||
        static_cast<int>(Session().Env().BusType()) != FBus)
        FillLists();
}

void TfFilter::ShowChecks() {
    FUpdating = true;
    ShowListChecks(FGroupList, FGroups);
    ShowListChecks(FTypeList, FTypes);
    FUpdating = false;
}

void TfFilter::ApplyChoice() {
    TEnvironment& env = Session().Env();
    env.SetFilterSatzArten(ChoiceString(FTypes));
    env.SetFilterKuerzel(ChoiceString(FGroups));
    env.SetNeverFilterErrors(FNeverErrors->isChecked());
    Session().NotifyFilterChanged();
}

void TfFilter::SetGroupChecked(int index, bool checked) {
    if (index < 0 || index >= static_cast<int>(FGroups.size())) return;
    vaskel::SetGroupChecked(FGroups, FTypes, index, checked);
    ShowChecks();
    ApplyChoice();
}

void TfFilter::SetRecordTypeChecked(int index, bool checked) {
    if (index < 0 || index >= static_cast<int>(FTypes.size())) return;
    FTypes[static_cast<std::size_t>(index)].Checked = checked;
    RecomputeGroupChecks(FGroups, FTypes);
    ShowChecks();
    ApplyChoice();
}

void TfFilter::CheckAll(bool checked) {
    for (TFilterEntry& e : FGroups)
        e.Checked = checked;
    for (TFilterEntry& e : FTypes)
        e.Checked = checked;
    ShowChecks();
    ApplyChoice();
}

void TfFilter::TemplateTextEdited(const QString& text) {
    QLineEdit* edit = FTemplates->lineEdit();
    qsizetype blanks = 0;
    while (blanks < text.size() && text[blanks] == QLatin1Char(' '))
        ++blanks;
    if (blanks > 0) {
        const int caret = edit->cursorPosition();
        edit->setText(text.mid(blanks));
        edit->setCursorPosition(std::max(0, caret - static_cast<int>(blanks)));
    }
    FSave->setEnabled(!edit->text().trimmed().isEmpty());
    FDelete->setEnabled(false);
}

void TfFilter::SelectTemplate(const QString& name) {
    if (FTemplates->currentText() != name) FTemplates->setEditText(name);
    FGroupList->setEnabled(false);
    FTypeList->setEnabled(false);
    bool neverErrors = FNeverErrors->isChecked();
    ReadIni([&] {
        const TIniFile ini(FIniFile);
        ApplyFilterTemplate(ini, ToCp1252(name), FGroups, FTypes, neverErrors);
        // the last entry the template checked becomes the current one
        const std::vector<std::string> keys = ini.SectionKeys(ToCp1252(name));
        for (const std::string& key : keys) {
            for (std::size_t k = 0; k < FGroups.size(); ++k)
                if (FGroups[k].Rec.Text == key) FGroupList->setCurrentRow(static_cast<int>(k));
            for (std::size_t k = 0; k < FTypes.size(); ++k)
                if (FTypes[k].Rec.Key == key) FTypeList->setCurrentRow(static_cast<int>(k));
        }
    });
    FNeverErrors->setChecked(neverErrors);
    ShowChecks();
    FGroupList->setEnabled(true);
    FTypeList->setEnabled(true);
    FSave->setEnabled(true);
    FDelete->setEnabled(true);
    ApplyChoice();
}

bool TfFilter::WriteIni(const std::function<void()>& change) {
    try {
        change();
        return true;
    } catch (const EVaskelError& e) {
        QMessageBox::critical(this, Tr("Fehler"),
                              Tr("Die Vorlagen konnten nicht gespeichert werden:") +
                                  QLatin1Char('\n') + FromFileName(FIniFile) + QLatin1Char('\n') +
                                  FromCp1252(e.what()));
        return false;
    }
}

void TfFilter::SaveTemplate() {
    const QString name = FTemplates->currentText().trimmed();
    if (name.isEmpty()) return;
    const std::string key = ToCp1252(name);
    // the list of templates has a section of its own; a name with brackets
    // or "=" could not be read back from the file
    if (IsReservedTemplateName(key)) {
        QMessageBox::warning(this, Tr("Datensatzfilter speichern"),
                             Tr("Der Name \"%1\" ist für die Liste der Vorlagen reserviert. "
                                "Bitte wählen Sie einen anderen Namen.")
                                 .arg(name));
        return;
    }
    if (name.contains(QLatin1Char('[')) || name.contains(QLatin1Char(']')) ||
        name.contains(QLatin1Char('='))) {
        QMessageBox::warning(this, Tr("Datensatzfilter speichern"),
                             Tr("Der Name einer Vorlage darf die Zeichen [ ] = nicht enthalten."));
        return;
    }
    const bool written = WriteIni([&] {
        TIniFile ini(FIniFile);
        SaveFilterTemplate(ini, key, FGroups, FTypes, FNeverErrors->isChecked());
        ini.UpdateFile();
    });
    if (!written) return;
    if (FTemplates->findText(name, Qt::MatchFixedString) < 0) FTemplates->addItem(name);
    FTemplates->setEditText(name);
    FDelete->setEnabled(true);
    QMessageBox::information(
        this, Tr("Datensatzfilter speichern"),
        Tr("Die aktuellen Einstellungen wurden als Filter \"%1\" gespeichert.").arg(name));
}

void TfFilter::DeleteTemplate() {
    const QString name = FTemplates->currentText().trimmed();
    if (name.isEmpty()) return;
    if (QMessageBox::question(this, Tr("Datensatzfilter löschen?"),
                              Tr("Möchten Sie den Filter \"%1\" wirklich löschen?").arg(name),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    const bool written = WriteIni([&] {
        TIniFile ini(FIniFile);
        DeleteFilterTemplate(ini, ToCp1252(name));
        ini.UpdateFile();
    });
    if (!written) return;
    const int at = FTemplates->findText(name, Qt::MatchFixedString);
    if (at >= 0) FTemplates->removeItem(at);
    FTemplates->setCurrentIndex(-1);
    FTemplates->setEditText(QString());
    FSave->setEnabled(false);
    FDelete->setEnabled(false);
}

void TfFilter::changeEvent(QEvent* e) {
    TfChildWindow::changeEvent(e);
    if (e->type() == QEvent::LanguageChange && FGroupList) {
        SetCaption(Tr("Filter"));
        Retranslate(this);
        ShowHints();
        FillLists();
    }
}

void TfFilter::showEvent(QShowEvent* e) {
    TfChildWindow::showEvent(e);
    if (!FFirstShow) return;
    FFirstShow = false;
    if (FGroupList->count() > 0) {
        FGroupList->setCurrentRow(0);
        FGroupList->setFocus();
    }
}

TfFilter* ShowFilterWindow(TSession& session, TWindowArea* area) {
    QPointer<TfFilter>& open = OpenFilter();
    if (TfFilter* w = open) {
        auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
        if (sub && sub->mdiArea()) {
            if (sub->isMinimized()) sub->showNormal();
            sub->mdiArea()->setActiveSubWindow(sub);
        }
        w->activateWindow();
        w->raise();
        return w;
    }
    auto* w = new TfFilter(session);
    open = w;
    if (area) {
        area->AddWindow(w);
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) {
            sub->resize(std::min(area->viewport()->width(), 760),
                        std::min(area->viewport()->height(), 480));
            // the cascade placed it lower down: the whole window, its bottom
            // row included, stays inside the area
            area->KeepAllInside();
        }
    } else {
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
    }
    return w;
}

} // namespace vaskel
