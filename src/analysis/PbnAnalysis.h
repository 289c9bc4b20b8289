#pragma once
// The double-dummy tags of a run's PBN games: the boards analysed a DDS
// batch at a time as the run deals them.
#include "formats/Duplimat.h"

#include <string>

namespace zelv {

class tPbnAnalysis : public PbnSupplement {
  public:
    // `name` (the PBN file) is named in messages.
    explicit tPbnAnalysis(std::string name) : name_(std::move(name)) {}
    std::size_t BatchSize() const override;
    bool TagsFor(const std::vector<Board>& boards, std::vector<std::string>& tags, std::string* error) override;

  private:
    std::string name_;
};

} // namespace zelv
