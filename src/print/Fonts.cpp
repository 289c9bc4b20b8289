#include "print/Fonts.h"

namespace zelv {

QString TextFamily() { return QStringLiteral("Liberation Sans"); }
QString SignFamily() { return QStringLiteral("DejaVu Sans"); }

QFont FormFont(int pixelSize, bool bold) {
    QFont f(TextFamily());
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QString FamilyFor(const QString& designName) {
    if (designName == QLatin1String("Symbol")) return SignFamily();
    if (designName == QLatin1String("MS Sans Serif")) return TextFamily();
    return designName;
}

} // namespace zelv
