// zelvano-deal analyse: a PBN file of a board file's boards, each with its
// double-dummy analysis.
#include "cli/BoardText.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "core/formats/BoardSource.h"

#include <iostream>

namespace zelv::cli {

int AnalyseCommand(int argc, char** argv) {
    CLI::App app{"Writes a PBN file of the boards of a board file (.DGE, .BRI, .DUP, .DLM or .PBN), each with\n"
                 "its double-dummy analysis: the tricks each declarer makes in each strain, and the par result.",
                 "zelvano-deal analyse"};
    std::string path, output;
    app.add_option("FILE", path, "The board file to read")->required()->type_name("FILE");
    app.add_option("-o,--output", output, "The PBN file to write")->required()->type_name("OUT.PBN");
    if (const std::optional<int> exit = ParseArguments(app, argc, argv)) return *exit;
    if (FormatOfPath(output) != BoardFormat::Pbn)
        return UsageError("--output: the analysis is written as PBN; name a .PBN file, not " + output);
    CatchStopSignals();
    const AnalysisProgress line = AnalysisProgressLine();
    const int status = WriteAnalysedPbn(
        path, output, std::cout, std::cerr,
        [&line](std::size_t done, std::size_t total) { return line ? line(done, total) : !Interrupted.load(); },
        &Interrupted);
    return Interrupted.load() ? ExitInterrupted : status;
}

} // namespace zelv::cli
