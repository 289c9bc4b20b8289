#include "engine/Duplimat.h"

#include "engine/CardTables.h"
#include "engine/FileUtil.h"
#include "engine/Pbn.h"

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

void AppendBriRecord(std::string& out, const Hand& north, const Hand& east, const Hand& south) {
    static constexpr char Digits[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                     "404142434445464748495051525354555657585960616263";
    const std::size_t at = out.size();
    out.resize(at + RecordSize);
    char* p = out.data() + at;
    for (const Hand* h : {&north, &east, &south})
        for (CardCode c : *h) {
            if (c < 64) {
                *p++ = Digits[2 * c];
                *p++ = Digits[2 * c + 1];
            } else {
                *p++ = static_cast<char>('0' + c / 10 % 10);
                *p++ = static_cast<char>('0' + c % 10);
            }
        }
    std::memset(p, ' ', 32);
    std::memset(p + 32, 0, 18);
}

void AppendBoardRecord(std::string& out, const DisplayRow& north, const DisplayRow& east, const DisplayRow& south,
                       const DisplayRow& west) {
    static constexpr char Separators[4] = {6, 3, 4, 5};
    const std::size_t at = out.size();
    out.resize(at + RecordSize, '\0');
    char* rec = out.data() + at;
    std::size_t n = 0;
    for (const DisplayRow* row : {&north, &east, &south, &west})
        for (int s = 0; s < 4; ++s) {
            // A holding is at most 13 letters and a hand 13 cards, so a sound
            // row fills 17 bytes; never let a bad row run past the 68 bytes.
            if (n >= 68) break;
            rec[n++] = Separators[s];
            const std::string& h = (*row)[s];
            const std::size_t len = std::min(h.size(), 68 - n);
            std::memcpy(rec + n, h.data(), len);
            n += len;
        }
}

void AppendBriRecord(std::string& out, const CardMask* hands) {
    static constexpr char Digits[] =
        "0001020304050607080910111213141516171819202122232425262728293031323334353637383940"
        "414243444546474849505152";
    const std::size_t at = out.size();
    out.resize(at + RecordSize);
    char* p = out.data() + at;
    for (int seat : {North, East, South}) {
        // Only card codes 1 to 52 have digits; stray bits are no cards.
        CardMask m = hands[seat] & AllCardsMask;
        for (int i = 0; i < 13 && m; ++i) {
            const int c = std::countr_zero(m) + 1;
            m &= m - 1;
            *p++ = Digits[2 * c];
            *p++ = Digits[2 * c + 1];
        }
    }
    std::memset(p, ' ', 32);
    std::memset(p + 32, 0, 18);
}

void AppendBoardRecord(std::string& out, const CardMask* hands) {
    static constexpr char Separators[4] = {6, 3, 4, 5};
    // Letters are copied eight at a time into a scratch record with room to
    // spare, then the record is appended whole.
    char rec[RecordSize + 16] = {};
    std::size_t n = 0;
    for (int seat : {North, East, South, West})
        for (int s = 0; s < 4; ++s) {
            const unsigned bits = SuitBits(hands[seat], s);
            const unsigned high = bits & 127u, low = bits >> 7;
            rec[n++] = Separators[s];
            std::memcpy(rec + n, HighLetters[high].Text, 8);
            n += Bits7[high];
            std::memcpy(rec + n, LowLetters[low].Text, 8);
            n += Bits7[low];
            if (n > 68) n = 68; // never past the holdings, whatever the sets
        }
    std::memset(rec + n, 0, RecordSize - n);
    out.append(rec, RecordSize);
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

void tDealFiles::WriteRecords(const char* bri, const char* dge, const DisplayTable* display) {
    if (!open_) return;
    Append(Bri, bri, RecordSize);
    Append(Dge, dge, RecordSize);
    ++boards_;
    if (pbn_ && display) {
        std::string game = PbnGame(boards_, *display);
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
