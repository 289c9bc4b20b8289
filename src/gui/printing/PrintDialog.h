#pragma once
// The print dialog: whole deals or one seat per document, on paper or into PDF.
// PrintDialog: prints a board file (".DGE", or any of the other formats by its
// extension) as whole deals or one seat per document, on the chosen printer
// or into PDF files.
#include "core/dealing/DealEngine.h"
#include "core/layout/BoardPrinter.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPrinter;
class QPushButton;
class QRadioButton;

namespace zelv {

class PrintCanvas;

class PrintDialog : public QDialog {
    Q_OBJECT
  public:
    explicit PrintDialog(QWidget* parent = nullptr);
    ~PrintDialog() override;
    // Where the dialog asks for the board file generation last named.
    void SetCurrentBoardFileSource(std::function<QString()> source) { currentBoardFile_ = std::move(source); }
    // Another printer than the one chosen with Printer Setup (not owned),
    // e.g. one that writes PDF in a test.
    void SetPrinter(QPrinter* printer) { chosenPrinter_ = printer; }
    QPrinter& Printer();

    QString FileToPrint() const { return fileToPrint_; }
    // Whether Print writes PDF files rather than using a printer: the
    // machine has no printer, or the one chosen prints to a file.
    bool PrintsToPdf();

    void FormActivate();
    void FormClose();
    void OptionRGClick();
    void LoadBtnClick();
    void PrintBtnClick();
    void PreviewBtnClick();
    struct Outcome {
        bool Opened = false;
        QString Error; // "Unable to open <path> (<reason>)" when not opened
        int Documents = 0;
        std::uint64_t Boards = 0;
        std::uint64_t Damaged = 0;
        QStringList LeftOut; // boards the file's reader left out, one message each
    };
    // What Print does, on any canvas; tells the user nothing.
    Outcome PrintOn(PrintCanvas& canvas);
    // The pages of a preview, every document one after another.
    void PaintPreview(QPrinter* printer);

    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // Returns the width the captions need, which the seat box shares.
    int BuildOptionRG();
    void BuildSeatGB(int width);
    void BuildButtons(int rightColumn);
    void ConnectControls();
    PrintRequest Request() const;
    // Hand records: the file's boards analysed on another thread while a
    // progress window offers to cancel. False when cancelled: nothing is
    // printed then.
    bool EnsureAnalysis();
    void ShowDefaultButton();
    QString ProposedPdfName(int seat) const;

    std::function<QString()> currentBoardFile_;
    QPrinter* chosenPrinter_ = nullptr;
    QString fileToPrint_;
    // The analysis of analysedFile_ for hand records, kept from a preview
    // to the print that follows it.
    FileAnalysis analysis_;
    QString analysedFile_;
    QStringList notAnalysed_;

    QGroupBox* OptionRG = nullptr;
    QButtonGroup* optionGroup_ = nullptr;
    QRadioButton* StandardRB = nullptr;
    QRadioButton* PartnershipRB = nullptr;
    QRadioButton* HandRecordsRB = nullptr;
    QGroupBox* SeatGB = nullptr;
    QCheckBox* seatCB_[4]{}; // by seat index
    QPushButton* LoadBtn = nullptr;
    QPushButton* PrintBtn = nullptr;
    QPushButton* PreviewBtn = nullptr;
    QPushButton* HelpBtn = nullptr;
    QPushButton* CloseBtn = nullptr;
};

} // namespace zelv
