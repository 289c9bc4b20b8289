#pragma once
// What a script's actions print, laid out as dealer lays it out: the
// printing actions for each kept deal as it comes, and at the end the
// print(...) pages, averages and frequency tables in the order of the
// actions.
#include "core/conditions/Program.h"

#include <ostream>
#include <string>
#include <vector>

namespace zelv {

struct OutputInfo {
    std::string FileName; // named in the PBN games' Event
    std::string SeedText; // the seed, or "secure"
    std::string Date;     // "2024.05.17"
};

class ActionOutput {
  public:
    ActionOutput(const Program& program, OutputInfo info, std::ostream& out);

    // The actions for the deal kept as number `produced` (from 1). False,
    // with Error set, on a runtime fault of an expression.
    bool OnDeal(const Hands& hands, std::uint64_t produced);
    // The end-of-run actions.
    void Finish();
    const std::string& Error() const { return error_; }
    SourcePos ErrorPos() const { return errorPos_; }

  private:
    std::int64_t Value(int expr);
    void PrintAll(const Hands& h, std::uint64_t n);
    void PrintEW(const Hands& h);
    void PrintPbn(const Hands& h, std::uint64_t n);
    void PrintCompact(const Hands& h, const Action& a);
    void PrintOneLine(const Hands& h, const Action& a);
    void PrintEs(const Action& a);
    void Count(std::size_t index, const Action& a);
    void PrintPages(const Action& a);
    void PrintAverage(std::size_t index, const Action& a);
    void PrintFrequency(std::size_t index, const Action& a);
    void PrintFrequency2D(std::size_t index, const Action& a);

    const Program& program_;
    const Script& script_;
    OutputInfo info_;
    std::ostream& out_;
    DealState deal_;
    std::vector<Hands> kept_; // for print(...) pages
    bool keepHands_ = false;
    std::uint64_t produced_ = 0;
    std::vector<double> sums_;                       // average, by action
    std::vector<std::vector<std::uint64_t>> counts_; // frequency cells, by action
    std::string error_;
    SourcePos errorPos_;
};

// A hand's suits as dealer's compact forms print them: "AK.QJT2..T9".
std::string DottedHand(CardSet hand);

} // namespace zelv
