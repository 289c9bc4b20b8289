#include "formats/Convert.h"

#include "engine/CodeLock.h"
#include "engine/FileSet.h"
#include "engine/FileUtil.h"
#include "formats/BoardSource.h"

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

} // namespace

ConvertResult ConvertBoardFile(const std::string& input, const std::vector<std::string>& outputs,
                               const std::atomic<bool>* stop) {
    ConvertResult result;
    const auto inFormat = FormatOfPath(input);
    if (!inFormat) {
        result.Error = UnknownExtension(input);
        return result;
    }
    std::vector<std::pair<std::string, BoardFormat>> targets;
    for (const std::string& out : outputs) {
        const auto f = FormatOfPath(out);
        if (!f) {
            result.Error = UnknownExtension(out);
            return result;
        }
        for (const auto& [named, format] : targets)
            if (named == out) {
                result.Error = out + " is named twice";
                return result;
            }
        targets.emplace_back(out, *f);
    }
    BoardList list = ReadBoardFile(input, *inFormat);
    if (!list.Error.empty()) {
        result.Error = list.Error;
        return result;
    }
    result.Problems = std::move(list.Problems);
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

    // Every file is made before any is put in place, so a set that cannot
    // be written whole leaves every old file as it was.
    std::list<CodeLock> locks;
    std::vector<std::string> locked;
    for (const auto& [path, format] : targets) {
        const std::string lock = CodeLockPath(FolderOf(path), CodeOf(path));
        if (std::find(locked.begin(), locked.end(), lock) != locked.end()) continue;
        locked.push_back(lock);
        if (!locks.emplace_back().Acquire(FolderOf(path), CodeOf(path), &result.Error)) return result;
    }
    tFileSet set;
    for (const auto& [path, format] : targets) {
        std::string bytes, why;
        if (!FormatBoardFile(list.Boards, format, CodeOf(path), bytes, &why)) {
            result.Error = path + ": " + why;
            return result;
        }
        const int fd = set.Create(path, &result.Error);
        if (fd < 0) return result;
        if (const int err = WriteFully(fd, bytes)) {
            result.Error = UnableToWrite(path, err);
            return result;
        }
    }
    if (stop && stop->load()) {
        result.Stopped = true;
        return result;
    }
    set.Commit(&result.Error);
    return result;
}

} // namespace zelv
