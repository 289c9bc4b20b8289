#pragma once
// A session (".SES"): one evening's boards made of several set-ups dealt
// into one set. The file is INI like the generator files:
//
//   [Session]
//   Parts=3          how many [PartN] sections follow, numbered from 1
//   Secure=0 PBN=1 Analysis=0 DUP=0 DLM=0 Mix=0 FirstBoard=1
//   [Part1]
//   Name=1NT openers (optional; the generator file's name without extension)
//   Generator=1NT.GEN (relative names are read from the session file's folder)
//   Boards=8
//
// A part may name another session file instead of a generator file; its
// parts take that part's place, in order, and its own Boards is ignored.
#include "core/setup/GeneratorFile.h"

#include <string>
#include <vector>

namespace zelv {

struct SessionPart {
    std::string Name;      // shown in progress and written to each board's PBN game
    std::string Generator; // as written in the file (or on the command line)
    std::string Path;      // Generator resolved against the session file's folder
    int Boards = 0;
    GeneratorSetup Setup; // read from Path
};

struct SessionOptions {
    bool Secure = false;
    bool Pbn = true;
    bool Analysis = false;
    bool Dup = false;
    bool Dlm = false;
    bool Mix = false; // the parts' boards in a random order, numbered afterwards
    long long FirstBoard = 1;
    bool operator==(const SessionOptions&) const = default;
};

struct Session {
    std::vector<SessionPart> Parts;
    SessionOptions Options;
    long long TotalBoards() const;
};

// Most boards one part, and one session, may ask for.
inline constexpr int MaxSessionBoards = 1'000'000;

// Reads `path` and every generator file its parts name. False, with the
// reason naming the file and the part, for a missing or unreadable file, a
// session without parts, a count that is not a whole number of boards, a
// missing or bad generator file, or a session that names itself.
bool ReadSessionFile(const std::string& path, Session& session, std::string* error);
// Writes the options and each part's Name, Generator and Boards (not the
// set-ups, which stay in their generator files); all or nothing.
bool WriteSessionFile(const std::string& path, const Session& session, std::string* error);

// Reads the generator file `part.Path` into `part.Setup`. False, with
// "<where>: " (when given) and the reason, for a missing file (which would otherwise read as
// the defaults) or one that is no generator file.
bool ReadPartSetup(SessionPart& part, const std::string& where, std::string* error);

// "GEN:COUNT" as given to `deal --part`: the generator file (relative to
// the current folder) and its number of boards, the file read. False, with
// the reason, when the text has no count or the file cannot be read.
bool ReadPartArgument(const std::string& argument, SessionPart& part, std::string* error);

} // namespace zelv
