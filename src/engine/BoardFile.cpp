#include "engine/BoardFile.h"

#include "engine/Duplimat.h"

#include <sys/stat.h>
#include <vector>

namespace zelv {

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

tBoardFile::~tBoardFile() { Close(); }

void tBoardFile::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    count_ = 0;
}

bool tBoardFile::Open(const std::string& path, std::string* error) {
    Close();
    path_ = path;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || !(file_ = std::fopen(path.c_str(), "rb"))) {
        if (error) *error = "Unable to open " + path;
        return false;
    }
    count_ = static_cast<std::uint64_t>(st.st_size) / RecordSize;
    return true;
}

tBoardFile::Read tBoardFile::ReadBoard(std::uint64_t n, DisplayTable& holdings, std::string* error) {
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
