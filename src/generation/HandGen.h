#pragma once
// THandGenDlg: the board generation dialog.
#include <QDialog>
#include <QString>

namespace zelv {

class THandGenDlg : public QDialog {
    Q_OBJECT
public:
    explicit THandGenDlg(QWidget* parent = nullptr);
    // The board file the next (or last) run writes: HandsFolder/code.DGE.
    QString CurrentBoardFileName() const;
};

} // namespace zelv
