#include "gui/widgets/LongTime.h"

#include <QLocale>
#include <QRegularExpression>

namespace zelv {

QString LongTime(const QTime& time) {
    QLocale locale = QLocale::system();
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
    return locale.toString(time, format.trimmed());
}

} // namespace zelv
