#include "ui/common/HelpContext.h"

#include <QVariant>
#include <QWidget>

namespace vaskel {

namespace {
const char* const kContextProperty = "vaskelHelpContext";
} // namespace

void SetHelpContext(QWidget* w, int context) {
    if (w) w->setProperty(kContextProperty, context);
}

int HelpContextOf(const QWidget* w) {
    for (; w; w = w->parentWidget()) {
        const QVariant v = w->property(kContextProperty);
        if (v.isValid()) return v.toInt();
    }
    return 0;
}

} // namespace vaskel
