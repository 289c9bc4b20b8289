#pragma once
// The board viewer: one board at a time with its double-dummy analysis.
// BoardViewer: steps through the boards of a board file (".DGE", or any of
// the other formats by its extension), one deal diagram at a time; when
// asked, with each board's double-dummy tricks, par and points below it, the
// whole file analysed in the background from the moment it opens.
#include "core/dealing/DealEngine.h"
#include "core/formats/BoardSource.h"

#include <QDialog>
#include <QString>
#include <cstdint>
#include <memory>

class QAbstractButton;
class QCheckBox;
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QSize;

namespace zelv {

class FileAnalyser;

class BoardViewer : public QDialog {
    Q_OBJECT
  public:
    explicit BoardViewer(QWidget* parent = nullptr);
    ~BoardViewer() override;
    // The board file to show, as chosen in the main window's file dialog.
    void SetBoardFileName(const QString& path) { boardFileName_ = path; }
    QString BoardFileName() const { return boardFileName_; }

    std::uint64_t CurrentBoard() const { return currentBoard_; }
    std::uint64_t BoardCount() const { return boardCount_; }

    void FormActivate();
    void FormClose();
    void NextBtnClick(QObject* sender);
    void LeftBtnClick(QObject* sender);
    // Board n into the board shown; false when the record is damaged or
    // could not be read (a board that cannot be read shows empty).
    bool ReadBoard(std::uint64_t n);
    void DisplayBoard();
    void ClearHands();
    // Shows or hides the analysis below the diagram, starting it for the
    // open file when it has not started yet.
    void AnalysisCBClick();
    const FileAnalyser& Analysis() const { return *analyser_; }

    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // The form's own size, which the window is never made smaller than.
    void SetContentSize(const QSize& size);
    void PlaceContent();
    void BuildDiagram();
    void BuildDamagedLabel();
    // Returns the right-hand edge of the widest caption beside the buttons.
    int BuildStepButtons();
    void BuildCloseButton();
    void ConnectButtons();
    void ConnectKeys();
    void ShowBoardNumber();
    void BuildAnalysisPanel();
    void StartAnalysis();
    // The current board's tricks, par and points, as far as they are known.
    void ShowAnalysis();
    void ShowAnalysisProgress();

    QString boardFileName_;
    BoardSource::Shown board_; // the board shown
    BoardSource file_;
    std::uint64_t currentBoard_ = 1;
    std::uint64_t boardCount_ = 0;

    QWidget* content_ = nullptr; // everything the form shows, at its design size
    QFrame* BoardPanel = nullptr;
    QLabel* BoardNumberPanel = nullptr;
    QLabel* BoardCountPanel = nullptr;
    QLabel* DealerPanel = nullptr;
    QLabel* VulnerablePanel = nullptr;
    QLabel* DamagedLbl = nullptr;
    QLabel* holdings_[4][4]{}; // [seat index][suit]
    QPushButton* NextBtn = nullptr;
    QPushButton* BackBtn = nullptr;
    QPushButton* FirstBtn = nullptr;
    QPushButton* LastBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    QCheckBox* AnalysisCB = nullptr;
    QFrame* AnalysisPanel = nullptr;
    QLabel* tricks_[4][5]{}; // [seat index][strain]
    QLabel* points_[4]{};    // [seat index]
    QLabel* ParLbl = nullptr;
    QLabel* AnalysisStatusLbl = nullptr;
    QProgressBar* AnalysisBar = nullptr;
    FileAnalyser* analyser_ = nullptr;
    bool analysisStarted_ = false; // for the file open now
};

} // namespace zelv
