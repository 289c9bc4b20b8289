// zelvano-deal show: the boards of a board file on standard output.
#include "cli/BoardText.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"

#include <iostream>

namespace zelv::cli {

int ShowCommand(int argc, char** argv) {
    CLI::App app{"Prints the boards of a board file (.DGE, .BRI, .DUP, .DLM or .PBN) to standard output.",
                 "zelvano-deal show"};
    std::string path, format = "pbn";
    bool analysis = false;
    app.add_option("FILE", path, "The board file to read")->required()->type_name("FILE");
    app.add_option("--format", format, "pbn (the default) or text, for diagrams")
        ->check(CLI::IsMember({"pbn", "text"}));
    app.add_flag("--dd", analysis,
                 "With each board its double-dummy analysis: the tricks each declarer makes in each strain and "
                 "the par result (PBN tags, or lines under the diagram)");
    if (const std::optional<int> exit = ParseArguments(app, argc, argv)) return *exit;
    // Standard output past a file-size limit is a write that fails and is said.
    IgnoreFileSizeLimitSignal();
    return ShowBoardFile(path, format == "text" ? ShowFormat::Text : ShowFormat::Pbn, std::cout, std::cerr, analysis,
                         analysis ? AnalysisProgressLine() : AnalysisProgress{});
}

} // namespace zelv::cli
