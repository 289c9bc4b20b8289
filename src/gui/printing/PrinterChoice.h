#pragma once
// The printer chosen with SetUp | Printer Setup, which board printing uses.
class QPrinter;

namespace zelv {

// The one printer object of the run, created on first use with the
// system's default printer (or PDF output when there is none).
QPrinter* ChosenPrinter();
// True once the user has confirmed the printer set-up dialog.
bool PrinterWasChosen();
void SetPrinterWasChosen(bool chosen);

} // namespace zelv
