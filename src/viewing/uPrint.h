#pragma once
// TPrintDlg: prints a board file as whole deals or one seat per document.
#include <QDialog>
#include <QString>
#include <functional>

namespace zelv {

class TPrintDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPrintDlg(QWidget* parent = nullptr);
    // Where the dialog asks for the board file generation last named.
    void setCurrentBoardFileSource(std::function<QString()> source) { currentBoardFile_ = std::move(source); }

private:
    std::function<QString()> currentBoardFile_;
};

} // namespace zelv
