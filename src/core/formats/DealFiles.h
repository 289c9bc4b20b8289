#pragma once
// The files of a run, in step: the board file (".DGE", the holdings as rank
// letters) and the dealing-machine file (".BRI", card codes as digits), and
// as chosen a PBN file, a ".DUP" file for the newer Duplimate machines and a
// ".DLM" file for the machines that read text, of the same boards. The
// ".DGE" and ".BRI" records are numberless (record n is the set's board n);
// the others carry the board numbers from the set's first on.
//
// The files are written to temporary names beside their final names and
// put in place together by CloseDealFiles, so a run that fails part-way, or
// whose files cannot all be put in place, leaves the previous set untouched.
#include "core/cards/Cards.h"
#include "core/dealing/DealEngine.h"
#include "core/files/CodeLock.h"
#include "core/files/FileSet.h"
#include "core/formats/BriFile.h"
#include "core/formats/DgeFile.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zelv {

// Tags added to the PBN games of a run once its boards are dealt (the
// double-dummy analysis), worked out a batch of boards at a time.
class PbnSupplement {
  public:
    virtual ~PbnSupplement() = default;
    // How many boards to ask about at a time.
    virtual std::size_t BatchSize() const = 0;
    // The tags of each board, in order, each tag pair ending in CR LF; none
    // at all when it was stopped. False, with why (naming the board), when
    // they cannot be had.
    virtual bool TagsFor(const std::vector<Board>& boards, std::vector<std::string>& tags, std::string* error) = 0;
};

// Why `code` cannot name a run's files, or "": a "/" or a zero byte makes
// no file name, and any other control character would break the .DLM
// file's header line, which holds the code.
std::string FileCodeProblem(const std::string& code);
// Said, not refused, of a code that makes hidden files: an empty one, or
// one that starts with a dot, names files (".DGE", ".X.DGE") that ls and
// file dialogs do not show. "" for any other code.
std::string HiddenFileCodeNote(const std::string& code);

// The files a run writes besides the ".DGE" and ".BRI" files, and the board
// number its first board gets.
struct DealFileChoice {
    bool Pbn = true;
    bool Dup = false;
    bool Dlm = false;
    std::uint64_t FirstBoard = 1;
    // With a PBN file: tags for its games (not owned; outlives the files).
    // The games then wait for them: see TagWaitingGames.
    PbnSupplement* PbnTags = nullptr;
};

class DealFiles {
  public:
    DealFiles() = default;
    DealFiles(const DealFiles&) = delete;
    DealFiles& operator=(const DealFiles&) = delete;
    // Discards the temporary files of a run that was never closed.
    ~DealFiles();

    // Prepares `folder`/`code`.BRI and .DGE and the files `choice` names,
    // holding the code's lock until the files are closed or abandoned.
    // False, with "Unable to write to <path> (<reason>)", when a file cannot
    // be created or an existing one is read-only (a stale file that the run
    // would remove included), or "CODE is being written by another run
    // (pid N)"; nothing is then written.
    bool OpenDealFiles(const std::string& folder, const std::string& code, const DealFileChoice& choice,
                       std::string* error);
    // The same with a PBN file or without, and no other.
    bool OpenDealFiles(const std::string& folder, const std::string& code, bool withPbn, std::string* error);
    // Every file's record (and PBN game) of a board given as card sets by
    // seat index; the display table is used only for the PBN game.
    void WriteBoard(const CardMask* hands, const DisplayTable& display);
    // The same from records made beforehand from the same card sets
    // (AppendBriRecord and AppendBoardRecord), as a dealing thread makes
    // them; `display` is needed only with PBN.
    void WriteRecords(const CardMask* hands, const char* bri, const char* dge, const DisplayTable* display);
    bool WritesPbn() const { return pbn_; }
    // Tag pairs (each ending in CR LF) every PBN game written from now on
    // carries after its own tags, until changed: a session's part.
    void SetGameTags(const std::string& tags);
    // With a supplement, the PBN games wait, their boards kept, until this
    // gives the next batch of them their tags and writes them; the close
    // writes those still waiting without. The number of games written: 0
    // when none waits, the supplement was stopped, or it failed (the run
    // then fails as with a write that failed).
    std::size_t TagWaitingGames();
    std::size_t GamesWaiting() const { return pending_.size() - tagged_; }
    // Writes out what is buffered and puts the files in place, all of them
    // or none. A ".PBN", ".DUP" or ".DLM" file of an earlier run that this
    // one does not write is removed: it would no longer match the boards.
    // False, with the message, when any write failed, a ".DUP" or ".DLM"
    // file cannot number the boards dealt, or any file could not be put in
    // place; the previous files then stay as they were.
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
    const std::string& DupPath() const { return file_[Dup].path; }
    const std::string& DlmPath() const { return file_[Dlm].path; }

  private:
    enum { Bri = 0, Dge = 1, Pbn = 2, Dup = 3, Dlm = 4, FileCount = 5 };
    struct File {
        std::string path;
        int fd = -1; // owned by set_
        std::string buffer;
    };
    bool Flush(File& f);
    void Append(int which, const char* data, std::size_t n);
    // The ".DUP" record and ".DLM" hands of the board just written.
    void KeepForMachines(const CardMask* hands);
    // The ".DUP" trailers and the ".DLM" text, once the last board is known.
    void FinishMachineFiles();
    // The PBN game of the board just written, or with a supplement, its
    // board kept until the game's tags are known.
    void AppendPbnGame(const CardMask* hands, const DisplayTable* display);
    // The games still waiting, without tags.
    void WriteWaitingGames();

    File file_[FileCount];
    CodeLock lock_;
    FileSet set_;
    std::string code_;
    bool open_ = false;
    bool pbn_ = false, dup_ = false, dlm_ = false;
    std::uint64_t first_ = 1;
    std::vector<std::array<CardMask, 4>> dlmHands_;
    PbnSupplement* supplement_ = nullptr;
    std::vector<Board> pending_; // boards of the PBN games from tagged_ on, waiting for their tags
    // SetGameTags' texts as given, and for each waiting game the one it carries.
    std::vector<std::string> gameTags_{std::string()};
    std::vector<std::uint32_t> pendingTags_;
    std::size_t tagged_ = 0;
    bool hadPrevious_ = false; // some file of the set existed when the run began
    std::uint64_t boards_ = 0;
    std::string error_;
};

} // namespace zelv
