#include "ui/common/TextWidgets.h"

#include "ui/common/Texts.h"

#include <QGroupBox>
#include <QLabel>

namespace vaskel {

QLabel* NewLabel(const char* german) {
    auto* l = new QLabel;
    SetDe(l, german);
    return l;
}

QGroupBox* NewGroup(const char* german) {
    auto* g = new QGroupBox;
    SetDe(g, german);
    return g;
}

} // namespace vaskel
