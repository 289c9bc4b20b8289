// zelvano-deal print: the boards of a board file printed into PDF, as the
// print dialog prints them.
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "core/files/FileUtil.h"
#include "core/formats/BoardSource.h"
#include "print/PdfPrint.h"

#include <iostream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace zelv::cli {

namespace {

// The seats of --seats ("N,S", "north, east") marked in `job`; a refusal
// naming the item that is no seat, or "".
std::string TakeSeats(const std::string& seatsText, PdfPrintJob& job) {
    std::size_t start = 0;
    while (start <= seatsText.size()) {
        const std::size_t comma = seatsText.find(',', start);
        const std::string item =
            TrimBlanks(seatsText.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        int seat = -1;
        for (int s = 0; s < 4; ++s)
            if (EqualsNoCase(item, SeatNames[s]) || EqualsNoCase(item, SeatNames[s].substr(0, 1))) seat = s;
        if (seat < 0) return "--seats: '" + item + "' is not a seat (N, E, S or W)";
        job.Request.Seats[static_cast<std::size_t>(seat)] = true;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return {};
}

#ifdef ZELV_WITH_PRINT
bool SameFile(const std::string& a, const std::string& b) {
    struct stat x {};
    struct stat y {};
    return ::stat(a.c_str(), &x) == 0 && ::stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

// Why the PDF files of a print may not be written where -o puts them: a
// board file's name, or the file being printed (through any link).
std::string PdfOutputRefusal(const std::string& input, const PdfPrintJob& job) {
    std::vector<std::string> documents{job.Output};
    if (job.Request.Option == PrintOption::Partnership)
        for (int seat = 0; seat < 4; ++seat)
            if (job.Request.Seats[static_cast<std::size_t>(seat)]) documents.push_back(PdfNameFor(job.Output, seat));
    for (const std::string& document : documents) {
        if (const auto format = FormatOfPath(document))
            return "--output: " + document + " would be a PDF in a board file's name (" +
                   std::string(ExtensionOf(*format)) + "); name a .pdf file";
        if (SameFile(document, input)) return "--output: " + document + " is the file being printed";
    }
    return {};
}
#endif

// Prints the job and says what was written; the exit status.
int PrintJob(const std::string& path, const PdfPrintJob& job) {
#ifdef ZELV_WITH_PRINT
    if (const std::string why = PdfOutputRefusal(path, job); !why.empty()) return UsageError(why);
    const PdfPrintResult result = PrintBoardFileToPdfWithoutWindow(job);
    if (result.Cancelled) {
        Say(std::cerr, "stopped before every board of " + path + " was printed; nothing was written");
        return ExitInterrupted;
    }
    for (const std::string& note : result.Notes) Say(std::cerr, note);
    for (const std::string& problem : result.NotAnalysed) Say(std::cerr, problem);
    for (const auto& file : result.Files) std::cout << WrotePagesText(Printable(file.Path), file.Pages) << "\n";
    std::cout.flush();
    for (const std::string& left : result.LeftOut) Say(std::cerr, left);
    if (!result.Error.empty()) return BadInput(result.Error);
    if (!result.LeftOut.empty()) return ExitBadInput;
    if (!result.NotAnalysed.empty() && result.Damaged == 0) return ExitBadInput;
    if (result.Damaged != 0) {
        Say(std::cerr, path + ": " + DamagedPrintedText(result.Damaged));
        return ExitBadInput;
    }
    return ExitDone;
#else
    (void)path;
    (void)job;
    return BadInput("this zelvano-deal was built without printing (no Qt)");
#endif
}

} // namespace

int PrintCommand(int argc, char** argv) {
    CLI::App app{"Prints the boards of a board file (.DGE, .BRI, .DUP, .DLM or .PBN) into PDF, as the print\n"
                 "dialog does: whole deals sixteen to a page, for partnership practice one document per seat\n"
                 "(OUT-North.pdf, ...), or hand records six to a page with each board's double-dummy analysis.",
                 "zelvano-deal print"};
    std::string path, output, layout = "standard", seatsText = "N", paper = "a4";
    app.add_option("FILE", path, "The board file to print")->required()->type_name("FILE");
    app.add_option("-o,--output", output, "The PDF file to write")->required()->type_name("OUT.pdf");
    app.add_option("--layout", layout,
                   "standard (whole deals, the default), partnership, or records (hand records: points, "
                   "double-dummy tricks and par)")
        ->check(CLI::IsMember({"standard", "partnership", "records"}));
    app.add_option("--seats", seatsText, "Partnership practice: the seats to print, e.g. N,S (default N)")
        ->type_name("N,S,E,W");
    app.add_option("--paper", paper, "a4 (the default) or letter")->check(CLI::IsMember({"a4", "letter"}));
    if (const std::optional<int> exit = ParseArguments(app, argc, argv)) return *exit;
    PdfPrintJob job;
    job.BoardFile = path;
    job.Output = output;
    job.Paper = paper == "letter" ? Paper::Letter : Paper::A4;
    job.Request.Option = layout == "partnership" ? PrintOption::Partnership
                         : layout == "records"   ? PrintOption::HandRecords
                                                 : PrintOption::Standard;
    CatchStopSignals();
    job.Stop = &Interrupted;
    if (job.Request.Option == PrintOption::HandRecords) {
        // Minutes of analysis are not spent on a file that cannot be written.
        if (std::string error; !CanWriteFile(output, &error)) return BadInput(error);
        const AnalysisProgress line = AnalysisProgressLine();
        job.Progress = [line](std::size_t done, std::size_t total) {
            return line ? line(done, total) : !Interrupted.load();
        };
    }
    if (const std::string why = TakeSeats(seatsText, job); !why.empty()) return UsageError(why);
    return PrintJob(path, job);
}

} // namespace zelv::cli
