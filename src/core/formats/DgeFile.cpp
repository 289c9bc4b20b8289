#include "core/formats/DgeFile.h"

#include "core/cards/CardTables.h"
#include "core/files/FileUtil.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <vector>

namespace zelv {

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

bool DecodeBoardRecord(const unsigned char* record, DisplayTable& holdings) {
    int seps[68];
    int count = 0;
    for (int i = 0; i < 68; ++i)
        if (record[i] >= 3 && record[i] <= 6) seps[count++] = i;
    int end = -1; // first zero byte
    for (int i = 0; i < static_cast<int>(RecordSize); ++i)
        if (record[i] == 0) {
            end = i;
            break;
        }
    const bool sound = count == 16;
    static constexpr int seatOfBlock[4] = {North, East, South, West};
    for (int k = 0; k < 16; ++k) {
        std::string piece;
        if (k < count) {
            int start = seps[k] + 1;
            int stop;
            if (k + 1 < count)
                stop = seps[k + 1];
            else if (sound)
                stop = end; // the last holding runs to the first zero byte
            else
                stop = (end > start && end <= 68) ? end : 68;
            if (stop > start)
                piece.assign(reinterpret_cast<const char*>(record) + start, static_cast<std::size_t>(stop - start));
        }
        if (piece.size() > 13) piece.resize(13);
        holdings[static_cast<std::size_t>(seatOfBlock[k / 4])][static_cast<std::size_t>(k % 4)] = std::move(piece);
    }
    return sound;
}

BoardList ReadDge(std::string_view bytes, const std::string& name) {
    BoardList list;
    const std::size_t whole = bytes.size() / RecordSize;
    for (std::size_t k = 0; k < whole; ++k) {
        DisplayTable holdings;
        const std::uint64_t n = k + 1;
        if (!DecodeBoardRecord(reinterpret_cast<const unsigned char*>(bytes.data()) + k * RecordSize, holdings)) {
            list.Problems.push_back(LeftOut(name, n, "the record does not hold sixteen holdings"));
            continue;
        }
        std::array<CardMask, 4> hands{};
        if (std::string problem = HandsFromHoldings(holdings, hands); !problem.empty()) {
            list.Problems.push_back(LeftOut(name, n, problem));
            continue;
        }
        list.Boards.push_back(NumberedBoard(hands.data(), n));
    }
    if (const std::size_t rest = bytes.size() % RecordSize; rest != 0)
        list.Problems.push_back(LeftOut(name, whole + 1,
                                        "the record is cut short (" + std::to_string(rest) + " of " +
                                            std::to_string(RecordSize) + " bytes)"));
    return list;
}

std::string WriteDge(const std::vector<Board>& boards) {
    std::string out;
    out.reserve(boards.size() * RecordSize);
    for (const Board& b : boards) AppendBoardRecord(out, b.Hands.data());
    return out;
}

DgeFile::~DgeFile() { Close(); }

void DgeFile::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    count_ = 0;
}

bool DgeFile::Open(const std::string& path, std::string* error) {
    Close();
    path_ = path;
    struct stat st {};
    std::string why = ReadProblem(path);
    if (why.empty() && (::stat(path.c_str(), &st) != 0 || !(file_ = std::fopen(path.c_str(), "rb"))))
        why = SystemReason(errno);
    if (!why.empty()) {
        if (error) *error = UnableToOpen(path, why);
        return false;
    }
    count_ = static_cast<std::uint64_t>(st.st_size) / RecordSize;
    return true;
}

DgeFile::Read DgeFile::ReadBoard(std::uint64_t n, DisplayTable& holdings, std::string* error) {
    unsigned char rec[RecordSize];
    if (!file_ || n < 1 || n > count_ || ::fseeko(file_, static_cast<off_t>((n - 1) * RecordSize), SEEK_SET) != 0 ||
        std::fread(rec, 1, RecordSize, file_) != RecordSize) {
        if (error) *error = "Unable to read board " + std::to_string(n) + " of " + path_;
        holdings = DisplayTable{};
        return Read::Failed;
    }
    return DecodeBoardRecord(rec, holdings) ? Read::Ok : Read::Damaged;
}

} // namespace zelv
