#include "core/formats/BoardSource.h"

#include "core/files/FileSet.h"
#include "core/files/FileUtil.h"
#include "core/formats/BriFile.h"
#include "core/formats/DlmFile.h"
#include "core/formats/DupFile.h"
#include "core/formats/Pbn.h"

#include <cerrno>
#include <sys/stat.h>

namespace zelv {

namespace {
constexpr BoardFormat AllFormats[] = {BoardFormat::Dge, BoardFormat::Bri, BoardFormat::Dup, BoardFormat::Dlm,
                                      BoardFormat::Pbn};
} // namespace

std::string_view ExtensionOf(BoardFormat format) {
    switch (format) {
    case BoardFormat::Dge:
        return ".DGE";
    case BoardFormat::Bri:
        return ".BRI";
    case BoardFormat::Dup:
        return ".DUP";
    case BoardFormat::Dlm:
        return ".DLM";
    case BoardFormat::Pbn:
        return ".PBN";
    }
    return {};
}

const std::string& KnownExtensions() {
    static const std::string text = ".PBN, .DGE, .BRI, .DUP or .DLM";
    return text;
}

std::optional<BoardFormat> FormatOfPath(const std::string& path) {
    for (BoardFormat f : AllFormats)
        if (EndsWithNoCase(path, ExtensionOf(f)) && path.size() > ExtensionOf(f).size() &&
            path[path.size() - ExtensionOf(f).size() - 1] != '/')
            return f;
    return std::nullopt;
}

BoardList ReadBoardFile(const std::string& path, BoardFormat format) {
    // A set a killed run was putting in place is finished before it is read.
    TidyFolderOf(path);
    BoardList list;
    std::string bytes;
    std::string why = ReadProblem(path);
    if (why.empty() && !ReadWholeFile(path, bytes)) why = errno ? SystemReason(errno) : "it could not be read";
    if (!why.empty()) {
        list.Error = UnableToOpen(path, why);
        return list;
    }
    switch (format) {
    case BoardFormat::Dge:
        return ReadDge(bytes, path);
    case BoardFormat::Bri:
        return ReadBri(bytes, path);
    case BoardFormat::Dup:
        return ReadDup(bytes, path);
    case BoardFormat::Dlm:
        return ReadDlm(bytes, path);
    case BoardFormat::Pbn:
        return ReadPbn(bytes, path);
    }
    return list;
}

bool FormatBoardFile(const std::vector<Board>& boards, BoardFormat format, const std::string& code, std::string& bytes,
                     std::string* error) {
    switch (format) {
    case BoardFormat::Dge:
        bytes = WriteDge(boards);
        return true;
    case BoardFormat::Bri:
        bytes = WriteBri(boards);
        return true;
    case BoardFormat::Dup:
        return WriteDup(boards, bytes, error);
    case BoardFormat::Dlm:
        return WriteDlm(boards, code, bytes, error);
    case BoardFormat::Pbn:
        bytes = WritePbn(boards);
        return true;
    }
    return false;
}

bool BoardSource::Open(const std::string& path, std::string* error) {
    Close();
    path_ = path;
    format_ = FormatOfPath(path).value_or(BoardFormat::Dge);
    if (format_ == BoardFormat::Dge) {
        TidyFolderOf(path);
        open_ = dge_.Open(path, error);
        // Said as every other format says a record cut short.
        struct stat st {};
        if (open_ && ::stat(path.c_str(), &st) == 0)
            if (const auto rest = static_cast<std::uint64_t>(st.st_size) % RecordSize; rest != 0)
                problems_.push_back(LeftOut(path, dge_.BoardCount() + 1,
                                            "the record is cut short (" + std::to_string(rest) + " of " +
                                                std::to_string(RecordSize) + " bytes)"));
        return open_;
    }
    BoardList list = ReadBoardFile(path, format_);
    if (!list.Error.empty()) {
        if (error) *error = list.Error;
        return false;
    }
    boards_ = std::move(list.Boards);
    problems_ = std::move(list.Problems);
    notes_ = std::move(list.Notes);
    pbn_ = std::move(list.Pbn);
    open_ = true;
    return true;
}

void BoardSource::Close() {
    dge_.Close();
    boards_.clear();
    problems_.clear();
    notes_.clear();
    pbn_.reset();
    open_ = false;
}

std::uint64_t BoardSource::BoardCount() const {
    if (!open_) return 0;
    return format_ == BoardFormat::Dge ? dge_.BoardCount() : boards_.size();
}

BoardSource::Read BoardSource::ReadBoard(std::uint64_t position, Shown& board, std::string* error) {
    board.Number = position;
    board.Dealer = DealerSeat(position);
    board.Vul = VulnerabilityOf(position);
    if (open_ && format_ == BoardFormat::Dge) {
        switch (dge_.ReadBoard(position, board.Holdings, error)) {
        case DgeFile::Read::Ok:
            return Read::Ok;
        case DgeFile::Read::Damaged:
            return Read::Damaged;
        case DgeFile::Read::Failed:
            return Read::Failed;
        }
    }
    if (!open_ || position < 1 || position > boards_.size()) {
        if (error) *error = "Unable to read board " + std::to_string(position) + " of " + path_;
        board.Holdings = DisplayTable{};
        return Read::Failed;
    }
    const Board& b = boards_[position - 1];
    board.Holdings = HoldingsOf(b);
    board.Number = b.Number;
    board.Dealer = b.Dealer;
    board.Vul = b.Vul;
    return Read::Ok;
}

bool BoardSource::ReadDeal(std::uint64_t position, Board& board, std::string* problem) {
    Shown shown;
    std::string why;
    const Read read = ReadBoard(position, shown, &why);
    board.Number = shown.Number;
    board.Dealer = shown.Dealer;
    board.Vul = shown.Vul;
    if (read == Read::Damaged) why = "its record is damaged";
    if (read == Read::Ok) why = HandsFromHoldings(shown.Holdings, board.Hands);
    if (problem) *problem = why;
    return why.empty();
}

} // namespace zelv
