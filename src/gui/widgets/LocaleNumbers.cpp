#include "gui/widgets/LocaleNumbers.h"

#include <QLocale>
#include <QRegularExpression>

namespace zelv {

QString LocaleNumber(qulonglong value) {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(value);
}

QString WithLocaleNumbers(const QString& text) {
    // Not part of a word, a path, a decimal or a time: "ZELV2024", "/tmp/1234",
    // "0.0312", "12:3456" stay whole.
    static const QRegularExpression number(
        QStringLiteral("(?<![\\w.,:/\\\\-])(\\d{1,3}(?:,\\d{3})+|\\d{4,})(?![\\w/\\\\]|[.,:]\\d)"));
    QString out;
    qsizetype from = 0;
    for (auto it = number.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        bool ok = false;
        const qulonglong value = m.captured(1).remove(u',').toULongLong(&ok);
        out += text.mid(from, m.capturedStart(1) - from);
        out += ok ? LocaleNumber(value) : m.captured(1);
        from = m.capturedEnd(1);
    }
    return out + text.mid(from);
}

} // namespace zelv
