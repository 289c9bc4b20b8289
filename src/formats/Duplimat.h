#pragma once
// Named after its documented unit, Duplimat; holds tDealFiles.
// The two files of a run, in step: the board file (".DGE", the holdings as
// rank letters) and the dealing-machine file (".BRI", card codes as digits),
// and optionally a PBN file of the same boards. Records are 128 bytes with
// no header; record n is board n.
//
// The files are written to temporary names beside their final names and
// put in place together by CloseDealFiles, so a run that fails part-way, or
// whose files cannot all be put in place, leaves the previous set untouched.
#include "engine/Cards.h"
#include "engine/FileSet.h"
#include "engine/uBoard.h"
#include "formats/BriFile.h"
#include "formats/DgeFile.h"

#include <cstdint>
#include <string>

namespace zelv {

class tDealFiles {
  public:
    tDealFiles() = default;
    tDealFiles(const tDealFiles&) = delete;
    tDealFiles& operator=(const tDealFiles&) = delete;
    // Discards the temporary files of a run that was never closed.
    ~tDealFiles();

    // Prepares `folder`/`code`.BRI and .DGE (and .PBN when `withPbn`).
    // False, with "Unable to write to <path> (<reason>)", when a file cannot
    // be created or an existing one is read-only (a stale PBN file that a run
    // without PBN would remove included); nothing is then written.
    bool OpenDealFiles(const std::string& folder, const std::string& code, bool withPbn, std::string* error);
    void WriteBriRecord(const Hand& north, const Hand& east, const Hand& south);
    void WriteBoardRecord(const DisplayRow& north, const DisplayRow& east, const DisplayRow& south,
                          const DisplayRow& west);
    // Both records (and the PBN game) of a board given as card sets by seat
    // index, as WriteBriRecord and WriteBoardRecord would write them; the
    // display table is used only for the PBN game.
    void WriteBoard(const CardMask* hands, const DisplayTable& display);
    // Writes out what is buffered and puts the files in place, all of them
    // or none (a run without PBN removes the PBN file of an earlier run).
    // False, with the message, when any write failed or any file could not
    // be put in place; the previous files then stay as they were.
    bool CloseDealFiles(std::string* error);
    // Drops the run: temporary files removed, previous files untouched.
    void Abandon();

    bool IsOpen() const { return open_; }
    bool Failed() const { return !error_.empty(); }
    const std::string& Error() const { return error_; }
    std::uint64_t BoardsWritten() const { return boards_; }

    const std::string& BriPath() const { return file_[Bri].path; }
    const std::string& BoardPath() const { return file_[Dge].path; }
    const std::string& PbnPath() const { return file_[Pbn].path; }

  private:
    enum { Bri = 0, Dge = 1, Pbn = 2 };
    struct File {
        std::string path;
        int fd = -1; // owned by set_
        std::string buffer;
    };
    bool Flush(File& f);
    void Append(int which, const char* data, std::size_t n);

    File file_[3];
    tFileSet set_;
    bool open_ = false;
    bool pbn_ = false;
    bool hadPrevious_ = false; // some file of the set existed when the run began
    std::uint64_t boards_ = 0;
    std::string error_;
};

} // namespace zelv
