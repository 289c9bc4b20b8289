#pragma once
// zelvano-deal script: runs a dealer script.

// Runs `zelvano-deal script FILE ...` (argv[0] is "script"); returns the exit status.
int RunScriptCommand(int argc, char** argv);
