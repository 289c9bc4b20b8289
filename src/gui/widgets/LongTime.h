#pragma once
#include <QString>
#include <QTime>

namespace zelv {

// A time in the system's long time format, without the time zone that Qt's
// long format adds (the clock strip and the generation dialog's start and
// finish times show the time of day alone).
QString LongTime(const QTime& time = QTime::currentTime());

} // namespace zelv
