#include "core/analysis/DoubleDummy.h"
#include "gui/app/MainWindow.h"

int main(int argc, char** argv) {
    const int status = zelv::RunZelvano(argc, argv);
    // A run or viewer stopped mid-analysis leaves DDS finishing a board nobody waits for.
    zelv::ExitWithoutWaitingForDds(status);
    return status;
}
