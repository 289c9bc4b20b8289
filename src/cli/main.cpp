// zelvano-deal: deals a set of boards from the command line, shows the
// boards of a board file, prints them into PDF, converts them to other
// board files, or says how rare a set-up's hands and boards are. Each
// command is a file of its own; this one only picks it. Exit status: 0
// done, 1 bad input, 2 usage, 3 the attempt limit was reached, 4 the
// classic generator's sequence ran out, 130 interrupted.
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "core/analysis/DoubleDummy.h"

#include <exception>
#include <iostream>
#include <string_view>

namespace {

using namespace zelv::cli;

struct Command {
    std::string_view Name;
    int (*Run)(int argc, char** argv);
};

// Without a command's name the arguments are the deal command's.
constexpr Command NamedCommands[] = {
    {"show", ShowCommand}, {"print", PrintCommand}, {"convert", ConvertCommand}, {"analyse", AnalyseCommand},
    {"odds", OddsCommand}, {"deal", DealCommand},   {"script", ScriptCommand},   {"session", SessionCommand}};

int Dispatch(int argc, char** argv) {
    try {
        if (argc > 1)
            for (const Command& command : NamedCommands)
                if (argv[1] == command.Name) return command.Run(argc - 1, argv + 1);
        return DealCommand(argc, argv);
    } catch (const std::exception& e) {
        zelv::Say(std::cerr, e.what());
        return ExitBadInput;
    }
}

} // namespace

int main(int argc, char** argv) {
    const int status = Dispatch(argc, argv);
    // Stopped, an analysis leaves DDS finishing a board nobody waits for.
    zelv::ExitWithoutWaitingForDds(status);
    return status;
}
