#pragma once
// Suit signs as the Unicode ♠ ♥ ♦ ♣, hearts and diamonds in red.
#include <QColor>
#include <QString>

class QLabel;
class QWidget;

namespace zelv {

// Suit index 0 spades, 1 hearts, 2 diamonds, 3 clubs.
QString SuitSign(int suit);
QColor SuitColor(int suit);
// Rich text showing the sign in its colour.
QString SuitSignHtml(int suit);
// A label showing the suit's sign in its colour, in a font that has it.
QLabel* MakeSuitLabel(int suit, QWidget* parent, int pointSize = 0);

} // namespace zelv
