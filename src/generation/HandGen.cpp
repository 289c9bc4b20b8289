#include "generation/HandGen.h"

#include "engine/FileUtil.h"
#include "engine/Settings.h"

namespace zelv {

THandGenDlg::THandGenDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("HandGenDlg"));
    setWindowTitle(QStringLiteral("Board Generation"));
}

QString THandGenDlg::CurrentBoardFileName() const {
    const tSettings& s = SharedSettings();
    return QString::fromStdString(JoinPath(s.HandsFolder, s.DefaultFileCode + std::string(ExtBoards)));
}

} // namespace zelv
