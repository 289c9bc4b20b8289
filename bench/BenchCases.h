#pragma once
// The set-ups both dealers' benchmarks run, and the files they write to.
#include "core/dealing/DealEngine.h"
#include "core/formats/DealFiles.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace zelv::bench {

enum Case { AllFree, North20, North15to17Flat, NorthAceKingUnseeded, North4441_20to22 };

inline void Prepare(DealEngine& b, Case c) {
    HandDefinition d = HandDefinition::AcceptingEveryHand();
    switch (c) {
    case AllFree:
        return;
    case North20:
        d.MinPoints = 20;
        break;
    case North15to17Flat:
        d.MinPoints = 15;
        d.MaxPoints = 17;
        d.YesShapes = {"4333"};
        break;
    case NorthAceKingUnseeded:
        d.MustHave[1] = true;  // SA
        d.MustHave[15] = true; // HK
        b.SeedFirst = false;
        break;
    case North4441_20to22:
        d.MinPoints = 20;
        d.MaxPoints = 22;
        d.YesShapes = {"4441"};
        break;
    }
    b.SetConstrained(North, true);
    b.SetSlot(North, 0, d);
}

// Accepted boards go to real files (without PBN), as in a run. A benchmark
// deals millions of boards, far more than any set a club deals, so the files
// are started afresh every RunBoards boards: otherwise a gigabyte of new
// page cache is what gets measured, and it varies with the machine's memory
// more than with the dealer.
class Output {
  public:
    static constexpr std::uint64_t RunBoards = 100000;

    explicit Output(const std::string& name)
        : dir_(std::filesystem::temp_directory_path() / ("zelv-bench-" + name)), name_(name) {
        std::filesystem::create_directories(dir_);
        files_.OpenDealFiles(dir_.string(), name_, false, nullptr);
    }
    ~Output() { files_.Abandon(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // Writes the dealer's last board when it was accepted, as a run does.
    void Count(const DealEngine& dealer) {
        if (!dealer.Accepted) return;
        files_.WriteBoard(dealer.Dealt.data(), dealer.Display);
        ++accepted_;
        if (accepted_ % RunBoards == 0) {
            files_.Abandon();
            files_.OpenDealFiles(dir_.string(), name_, false, nullptr);
        }
    }
    std::uint64_t Accepted() const { return accepted_; }

  private:
    std::filesystem::path dir_;
    std::string name_;
    DealFiles files_;
    std::uint64_t accepted_ = 0;
};

} // namespace zelv::bench
