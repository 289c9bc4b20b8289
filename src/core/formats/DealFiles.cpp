#include "core/formats/DealFiles.h"

#include "core/files/FileUtil.h"
#include "core/formats/DlmFile.h"
#include "core/formats/DupFile.h"
#include "core/formats/Pbn.h"

#include <algorithm>
#include <filesystem>
#include <unistd.h>

namespace zelv {

namespace {
constexpr std::size_t FlushAt = 1 << 20;
}

std::string FileCodeProblem(const std::string& code) {
    for (const char c : code) {
        if (c == '/') return "'" + Printable(code) + "' holds a \"/\", which no file name may hold";
        if ((c >= 0 && c < 0x20) || c == 0x7F)
            return "'" + Printable(code) + "' holds a control character, which would break the header line of " +
                   "the .DLM file and cannot be typed or shown in a file's name";
    }
    return {};
}

std::string HiddenFileCodeNote(const std::string& code) {
    if (code.empty())
        return "an empty file code names the files .DGE, .BRI and so on, hidden files that ls and file dialogs do "
               "not show";
    if (code.front() != '.') return {};
    return "'" + Printable(code) + "' starts with a dot, which makes " + Printable(code) + ".DGE, " + Printable(code) +
           ".BRI and the others hidden files that ls and file dialogs do not show";
}

DealFiles::~DealFiles() { Abandon(); }

bool DealFiles::OpenDealFiles(const std::string& folder, const std::string& code, bool withPbn, std::string* error) {
    DealFileChoice choice;
    choice.Pbn = withPbn;
    return OpenDealFiles(folder, code, choice, error);
}

bool DealFiles::OpenDealFiles(const std::string& folder, const std::string& code, const DealFileChoice& choice,
                              std::string* error) {
    Abandon();
    error_.clear();
    boards_ = 0;
    code_ = code;
    pbn_ = choice.Pbn;
    dup_ = choice.Dup;
    dlm_ = choice.Dlm;
    first_ = choice.FirstBoard;
    dlmHands_.clear();
    supplement_ = choice.Pbn ? choice.PbnTags : nullptr;
    pending_.clear();
    pendingTags_.clear();
    gameTags_.assign(1, std::string());
    tagged_ = 0;
    hadPrevious_ = false;
    if (!lock_.Acquire(folder, code, error)) return false;
    const bool wanted[FileCount] = {true, true, pbn_, dup_, dlm_};
    static constexpr const char* Extensions[FileCount] = {".BRI", ".DGE", ".PBN", ".DUP", ".DLM"};
    for (int i = 0; i < FileCount; ++i) {
        File& f = file_[i];
        f.buffer.clear();
        f.path = wanted[i] ? JoinPath(folder, code + Extensions[i]) : std::string();
        if (f.path.empty()) continue;
        std::error_code ec; // a path that cannot be looked at is refused, with why, by Create
        hadPrevious_ = hadPrevious_ || std::filesystem::exists(f.path, ec);
        f.fd = set_.Create(f.path, error);
        if (f.fd < 0) {
            Abandon();
            return false;
        }
        if (i <= Pbn) f.buffer.reserve(FlushAt + RecordSize * 4);
    }
    // A file of an earlier run that this one does not write would no longer
    // match the new boards: it goes when they are put in place, and a file
    // that may not go stops the run now, as one that may not be replaced does.
    for (int i = Pbn; i < FileCount; ++i) {
        if (wanted[i]) continue;
        const std::string stale = JoinPath(folder, code + Extensions[i]);
        std::error_code ec;
        hadPrevious_ = hadPrevious_ || std::filesystem::exists(stale, ec);
        if (!set_.RemoveOnCommit(stale, error)) {
            Abandon();
            return false;
        }
    }
    open_ = true;
    if (pbn_) Append(Pbn, PbnFileHeader().data(), PbnFileHeader().size());
    return true;
}

bool DealFiles::Flush(File& f) {
    const int err = WriteFully(f.fd, f.buffer);
    f.buffer.clear();
    if (err && error_.empty()) error_ = UnableToWrite(f.path, err);
    return err == 0;
}

void DealFiles::Append(int which, const char* data, std::size_t n) {
    File& f = file_[which];
    if (f.fd < 0) return;
    f.buffer.append(data, n);
    if (f.buffer.size() >= FlushAt) Flush(f);
}

void DealFiles::WriteBoard(const CardMask* hands, const DisplayTable& display) {
    if (!open_) return;
    AppendBriRecord(file_[Bri].buffer, hands);
    AppendBoardRecord(file_[Dge].buffer, hands);
    ++boards_;
    if (dup_ || dlm_) KeepForMachines(hands);
    if (file_[Bri].buffer.size() >= FlushAt) Flush(file_[Bri]);
    if (file_[Dge].buffer.size() >= FlushAt) Flush(file_[Dge]);
    if (pbn_) AppendPbnGame(hands, &display);
}

void DealFiles::WriteRecords(const CardMask* hands, const char* bri, const char* dge, const DisplayTable* display) {
    if (!open_) return;
    // Appended before any flush, so that the machine files can copy them.
    file_[Bri].buffer.append(bri, RecordSize);
    file_[Dge].buffer.append(dge, RecordSize);
    ++boards_;
    if (dup_ || dlm_) KeepForMachines(hands);
    if (file_[Bri].buffer.size() >= FlushAt) Flush(file_[Bri]);
    if (file_[Dge].buffer.size() >= FlushAt) Flush(file_[Dge]);
    if (pbn_) AppendPbnGame(hands, display);
}

void DealFiles::SetGameTags(const std::string& tags) {
    if (gameTags_.back() != tags) gameTags_.push_back(tags);
}

void DealFiles::AppendPbnGame(const CardMask* hands, const DisplayTable* display) {
    const std::uint64_t number = first_ + boards_ - 1;
    if (supplement_) {
        pending_.push_back(NumberedBoard(hands, number));
        pendingTags_.push_back(static_cast<std::uint32_t>(gameTags_.size() - 1));
        return;
    }
    if (!display) return;
    std::string game = PbnGame(number, DealerSeat(number), VulnerabilityOf(number), *display, gameTags_.back());
    Append(Pbn, game.data(), game.size());
}

std::size_t DealFiles::TagWaitingGames() {
    if (!open_ || !supplement_ || !error_.empty() || GamesWaiting() == 0) return 0;
    const std::size_t count = std::min(std::max<std::size_t>(supplement_->BatchSize(), 1), GamesWaiting());
    const std::vector<Board> batch(pending_.begin() + static_cast<std::ptrdiff_t>(tagged_),
                                   pending_.begin() + static_cast<std::ptrdiff_t>(tagged_ + count));
    std::vector<std::string> tags;
    std::string why;
    if (!supplement_->TagsFor(batch, tags, &why)) {
        if (error_.empty()) error_ = UnableToWrite(file_[Pbn].path, why);
        return 0;
    }
    if (tags.size() != count) return 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string game = PbnGame(batch[i], gameTags_[pendingTags_[tagged_ + i]] + tags[i]);
        Append(Pbn, game.data(), game.size());
    }
    tagged_ += count;
    return count;
}

