#include "gui/widgets/SuitSigns.h"

#include "print/Fonts.h"

#include <QLabel>

namespace zelv {

QString SuitSign(int suit) {
    static const char16_t signs[4] = {u'\u2660', u'\u2665', u'\u2666', u'\u2663'};
    return (suit >= 0 && suit < 4) ? QString(QChar(signs[suit])) : QString();
}

QColor SuitColor(int suit) { return (suit == 1 || suit == 2) ? QColor(Qt::red) : QColor(Qt::black); }

QString SuitSignHtml(int suit) {
    return QStringLiteral("<span style=\"color:%1\">%2</span>").arg(SuitColor(suit).name(), SuitSign(suit));
}

QLabel* MakeSuitLabel(int suit, QWidget* parent, int pointSize) {
    auto* label = new QLabel(SuitSign(suit), parent);
    QFont f = label->font();
    f.setFamilies({SignFamily(), QStringLiteral("Symbol")});
    if (pointSize > 0)
        f.setPointSize(pointSize);
    else if (f.pointSize() > 0)
        f.setPointSize(f.pointSize() + 3);
    label->setFont(f);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, SuitColor(suit));
    label->setPalette(pal);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace zelv
