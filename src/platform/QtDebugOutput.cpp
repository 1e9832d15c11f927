#include "platform/QtDebugOutput.h"

#include "platform/QtText.h"

#include <QLoggingCategory>

namespace vaskel {

namespace {
Q_LOGGING_CATEGORY(lcLink, "vaskel.link")
} // namespace

void DebugOutput(std::string_view line) {
    qCDebug(lcLink).noquote() << FromCp1252(line);
}

} // namespace vaskel
