#pragma once
// A form's documented controls as one table: each row names a control by
// its objectName and gives the caption, hint and place it was designed
// with. DesignDifferences compares every row with the form and lists what
// differs; ZELV_VERIFY_DESIGN fails the test with that list.
#include <QGroupBox>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <span>

namespace zelv::test {

inline constexpr int Any = -1;

struct Designed {
    const char* Name;
    const char* Text = nullptr; // caption, group title or text; nullptr is not checked
    const char* Hint = nullptr; // tooltip; nullptr is not checked
    int X = Any, Y = Any;       // within the parent; Any is not checked
    int Width = Any, Height = Any;
};

inline QStringList DesignDifferences(const QWidget* form, std::span<const Designed> rows) {
    QStringList out;
    auto differ = [&out](const char* name, const char* what, const QString& seen, const QString& designed) {
        if (seen != designed)
            out << QStringLiteral("%1 %2: \"%3\", designed \"%4\"")
                       .arg(QLatin1String(name), QLatin1String(what), seen, designed);
    };
    for (const Designed& row : rows) {
        const auto* w = form->findChild<const QWidget*>(QString::fromLatin1(row.Name));
        if (!w) {
            out << QStringLiteral("no control %1").arg(QLatin1String(row.Name));
            continue;
        }
        if (row.Text) {
            const auto* box = qobject_cast<const QGroupBox*>(w);
            differ(row.Name, "text", box ? box->title() : w->property("text").toString(), QString::fromUtf8(row.Text));
        }
        if (row.Hint) differ(row.Name, "hint", w->toolTip(), QString::fromUtf8(row.Hint));
        const int seen[4] = {w->x(), w->y(), w->width(), w->height()};
        const int designed[4] = {row.X, row.Y, row.Width, row.Height};
        const char* const what[4] = {"x", "y", "width", "height"};
        for (int i = 0; i < 4; ++i)
            if (designed[i] != Any) differ(row.Name, what[i], QString::number(seen[i]), QString::number(designed[i]));
    }
    return out;
}

} // namespace zelv::test

#define ZELV_VERIFY_DESIGN(form, rows)                                                                                 \
    do {                                                                                                               \
        const QStringList differences = ::zelv::test::DesignDifferences(form, rows);                                   \
        QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QLatin1Char('\n'))));                              \
    } while (false)
