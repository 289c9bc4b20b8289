#pragma once
// Double-dummy tables kept from one analysis to the next, so that a file
// opened again, previewed or printed is not solved again. A table depends
// on the deal alone, so an entry is found by the deal (who holds each of
// the 52 cards) and holds only the tricks; the par, which also depends on
// dealer and vulnerability, is worked out from them each time. Entries are
// small files, one a deal, each written whole or not at all and carrying a
// check over its contents: one that was edited or damaged is refused and
// the deal solved again, so the cache can make nothing wrong, only faster.
// Deleting the folder loses nothing but time.
#include "core/analysis/DoubleDummy.h"

#include <array>
#include <optional>
#include <string>

namespace zelv {

// The deal as 52 seat letters: who holds each card, the ace of spades
// first, then down each suit, spades, hearts, diamonds, clubs.
std::string DealKey(const std::array<CardMask, 4>& hands);

class AnalysisCache {
  public:
    // Entries kept in `folder`; an empty folder keeps none.
    explicit AnalysisCache(std::string folder) : folder_(std::move(folder)) {}
    // $XDG_CACHE_HOME/Zelvano, or ~/.cache/Zelvano without it; the tables
    // go into its "tricks" folder. Empty when neither variable is set.
    static std::string DefaultFolder();
    // The cache of DefaultFolder().
    static const AnalysisCache& Shared();

    const std::string& Folder() const { return folder_; }
    // The file that holds the entry of a deal.
    std::string EntryPath(const std::array<CardMask, 4>& hands) const;
    // The table kept for the deal; none when none is kept, or when the
    // entry fails its check (then `refused`, when given, says so, naming
    // the entry).
    std::optional<TrickTable> Find(const std::array<CardMask, 4>& hands, std::string* refused = nullptr) const;
    // Keeps the table of the deal. False when it could not be written: the
    // next analysis of the deal then solves it again, nothing worse.
    bool Store(const std::array<CardMask, 4>& hands, const TrickTable& tricks) const;

  private:
    std::string folder_;
};

} // namespace zelv
