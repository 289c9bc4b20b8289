#include "analysis/PbnAnalysis.h"

#include "analysis/AnalysisText.h"
#include "analysis/DoubleDummy.h"

namespace zelv {

std::size_t tPbnAnalysis::BatchSize() const { return MaxDdsBatch; }

bool tPbnAnalysis::TagsFor(const std::vector<Board>& boards, std::vector<std::string>& tags, std::string* error) {
    const std::vector<std::optional<Board>> given(boards.begin(), boards.end());
    const AnalysisReport report = AnalyseBoards(given, name_);
    if (!report.Problems.empty()) {
        if (error) *error = report.Problems.front();
        return false;
    }
    tags.clear();
    for (const auto& result : report.Results) tags.push_back(PbnAnalysisTags(*result));
    return true;
}

} // namespace zelv
