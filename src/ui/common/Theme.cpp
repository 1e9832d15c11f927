#include "ui/common/Theme.h"

#include <QVariant>
#include <QWidget>

namespace vaskel {

TZK_Pattern& G_ZK_Pattern() {
    static TZK_Pattern pattern;
    return pattern;
}

void TZK_Pattern::Apply(QWidget* w, TZK_PatternStyle style) const {
    w->setProperty("zkPattern", static_cast<int>(style));
    if (UseWindowsDefaults) {
        // the desktop's colours; only errors stand out
        w->setStyleSheet(style == TZK_PatternStyle::psError ? QStringLiteral("color: #b00000")
                                                            : QString());
        return;
    }
    const char* css = "";
    switch (style) {
    case TZK_PatternStyle::psEnabled:
        css = "background: #f4f7fb; color: #102040";
        break;
    case TZK_PatternStyle::psDisabled:
        css = "background: #d8d8d8; color: #707070";
        break;
    case TZK_PatternStyle::psInformation:
        css = "background: #dbe8f8; color: #102040";
        break;
    case TZK_PatternStyle::psError:
        css = "background: #f8d8d0; color: #a00000";
        break;
    case TZK_PatternStyle::psOk:
        css = "background: #cdeccd; color: #104010";
        break;
    case TZK_PatternStyle::psActive:
        css = "background: #fff2b0; color: #403000";
        break;
    }
    w->setStyleSheet(QString::fromLatin1(css));
}

} // namespace vaskel
