#pragma once
// TViewHandDlg: steps through the boards of a board file.
#include <QDialog>
#include <QString>

namespace zelv {

class TViewHandDlg : public QDialog {
    Q_OBJECT
public:
    explicit TViewHandDlg(QWidget* parent = nullptr);
    // The board file to show, as chosen in the main window's file dialog.
    void setBoardFileName(const QString& path) { boardFileName_ = path; }
    QString boardFileName() const { return boardFileName_; }

private:
    QString boardFileName_;
};

} // namespace zelv
