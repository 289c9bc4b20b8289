#pragma once
// The commands of zelvano-deal, one file each. Each reads its own arguments
// (argv[0] is the command's name) and returns the exit status.

namespace zelv::cli {

int DealCommand(int argc, char** argv);
int ShowCommand(int argc, char** argv);
int ConvertCommand(int argc, char** argv);
int PrintCommand(int argc, char** argv);
int AnalyseCommand(int argc, char** argv);
int OddsCommand(int argc, char** argv);
int ScriptCommand(int argc, char** argv);

} // namespace zelv::cli
