#pragma once

// The program's own icons: SVG files in the Qt resource under ":/icons/",
// one per action or button, named after it.

#include <QIcon>
#include <QString>

namespace vaskel {

// The icon named `name` (an action or button name such as "acOeffnen", or
// "vaskel" for the program itself); a null icon when there is none.
QIcon ProgramIcon(const QString& name);

} // namespace vaskel
