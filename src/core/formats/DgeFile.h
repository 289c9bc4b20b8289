#pragma once
// The board file (".DGE"): 128-byte records with no header, board n at
// offset (n-1)*128. A record holds four blocks of seventeen bytes, North,
// East, South and West, each four suits of rank letters behind the bytes 6,
// 3, 4 and 5; then zeros. Read back, a trailing partial record is ignored.
#include "core/dealing/DealEngine.h"
#include "core/formats/Board.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace zelv {

// Appends the 128-byte ".DGE" record of one board to `out`.
void AppendBoardRecord(std::string& out, const DisplayRow& north, const DisplayRow& east, const DisplayRow& south,
                       const DisplayRow& west);
// The same from card sets by seat index (each of 13 cards).
void AppendBoardRecord(std::string& out, const CardMask* hands);

// Splits one record into its sixteen holdings, [seat index][suit], each cut
// to 13 characters. Returns false when the record is damaged (not exactly
// 16 separators in its first 68 bytes): the holdings are then filled as far
// as the separators go and the rest left empty. Never reads past the record.
bool DecodeBoardRecord(const unsigned char* record, DisplayTable& holdings);

// Every board of a whole ".DGE" file, record n board n; a damaged record,
// one that is not a whole deal and a trailing partial record are left out,
// each with a message naming `name` and the board.
BoardList ReadDge(std::string_view bytes, const std::string& name);
// The ".DGE" file of `boards`, in their order.
std::string WriteDge(const std::vector<Board>& boards);

// Reads board after board from a ".DGE" file without reading it whole.
class DgeFile {
  public:
    enum class Read { Ok, Damaged, Failed };

    DgeFile() = default;
    DgeFile(const DgeFile&) = delete;
    DgeFile& operator=(const DgeFile&) = delete;
    ~DgeFile();

    // False, with "Unable to open <path> (<reason>)", when the file cannot be read.
    bool Open(const std::string& path, std::string* error);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    std::uint64_t BoardCount() const { return count_; }
    const std::string& Path() const { return path_; }

    // Board n (1-based) into `holdings`. A board that cannot be read leaves
    // them empty, so that no reader shows the board before it in its place.
    Read ReadBoard(std::uint64_t n, DisplayTable& holdings, std::string* error = nullptr);

  private:
    std::FILE* file_ = nullptr;
    std::uint64_t count_ = 0;
    std::string path_;
};

} // namespace zelv
