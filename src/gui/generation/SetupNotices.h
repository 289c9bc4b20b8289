#pragma once
// What the generation dialog says under its odds before Deal is pressed:
// a seat that takes any hand because no definition is chosen for it, and a
// machine file that cannot number the set and is left out.
#include "core/setup/GeneratorFile.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace zelv {

// "North takes any hand: no definition is chosen", seats clockwise.
QStringList UnchosenSeatNotices(const GeneratorSetup& setup);
// "ZELV.DLM is not written: a .DLM file holds board numbers up to 99, and
// boards 90 to 109 go past it." for each ticked machine file of `options`
// that cannot number its set; none while a field holds no number.
QStringList MachineFileNotices(const QString& fileCode, const GeneratorOptions& options);

} // namespace zelv
