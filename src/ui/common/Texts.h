#pragma once
// The texts of the windows. Source texts are the German ones, written in the
// code; their English translations live in translations/vaskel_en.ts (one
// context, "Vaskel"), compiled into the program. Tr gives the text of the
// active language. Widgets that keep their German text (SetDe) are
// translated again when the language changes at run time (Retranslate).
// A new German text needs a message in the .ts file, added by hand (Qt
// Linguist edits translations); the translation test lists the texts that
// have none.

#include <QString>
#include <string>

class QObject;
class QWidget;

namespace vaskel {

// 1 German, 2 English (the setting Language).
void SetUiLanguage(int language);
int UiLanguage();

// The English translation of a German text; a null string when there is none.
QString English(const QString& german);

QString Tr(const QString& german);
QString Tr(const char* germanUtf8);
// An engine text (Windows-1252, German; lines apart by CR LF) in the
// active language, its lines apart by LF.
QString TrLines(const std::string& german);

// Remembers the German text (and hint) of an action, label, group box,
// button or menu and shows it in the active language.
void SetDe(QObject* o, const char* german, const char* germanHint = nullptr);
// Remembers the German hint of a control whose text is no text (a picture,
// a symbol) and shows it in the active language.
void SetDeHint(QObject* o, const char* germanHint);
// Shows every remembered text below root in the active language.
void Retranslate(QObject* root);

} // namespace vaskel