void DealFiles::WriteWaitingGames() {
    for (; tagged_ < pending_.size(); ++tagged_) {
        const std::string game = PbnGame(pending_[tagged_], gameTags_[pendingTags_[tagged_]]);
        Append(Pbn, game.data(), game.size());
    }
    pending_.clear();
    pendingTags_.clear();
    tagged_ = 0;
}

void DealFiles::KeepForMachines(const CardMask* hands) {
    // Neither file numbers past 999 boards; a run that goes on fails at the
    // close, and keeps no more than it can write until then.
    if (dup_ && first_ + boards_ - 1 <= DupHighestBoard) {
        // Bytes 1 to 146 are the records just written, by construction.
        const std::string& bri = file_[Bri].buffer;
        const std::string& dge = file_[Dge].buffer;
        std::string& dup = file_[Dup].buffer;
        dup.append(bri, bri.size() - RecordSize, 78);
        dup.append(dge, dge.size() - RecordSize, 68);
        dup.append(DupRecordSize - 146, ' ');
    }
    if (dlm_ && first_ + boards_ - 1 <= DlmHighestBoard) dlmHands_.push_back({hands[0], hands[1], hands[2], hands[3]});
}

void DealFiles::FinishMachineFiles() {
    const std::uint64_t last = first_ + boards_ - 1;
    if (dup_) {
        if (std::string why = DupRangeProblem(first_, boards_); !why.empty()) {
            if (error_.empty()) error_ = UnableToWrite(file_[Dup].path, why);
        } else {
            const std::string trailer = DupTrailer(first_, last);
            std::string& dup = file_[Dup].buffer;
            for (std::size_t at = 146; at < dup.size(); at += DupRecordSize) dup.replace(at, 10, trailer);
        }
    }
    if (dlm_) {
        std::vector<Board> boards;
        for (std::size_t k = 0; k < dlmHands_.size(); ++k)
            boards.push_back(NumberedBoard(dlmHands_[k].data(), first_ + k));
        std::string why = DlmRangeProblem(first_, boards_);
        if (why.empty() && !WriteDlm(boards, code_, file_[Dlm].buffer, &why)) file_[Dlm].buffer.clear();
        if (!why.empty() && error_.empty()) error_ = UnableToWrite(file_[Dlm].path, why);
    }
}

bool DealFiles::CloseDealFiles(std::string* error) {
    if (!open_) {
        if (error) *error = error_;
        return error_.empty();
    }
    if (error_.empty()) WriteWaitingGames();
    FinishMachineFiles();
    for (File& f : file_)
        if (f.fd >= 0) Flush(f);
    if (error_.empty()) {
        // The set owns the descriptors from here on: it syncs and closes them.
        for (File& f : file_) f.fd = -1;
        set_.Commit(&error_);
    }
    if (!error_.empty()) error_ += hadPrevious_ ? ". The previous set was kept." : ". No file was written.";
    open_ = false;
    Abandon();
    if (error) *error = error_;
    return error_.empty();
}

void DealFiles::Abandon() {
    set_.Abandon();
    lock_.Release();
    for (File& f : file_) {
        f.fd = -1;
        f.buffer.clear();
    }
    dlmHands_.clear();
    pending_.clear();
    pendingTags_.clear();
    tagged_ = 0;
    open_ = false;
}

} // namespace zelv
