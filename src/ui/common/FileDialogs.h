#pragma once
// The program's file dialogs: what each one asks (title, folder, proposed
// name, filters, default extension) as data first, then shown. A name typed
// without an extension gets the default one, so a protocol saved as "abc"
// is found again by the open filter and by a drop.

#include <QString>
#include <QStringList>

class QWidget;

namespace vaskel {

struct TFileDialogSpec {
    bool Save = false;
    QString Title;  // German; shown in the active language
    QString Folder; // initial folder
    QString File;   // proposed name (empty: none)
    // Alternating captions (German) and patterns, as "Protokolldatei
    // (*.PRO.CSV)" and "*.PRO.CSV"; the caption names its pattern once.
    QStringList Filters;
    QString DefaultSuffix; // without the leading dot: "PRO.CSV"
};

// The filters as the dialog shows them: each caption in the active language,
// its patterns (in upper and lower case) in parentheses once.
QStringList DialogFilters(const TFileDialogSpec& spec);
// The chosen name with the default extension when it has none of its own.
QString WithDefaultSuffix(const QString& file, const QString& suffix);

// Shows the dialog; the chosen file, or empty when cancelled.
QString AskFile(QWidget* parent, const TFileDialogSpec& spec);

// The dialogs of protocol files.
TFileDialogSpec ProtocolOpenDialog(const QString& folder);
TFileDialogSpec ProtocolSaveDialog(const QString& folder, const QString& proposedName);
// The dialogs of call lists.
TFileDialogSpec CallListOpenDialog(const QString& folder);
TFileDialogSpec CallListSaveDialog(const QString& folder, const QString& file);
// The dialogs of response lists; switch: the slave simulation switch asks
// (its filter says "Antwortdatei").
TFileDialogSpec ResponseListOpenDialog(const QString& folder, bool fromSwitch = false);
TFileDialogSpec ResponseListSaveDialog(const QString& folder, const QString& file);
// The firmware file of an upload: the last one preselected.
TFileDialogSpec FirmwareOpenDialog(const QString& folder, const QString& lastFile);

} // namespace vaskel
