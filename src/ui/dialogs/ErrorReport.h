#pragma once
// "Fehlerprotokoll erzeugen ...": one report block appended to STATUS.LOG in
// the data folder, and a message that names the file, with a button that
// opens its folder.

#include "shell/Environment.h"

#include <QString>

#include <functional>

class QWidget;

namespace vaskel {

// Writes the report and tells where it went (or that it could not be
// written). openFolder shows a folder in the desktop's file manager; absent:
// QDesktopServices. Returns the file written to, empty when none.
QString CreateErrorReport(TEnvironment& env, QWidget* parent,
                          const std::function<void(const QString& folder)>& openFolder = nullptr);

} // namespace vaskel
