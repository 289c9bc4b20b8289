#pragma once
// Printing a board file into PDF files without a window: the pages the
// print dialog makes, through the same layout and canvas. The header names
// no Qt type, so the command line can use it as it uses the core.
#include "core/layout/BoardPrinter.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace zelv {

enum class Paper { A4, Letter };

struct PdfPrintJob {
    std::string BoardFile;
    // The PDF of whole deals; a seat's document of partnership practice
    // goes to the same name with "-North" (and so on) before ".pdf".
    std::string Output;
    PrintRequest Request;
    zelv::Paper Paper = Paper::A4;
    // Hand records: the file's boards are analysed first, with this told
    // how far it has gone (and stopped when it says so, or at once when
    // Stop is raised).
    AnalysisProgress Progress;
    // Raised to stop the job (not owned): nothing is then written.
    const std::atomic<bool>* Stop = nullptr;
};

struct PdfPrintResult {
    std::string Error; // empty when every document was written
    struct File {
        std::string Path;
        int Pages = 0;
    };
    std::vector<File> Files;
    std::uint64_t Boards = 0;
    std::uint64_t Damaged = 0; // boards printed from damaged records, marked so
    // Boards the file's reader left out, one message each (naming the file
    // and the board); the others are printed.
    std::vector<std::string> LeftOut;
    // What the reader read otherwise than written, with nothing lost; and
    // analysis found but not used (the boards were analysed again).
    std::vector<std::string> Notes;
    // Hand records: the boards printed without analysis, one message each.
    std::vector<std::string> NotAnalysed;
    bool Cancelled = false; // the analysis or the job was stopped; nothing was printed
};

// The file of the document for `seat` (a seat index, or -1 for whole deals).
std::string PdfNameFor(const std::string& output, int seat);

// Prints every board of the file, of any of the five formats by its
// extension. Fails, writing nothing, when the file cannot be read or holds
// no whole board ("no boards in <file>"); a file that cannot be written
// whole is "Unable to write to <path> (<reason>)", and then no file is
// written (the documents of all seats are put in place together, or none).
// Needs a QGuiApplication.
PdfPrintResult PrintBoardFileToPdf(const PdfPrintJob& job);
// The same from a program that has none: starts one on the offscreen
// platform for the length of the job.
PdfPrintResult PrintBoardFileToPdfWithoutWindow(const PdfPrintJob& job);

} // namespace zelv
