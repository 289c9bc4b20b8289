#include "viewing/viewhand.h"

namespace zelv {

TViewHandDlg::TViewHandDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ViewHandDlg"));
    setWindowTitle(QStringLiteral("View Boards:"));
}

} // namespace zelv
