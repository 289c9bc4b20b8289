#include "core/formats/Convert.h"

#include "core/files/CodeLock.h"
#include "core/files/FileSet.h"
#include "core/files/FileUtil.h"
#include "core/formats/BoardSource.h"
#include "core/formats/Pbn.h"

#include <algorithm>
#include <list>
#include <utility>

namespace zelv {

namespace {

std::string UnknownExtension(const std::string& path) {
    return path + ": the extension names no board file format (" + KnownExtensions() + ")";
}

// The file code a ".DLM" headline names: the file's name up to its extension.
std::string CodeOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// "16 to 19", or the numbers as they come when they do not follow one another.
std::string NumbersText(const std::vector<Board>& boards) {
    bool consecutive = true;
    for (std::size_t k = 1; k < boards.size(); ++k)
        consecutive = consecutive && boards[k].Number == boards[0].Number + k;
    if (consecutive)
        return boards.size() == 1 ? std::to_string(boards[0].Number)
                                  : std::to_string(boards[0].Number) + " to " + std::to_string(boards.back().Number);
    std::string text;
    for (std::size_t k = 0; k < boards.size() && k < 6; ++k) text += (k ? ", " : "") + std::to_string(boards[k].Number);
    return boards.size() > 6 ? text + ", ..." : text;
}

// Why the boards of `input` cannot go as they are numbered to a file that
// numbers its boards by their place from 1, or empty when they can.
std::string PlaceProblem(const std::vector<Board>& boards, const std::string& input) {
    for (std::size_t k = 0; k < boards.size(); ++k) {
        const std::string place = std::to_string(k + 1), number = std::to_string(boards[k].Number);
        if (boards[k].Number == k + 1) continue;
        const std::string with = ", with board " + place + "'s dealer and vulnerability";
        if (k == 0)
            return "the boards of " + input + " start at board " + number + ", which would become board 1" + with;
        return "board " + number + " follows board " + std::to_string(boards[k - 1].Number) + " in " + input +
               " and would become board " + place + with;
    }
    return {};
}

// Numbers the boards 1, 2, 3..., dealer and vulnerability following, and
// says so when any number changes.
void Renumber(std::vector<Board>& boards, const std::string& input, std::vector<std::string>& notes) {
    const std::string were = NumbersText(boards);
    bool changed = false;
    for (std::size_t k = 0; k < boards.size(); ++k) {
        changed = changed || boards[k].Number != k + 1;
        boards[k] = NumberedBoard(boards[k].Hands.data(), k + 1);
    }
    if (changed)
        notes.push_back("the boards of " + input + " are numbered 1 to " + std::to_string(boards.size()) +
                        " in every file written (they were " + were +
                        "): dealer and vulnerability now follow the new numbers");
}

// The bytes of one output: a PBN output of a PBN input keeps its games.
bool OutputBytes(const BoardList& list, BoardFormat format, const std::string& path, std::string& bytes,
                 std::string* error) {
    if (format == BoardFormat::Pbn && list.Pbn) {
        bytes = WritePbnFrom(*list.Pbn, list.Boards);
        return true;
    }
    return FormatBoardFile(list.Boards, format, CodeOf(path), bytes, error);
}

} // namespace

namespace {

using Targets = std::vector<std::pair<std::string, BoardFormat>>;

// The files to write with their formats; empty with `error` set when one
// cannot be written or is named twice.
Targets TargetsOf(const std::vector<std::string>& outputs, std::string& error) {
    Targets targets;
    for (const std::string& out : outputs) {
        const auto f = FormatOfPath(out);
        if (!f) {
            error = UnknownExtension(out);
            return {};
        }
        for (const auto& [named, format] : targets)
            if (named == out) {
                error = out + " is named twice";
                return {};
            }
        targets.emplace_back(out, *f);
    }
    return targets;
}

// Every file is made before any is put in place, so a set that cannot be
// written whole leaves every old file as it was.
void WriteTargets(const BoardList& list, const Targets& targets, const ConvertOptions& options, ConvertResult& result) {
    std::list<CodeLock> locks;
    std::vector<std::string> locked;
    for (const auto& [path, format] : targets) {
        const std::string lock = CodeLockPath(FolderOf(path), CodeOf(path));
        if (std::find(locked.begin(), locked.end(), lock) != locked.end()) continue;
        locked.push_back(lock);
        if (!locks.emplace_back().Acquire(FolderOf(path), CodeOf(path), &result.Error)) return;
    }
    FileSet set;
    for (const auto& [path, format] : targets) {
        std::string bytes, why;
        if (!OutputBytes(list, format, path, bytes, &why)) {
            result.Error = path + ": " + why;
            return;
        }
        const int fd = set.Create(path, &result.Error);
        if (fd < 0) return;
        if (const int err = WriteFully(fd, bytes)) {
            result.Error = UnableToWrite(path, err);
            return;
        }
    }
    if (options.Stop && options.Stop->load()) {
        result.Stopped = true;
        return;
    }
    set.Commit(&result.Error);
}

} // namespace

ConvertResult ConvertBoardFile(const std::string& input, const std::vector<std::string>& outputs,
                               const ConvertOptions& options) {
    ConvertResult result;
    const auto inFormat = FormatOfPath(input);
    if (!inFormat) {
        result.Error = UnknownExtension(input);
        return result;
    }
    const Targets targets = TargetsOf(outputs, result.Error);
    if (!result.Error.empty()) return result;
    BoardList list = ReadBoardFile(input, *inFormat);
    if (!list.Error.empty()) {
        result.Error = list.Error;
        return result;
    }
    result.Problems = std::move(list.Problems);
    result.Notes = std::move(list.Notes);
    if (!result.Problems.empty()) {
        result.Error = input + ": " + std::to_string(result.Problems.size()) +
                       (result.Problems.size() == 1 ? " board" : " boards") +
                       " could not be read, so nothing was converted";
        return result;
    }
    if (list.Boards.empty()) {
        result.Error = "no boards in " + input;
        return result;
    }
    result.Boards = list.Boards.size();
    if (list.Pbn)
        for (const PbnSource::Game& game : list.Pbn->Games) result.Games += game.What == PbnSource::Kind::Board;
    if (options.Renumber) Renumber(list.Boards, input, result.Notes);
    for (const auto& [path, format] : targets)
        if (format == BoardFormat::Dge || format == BoardFormat::Bri)
            if (const std::string why = PlaceProblem(list.Boards, input); !why.empty()) {
                result.Error = path + ": a " + std::string(ExtensionOf(format)) +
                               " file numbers its boards by their place, from 1; " + why;
                result.Renumbers = true;
                return result;
            }
    WriteTargets(list, targets, options, result);
    return result;
}

} // namespace zelv
