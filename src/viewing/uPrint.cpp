#include "viewing/uPrint.h"

namespace zelv {

TPrintDlg::TPrintDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PrintDlg"));
    setWindowTitle(QStringLiteral("Board Printing"));
}

} // namespace zelv
