#pragma once
// What the commands that deal say around a run: the output folder made,
// the progress line while it deals, the summary and how it ended.
#include "core/dealing/DealRun.h"

#include <string>
#include <vector>

namespace zelv::cli {

// An output folder that does not exist yet is made with its parents, as
// mkdir -p makes it, and said; one that cannot be made is left to the run,
// which names the file it could not write.
void MakeFolderSaying(const std::string& folder);

// The run itself, the one call into the core's run driver: stopped by the
// stop signals, with a progress line unless quiet or not on a terminal; a
// session's line names the part being dealt by its label.
DealRunResult RunTheDeal(const DealRunOptions& options, bool quiet, const std::vector<std::string>& partLabels = {});

// The boards, attempts and seconds of the run, and `more` lines after
// them, on standard output; false when that could not be written (which
// is said).
bool PrintSummary(const DealRunResult& result, const DealRunOptions& options,
                  const std::vector<std::string>& more = {});

// The exit status of a run that ended short of its boards, said with
// `more` lines after it; ExitDone for one that did not.
int RunEndedShort(const DealRunResult& result, const DealRunOptions& options,
                  const std::vector<std::string>& more = {});

} // namespace zelv::cli
