#pragma once
// The commands of zelvano-deal, one file each. Each reads its own arguments
// (argv[0] is the command's name) and returns the exit status.
#include "cli/DealOptions.h"
#include "core/setup/SessionFile.h"

namespace zelv::cli {

int DealCommand(int argc, char** argv);
int ShowCommand(int argc, char** argv);
int ConvertCommand(int argc, char** argv);
int PrintCommand(int argc, char** argv);
int AnalyseCommand(int argc, char** argv);
int OddsCommand(int argc, char** argv);
int ScriptCommand(int argc, char** argv);
int SessionCommand(int argc, char** argv);

// Deals `session` into one set, with what `line` says of the run: folders,
// file code, seed or secure source, threads, attempt limit, and the files,
// first board and mixing it asks for besides the session's own. `line`'s
// set-up (seats, generator, boards) is not used. The exit status.
int DealSession(Session session, DealCommandLine line, bool quiet);

} // namespace zelv::cli
