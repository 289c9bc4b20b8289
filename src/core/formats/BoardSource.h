#pragma once
// Any board file, in any of the five formats, chosen by its extension: read
// whole into boards, written from boards, or opened for showing board
// after board as the viewer, the printed pages and `show` do.
#include "core/formats/Board.h"
#include "core/formats/DgeFile.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelv {

enum class BoardFormat { Dge, Bri, Dup, Dlm, Pbn };

// The format a file name's extension names, in any case; none for another.
std::optional<BoardFormat> FormatOfPath(const std::string& path);
// ".DGE", ".BRI", ".DUP", ".DLM" or ".PBN".
std::string_view ExtensionOf(BoardFormat format);
// ".PBN, .DGE, .BRI, .DUP or .DLM", for messages.
const std::string& KnownExtensions();

// Every board of a file read whole. `Error` is "Unable to open <path> (<reason>)" when
// it cannot be read, or the reader's when it is no file of its kind.
BoardList ReadBoardFile(const std::string& path, BoardFormat format);
// The bytes of a file of `boards` in `format` (`code`, the file code, goes
// into a ".DLM" file's headline). False, with why, when the format cannot
// hold them as they are numbered.
bool FormatBoardFile(const std::vector<Board>& boards, BoardFormat format, const std::string& code, std::string& bytes,
                     std::string* error);

// A board file opened for showing board after board. A ".DGE" file (and a
// file of any other name) is read record by record as it always was: a
// damaged record shows as far as it is sound, and a partial record at its
// end is listed in Problems(). The others are read whole when opened, and
// the boards they leave out are listed in Problems(), what they read
// otherwise than written in Notes().
class BoardSource {
  public:
    enum class Read { Ok, Damaged, Failed };
    struct Shown {
        DisplayTable Holdings; // [seat index][suit]
        std::uint64_t Number = 0;
        int Dealer = North;
        Vulnerability Vul = Vulnerability::None;
    };

    // False, with "Unable to open <path> (<reason>)" (or why the file is no file of
    // its kind), when it cannot be read.
    bool Open(const std::string& path, std::string* error);
    void Close();
    bool IsOpen() const { return open_; }
    std::uint64_t BoardCount() const;
    const std::string& Path() const { return path_; }
    BoardFormat Format() const { return format_; }
    const std::vector<std::string>& Problems() const { return problems_; }
    const std::vector<std::string>& Notes() const { return notes_; }
    // A PBN file's games as written; none for the other formats.
    const std::shared_ptr<const PbnSource>& Pbn() const { return pbn_; }

    // The board at `position` (1 to BoardCount(), in file order). A ".DGE"
    // record that is damaged gives Damaged; one that cannot be read gives
    // Failed and empty holdings, numbered by its position.
    Read ReadBoard(std::uint64_t position, Shown& board, std::string* error = nullptr);
    // The board at `position` as a whole deal: false, with what is wrong,
    // when its record is damaged, cannot be read or is no whole deal.
    bool ReadDeal(std::uint64_t position, Board& board, std::string* problem);

  private:
    bool open_ = false;
    std::string path_;
    BoardFormat format_ = BoardFormat::Dge;
    DgeFile dge_;
    std::vector<Board> boards_;
    std::vector<std::string> problems_, notes_;
    std::shared_ptr<const PbnSource> pbn_;
};

} // namespace zelv
