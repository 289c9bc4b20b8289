#pragma once
// Large numbers as the user's locale writes them. The core words its texts
// for the command line ("3881 attempts", "1 hand in 3,210"); the windows
// show the same texts with the locale's thousands separators.
#include <QString>

namespace zelv {

// 3881 as "3,881" (or "3.881", "3 881"...). The C locale, which a test or a
// bare system runs in, groups with commas rather than not at all.
QString LocaleNumber(qulonglong value);
// `text` with each whole number of four digits or more, written plain or
// grouped with commas, grouped as the locale groups them. Decimals, times,
// board file names and folders are left as they are.
QString WithLocaleNumbers(const QString& text);

} // namespace zelv
