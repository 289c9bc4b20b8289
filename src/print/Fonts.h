#pragma once
// The faces that stand in for the designs' fonts. The forms and printed
// pages were laid out for "MS Sans Serif"; Liberation Sans (Arial's widths)
// is the narrowest close face Debian packages, and fontconfig's own choice
// for that name, DejaVu Sans, is too wide for the layouts. The suit signs
// ("Symbol" on the old platform) come from DejaVu Sans, which has them.
#include <QFont>
#include <QString>

namespace zelv {

QString TextFamily();
QString SignFamily();
// The forms' font: 11 pixels is the designs' 8 points at 96 dots per inch.
QFont FormFont(int pixelSize = 11, bool bold = false);
// The family a layout names ("MS Sans Serif", "Symbol") as we have it.
QString FamilyFor(const QString& designName);

} // namespace zelv
