#pragma once
// The two colour schemes of Vaskel's controls, chosen per control by its
// pattern style: the program's own (ZK) colours, or the desktop's colours.

class QWidget;

namespace vaskel {

enum class TZK_PatternStyle { psEnabled, psDisabled, psInformation, psError, psOk, psActive };

class TZK_Pattern {
public:
    bool UseWindowsDefaults = false;
    // Gives the control the look of its style in the current scheme.
    void Apply(QWidget* w, TZK_PatternStyle style) const;
};

// The one scheme object of the program.
TZK_Pattern& G_ZK_Pattern();

} // namespace vaskel
