#pragma once
// Labels and group boxes that keep their German text and show it in the
// active language (again after a language switch).

class QGroupBox;
class QLabel;

namespace vaskel {

QLabel* NewLabel(const char* german);
QGroupBox* NewGroup(const char* german);

} // namespace vaskel
