#include "gui/printing/PrinterChoice.h"

#include <QPrinter>
#include <memory>

namespace zelv {

namespace {
bool chosen = false;
}

QPrinter* ChosenPrinter() {
    static std::unique_ptr<QPrinter> printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return printer.get();
}

bool PrinterWasChosen() { return chosen; }
void SetPrinterWasChosen(bool value) { chosen = value; }

} // namespace zelv
