#pragma once
// The figures of a run as the generation dialog shows them beside its bar
// and on its finish line, numbers grouped as the locale groups them.
#include "core/dealing/DealRun.h"

#include <QString>

namespace zelv {

// "16 of 16 boards · 3,881 deals tried".
QString BoardsAndDealsText(std::uint64_t boards, std::int64_t requested, std::uint64_t attempts);
// What the run left in the files: "16 boards written", "no board written;
// the previous files were kept".
QString BoardsWrittenText(const DealRunResult& result);

} // namespace zelv
