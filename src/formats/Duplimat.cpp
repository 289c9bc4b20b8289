#include "formats/Duplimat.h"

#include "engine/FileUtil.h"
#include "formats/Pbn.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace zelv {

namespace {
constexpr std::size_t FlushAt = 1 << 20;
}

tDealFiles::~tDealFiles() { Abandon(); }

bool tDealFiles::OpenDealFiles(const std::string& folder, const std::string& code, bool withPbn, std::string* error) {
    Abandon();
    error_.clear();
    boards_ = 0;
    pbn_ = withPbn;
    hadPrevious_ = false;
    file_[Bri].path = JoinPath(folder, code + ".BRI");
    file_[Dge].path = JoinPath(folder, code + ".DGE");
    file_[Pbn].path = withPbn ? JoinPath(folder, code + ".PBN") : std::string();
    for (File& f : file_) {
        f.buffer.clear();
        if (f.path.empty()) continue;
        hadPrevious_ = hadPrevious_ || std::filesystem::exists(f.path);
        f.fd = set_.Create(f.path, error);
        if (f.fd < 0) {
            Abandon();
            return false;
        }
        f.buffer.reserve(FlushAt + RecordSize * 4);
    }
    // A PBN file of an earlier run would no longer match the new boards: it
    // goes when they are put in place, and a file that may not go stops the
    // run now, as one that may not be replaced does.
    if (!withPbn) {
        const std::string stale = JoinPath(folder, code + ".PBN");
        hadPrevious_ = hadPrevious_ || std::filesystem::exists(stale);
        if (!set_.RemoveOnCommit(stale, error)) {
            Abandon();
            return false;
        }
    }
    open_ = true;
    if (pbn_) Append(Pbn, PbnFileHeader().data(), PbnFileHeader().size());
    return true;
}

bool tDealFiles::Flush(File& f) {
    const char* p = f.buffer.data();
    std::size_t left = f.buffer.size();
    while (left > 0) {
        ssize_t n = ::write(f.fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (error_.empty()) error_ = UnableToWrite(f.path, errno);
            f.buffer.clear();
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    f.buffer.clear();
    return true;
}

void tDealFiles::Append(int which, const char* data, std::size_t n) {
    File& f = file_[which];
    if (f.fd < 0) return;
    f.buffer.append(data, n);
    if (f.buffer.size() >= FlushAt) Flush(f);
}

void tDealFiles::WriteBriRecord(const Hand& north, const Hand& east, const Hand& south) {
    if (!open_) return;
    std::string& b = file_[Bri].buffer;
    AppendBriRecord(b, north, east, south);
    if (b.size() >= FlushAt) Flush(file_[Bri]);
}

void tDealFiles::WriteBoardRecord(const DisplayRow& north, const DisplayRow& east, const DisplayRow& south,
                                  const DisplayRow& west) {
    if (!open_) return;
    std::string& b = file_[Dge].buffer;
    AppendBoardRecord(b, north, east, south, west);
    if (b.size() >= FlushAt) Flush(file_[Dge]);
    ++boards_;
    if (pbn_) {
        DisplayTable table;
        table[North] = north;
        table[East] = east;
        table[South] = south;
        table[West] = west;
        std::string game = PbnGame(boards_, table);
        Append(Pbn, game.data(), game.size());
    }
}

void tDealFiles::WriteBoard(const CardMask* hands, const DisplayTable& display) {
    if (!open_) return;
    AppendBriRecord(file_[Bri].buffer, hands);
    if (file_[Bri].buffer.size() >= FlushAt) Flush(file_[Bri]);
    AppendBoardRecord(file_[Dge].buffer, hands);
    if (file_[Dge].buffer.size() >= FlushAt) Flush(file_[Dge]);
    ++boards_;
    if (pbn_) {
        std::string game = PbnGame(boards_, display);
        Append(Pbn, game.data(), game.size());
    }
}

bool tDealFiles::CloseDealFiles(std::string* error) {
    if (!open_) {
        if (error) *error = error_;
        return error_.empty();
    }
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

void tDealFiles::Abandon() {
    set_.Abandon();
    for (File& f : file_) {
        f.fd = -1;
        f.buffer.clear();
    }
    open_ = false;
}

} // namespace zelv
