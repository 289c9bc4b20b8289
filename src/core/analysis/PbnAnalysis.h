#pragma once
// The double-dummy tags of a run's PBN games: the boards analysed a DDS
// batch at a time once they are dealt.
#include "core/formats/DealFiles.h"

#include <atomic>
#include <string>
#include <vector>

namespace zelv {

class PbnAnalysis : public PbnSupplement {
  public:
    // `name` (the PBN file) is named in messages; raising `stop` ends the
    // analysis of the batch in hand at once, without its tags.
    explicit PbnAnalysis(std::string name, const std::atomic<bool>* stop = nullptr)
        : name_(std::move(name)), stop_(stop) {}
    std::size_t BatchSize() const override;
    bool TagsFor(const std::vector<Board>& boards, std::vector<std::string>& tags, std::string* error) override;
    // One line for each board tagged without its par, which DDS could not
    // work out (ParNotComputedNote).
    const std::vector<std::string>& Notes() const { return notes_; }

  private:
    std::string name_;
    const std::atomic<bool>* stop_;
    std::vector<std::string> notes_;
};

} // namespace zelv
