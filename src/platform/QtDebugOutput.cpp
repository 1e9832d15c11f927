#include "platform/QtDebugOutput.h"

#include "platform/QtText.h"

namespace vaskel {

namespace {
#ifdef Q_OS_WIN
Q_LOGGING_CATEGORY(lcLink, "vaskel.link")
#else
Q_LOGGING_CATEGORY(lcLink, "vaskel.link", QtInfoMsg)
#endif
} // namespace

void DebugOutput(std::string_view line) {
    qCDebug(lcLink).noquote() << FromCp1252(line);
}

const QLoggingCategory& DebugOutputCategory() {
    return lcLink();
}

} // namespace vaskel
