#include "core/analysis/PbnAnalysis.h"

#include "core/analysis/AnalysisText.h"
#include "core/analysis/DoubleDummy.h"

namespace zelv {

std::size_t PbnAnalysis::BatchSize() const { return AnalysisBatch(); }

bool PbnAnalysis::TagsFor(const std::vector<Board>& boards, std::vector<std::string>& tags, std::string* error) {
    const std::vector<std::optional<Board>> given(boards.begin(), boards.end());
    const AnalysisReport report = AnalyseBoards(given, name_, {}, boards.size(), stop_);
    tags.clear();
    if (report.Cancelled) return true;
    if (!report.Problems.empty()) {
        if (error) *error = report.Problems.front();
        return false;
    }
    for (std::size_t i = 0; i < boards.size(); ++i) {
        const BoardAnalysis& analysis = *report.Results[i];
        tags.push_back(PbnAnalysisTags(analysis));
        if (std::string note = ParNotComputedNote(name_, boards[i].Number, analysis.Par, true); !note.empty())
            notes_.push_back(std::move(note));
    }
    return true;
}

} // namespace zelv
