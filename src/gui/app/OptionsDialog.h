#pragma once
// OptionsDialog: shows the three working folders and sets the file code
// that names the output files of a run.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zelv {

class LimitedEdit;

class OptionsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit OptionsDialog(QWidget* parent = nullptr);

  public slots:
    void OKBtnClick();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void FormActivate();

    LimitedEdit* FileCode = nullptr;
    QLineEdit* HDefEB = nullptr;
    QLineEdit* HGenEB = nullptr;
    QLineEdit* HandEB = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
};

} // namespace zelv
