// zelvano-deal convert: a board file written into others, each in the
// format of its extension.
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "core/files/FileUtil.h"
#include "core/formats/BoardSource.h"
#include "core/formats/Convert.h"

#include <iostream>
#include <string>
#include <vector>

namespace zelv::cli {

int ConvertCommand(int argc, char** argv) {
    CLI::App app{"Converts a board file into others, each in the format of its extension (.PBN, .DGE, .BRI,\n"
                 ".DUP or .DLM in any case): zelvano-deal convert FED.PBN ZELV.DGE ZELV.BRI ZELV.DUP\n"
                 "The outputs are put in place together, or none of them when any cannot be written.",
                 "zelvano-deal convert"};
    std::string input;
    std::vector<std::string> outputs;
    ConvertOptions options;
    app.add_option("IN", input, "The board file to read")->required()->type_name("IN");
    app.add_option("OUT", outputs, "The board files to write")->required()->expected(1, -1)->type_name("OUT");
    app.add_flag("--renumber", options.Renumber,
                 "Number the boards 1, 2, 3... in every file written, in the order of IN; dealer and "
                 "vulnerability follow the new numbers. A .DGE or .BRI file numbers its boards so, and takes "
                 "boards numbered otherwise only with it");
    if (const std::optional<int> exit = ParseArguments(app, argc, argv)) return *exit;
    outputs.insert(outputs.begin(), input);
    for (const std::string& path : outputs)
        if (!FormatOfPath(path))
            return UsageError(path + ": the extension names no board file format (" + KnownExtensions() + ")");
    outputs.erase(outputs.begin());
    CatchStopSignals();
    options.Stop = &Interrupted;
    const ConvertResult result = ConvertBoardFile(input, outputs, options);
    for (const std::string& note : result.Notes) Say(std::cerr, note);
    for (const std::string& problem : result.Problems) Say(std::cerr, problem);
    if (result.Stopped) {
        Say(std::cerr, "stopped; no file was written");
        return ExitInterrupted;
    }
    if (result.Renumbers)
        return BadInput(result.Error + ". With --renumber the boards are numbered 1 to " +
                        std::to_string(result.Boards) + " in every file written, dealer and vulnerability following");
    if (!result.Error.empty()) return BadInput(result.Error);
    for (const std::string& path : outputs) {
        std::cout << "Wrote " << Printable(path) << ", " << CountOf(result.Boards, "board", "boards");
        if (FormatOfPath(path) == BoardFormat::Pbn && result.Games > result.Boards)
            std::cout << " (" << result.Games << " games)";
        std::cout << "\n";
    }
    std::cout.flush();
    if (!std::cout) {
        Say(std::cerr, "the files were written, but the summary could not be written to standard output");
        return ExitBadInput;
    }
    return ExitDone;
}

} // namespace zelv::cli
