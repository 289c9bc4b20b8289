#pragma once
// GenerationDialog: the board generation dialog. Each seat takes any hand or up
// to five hand definitions; Deal runs the deal on a worker thread so the
// window stays live, shows its progress and can be stopped.
#include "core/dealing/DealRun.h"
#include "core/setup/GeneratorFile.h"
#include "core/setup/SessionFile.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

class QCheckBox;
class QFrame;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;
class QToolButton;
class QVBoxLayout;

namespace zelv {

class ClearAllUndo;
class ClickLabel;
class ConditionBox;
class DropDownCombo;
class SessionPanel;

class GenerationDialog : public QDialog {
    Q_OBJECT
  public:
    explicit GenerationDialog(QWidget* parent = nullptr);
    ~GenerationDialog() override;

    // The bare name of the board file the next (or last) run writes in the
    // Hands folder ("ZELV.DGE"), as of the last showing or Change File;
    // empty until the dialog is first shown.
    QString CurrentBoardFileName() const { return boardFileName_; }
    // The same file with the Hands folder in front; empty until first shown.
    QString CurrentBoardFilePath() const;

    // The generator runs continue (the session's one); without it each run
    // starts from the clock.
    void setRandom(ClassicRandom* random) { random_ = random; }

    // True from Deal until the run has ended and its files are in place.
    bool IsDealing() const { return running_; }

    // Closing stops a run first and waits for it.
    void done(int result) override;

    // Works out the odds of the set-up now rather than a moment after the
    // last change; they arrive from a worker (oddsShown is emitted).
    void UpdateOdds();

  signals:
    // Each time the odds line and the estimate are shown.
    void oddsShown();

    // After every run, whatever its outcome, once the files are in place.
    void dealFinished();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // Clockwise page order, as the tabs show the seats.
    struct SeatControls {
        int Seat = North;
        QChar Letter;
        QCheckBox* AnyHand = nullptr;
        QCheckBox* Summary = nullptr;
        std::array<DropDownCombo*, 5> Conditions{};
    };

    void FormCreate();
    void WatchForEdits();
    // The Set-up page (the seat tabs and the condition) and the Session page.
    QTabWidget* BuildViews();
    void ConnectSessionView();
    bool SessionShown() const;
    // What belongs to one set-up only is kept from use while the Session
    // page is shown, and while a run deals.
    void ShowView();
    QTabWidget* BuildSeatPages();
    QWidget* BuildSeatPage(SeatControls& seat, const QString& name);
    QFrame* BuildSummaryStrip(QWidget* parent);
    QHBoxLayout* BuildOptionRow();
    QVBoxLayout* BuildOddsRows();
    QHBoxLayout* BuildOutputRow();
    QHBoxLayout* BuildProgressRow();
    QHBoxLayout* BuildTimesRow();
    QLabel* BuildFilesLabel();
    QHBoxLayout* BuildButtons();
    void FormActivate();
    void SetDefaultValues();
    void AnyHandCBClick(SeatControls& seat);
    void ConditionCBClick(DropDownCombo* combo);
    void SeedCBClick();
    void LoadBtnClick();
    void SaveBtnClick();
    void ChangeFileBtnClick();
    void DealBtnClick();
    // Deals the Session page's parts into one set.
    void DealSession();
    // Clears the last run's figures and says when this one starts.
    void ShowRunStarting();
    // The generator file that holds the set-up as it stands, after offering
    // to save it; "" when the user cancels.
    QString SetupFileForSession();
    SessionOptions SessionOptionsShown() const;
    void ApplySessionOptions(const SessionOptions& options);
    // The set-up's options, with the Session page's boards when it is shown:
    // what the notices and Deal's question weigh.
    GeneratorOptions OptionsToDeal() const;
    // "Part 2 (weak twos) · " while a session's part is dealt; "" otherwise.
    QString PartBeingDealt(const DealProgress& progress) const;
    // Asks before a run of `boards` would replace a set that holds boards,
    // or would leave out a machine file (`notices`); false: do not deal.
    bool MayReplaceBoards(long long boards, const QStringList& notices);
    // The first board's number as typed (empty is 1); 0 after saying what is wrong.
    std::uint64_t FirstBoardNumber();
    // Leaves out of `options` the ticked machine files a set of `boards`
    // from `first` cannot number (said under the odds and asked at Deal).
    void DropMachineFilesTooSmall(DealRunOptions& options);
    // Clears the set-up; what puts it back.
    std::function<void()> ClearBtnClick();
    void ClearRunFigures();
    // The notices under the odds, for the fields as they stand.
    void ShowNotices();
    // A field changed by the user: the title no longer names a file.
    void SetupEdited();

    // Applies a set-up read from a generator file, seat by seat, and its
    // options; the title is left to the caller.
    void LoadGeneratorFile(const GeneratorSetup& setup);
    // Says which definitions the loaded file `path` names that the folder
    // lacks, and keeps Deal from dealing their seats until they are chosen
    // again.
    void RefuseMissingDefinitions(const QString& path, const GeneratorSetup& setup);
    // The missing definitions of seats not chosen again since the Load, said
    // with an error; false then.
    bool NoDefinitionMissing();
    void SaveGeneratorFile(const QString& path);
    GeneratorSetup CurrentSetup() const;
    DealSetup CurrentDealSetup() const;
    SeatControls& SeatOf(int seatIndex);
    void FillCombo(DropDownCombo* combo);
    void ShowFileCode();
    void FitCombosToNames();
    void ShowFilesWritten(const DealRunResult& result);
    void ClearAllCombos();

    void StartRun(const DealRunOptions& options);
    void StopRun();
    void ShowProgress(std::uint64_t run, const DealProgress& progress);
    void ShowRate(std::uint64_t attempts, double seconds);
    void RunEnded(std::uint64_t run);
    void FinishRun(bool quiet);
    void SetRunning(bool on);
    // Whether the PBN file, when written, can number `boards` boards from
    // `first`; false after saying why.
    bool PbnNumbersFit(std::uint64_t first, std::uint64_t boards);
    // A seat none of whose definitions (levelled: any of whose definitions)
    // accepts a hand, said with its reason; false after saying so.
    bool SetupCanBeDealt(const DealRunOptions& options);
    void OddsLater();
    void StopOdds();
    void ShowOdds(std::uint64_t job, const QString& seats, const QString& estimate, bool final);
    // On the odds worker: `known`, or else the seconds a board's analysis
    // takes, measured now and kept for the session (0 when stopped first).
    double AnalysisSecondsPerBoard(double known);
    void ShowShares(const AlternativeShares& shares);

    std::array<SeatControls, 4> seats_; // North, East, South, West
    QTabWidget* ViewTabs = nullptr;     // the Set-up page and the Session page
    QTabWidget* MainTabSheet = nullptr;
    SessionPanel* SessionView = nullptr;
    ConditionBox* ConditionPanel = nullptr; // a condition across seats, below the seat tabs
    QCheckBox* SeedCB = nullptr;
    QCheckBox* PbnCB = nullptr;
    QCheckBox* DoubleDummyCB = nullptr;
    QCheckBox* DupCB = nullptr;
    QCheckBox* DlmCB = nullptr;
    QCheckBox* SecureCB = nullptr;
    QCheckBox* LevelCB = nullptr;
    QLabel* OddsLbl = nullptr;
    QLabel* EstimateLbl = nullptr;
    QLabel* SharesLbl = nullptr;
    QLabel* NoticeLbl = nullptr;
    QLabel* SavePanel = nullptr;
    ClickLabel* ChangeFilePanel = nullptr;
    QToolButton* ChangeFileBtn = nullptr;
    QLineEdit* NumberBoardsEB = nullptr;
    QLineEdit* FirstBoardEB = nullptr;
    QProgressBar* ProgBar = nullptr;
    QLabel* Counter = nullptr;
    QLabel* RateLbl = nullptr;
    QLabel* StartLbl = nullptr;
    QLabel* FinishLbl = nullptr;
    QLabel* FilesLbl = nullptr;
    QPushButton* LoadBtn = nullptr;
    QPushButton* SaveBtn = nullptr;
    QPushButton* HelpBtn = nullptr;
    QPushButton* DealBtn = nullptr;
    QPushButton* ClearBtn = nullptr;
    QPushButton* CloseBtn = nullptr;

    QStringList names_; // definition names, built on each showing
    // Seat index and text of each definition a loaded generator file names
    // and the folder lacks, until its seat is chosen again.
    std::vector<std::pair<int, QString>> missing_;
    QString boardFileName_; // file code + ".DGE"
    QString changeFolder_;  // where Change File starts
    bool seedFirst_ = true; // the engine's SeedFirst, as SeedCB says
    // The set-up and title as the last showing left them, for the next one.
    std::optional<GeneratorSetup> session_;
    QString sessionTitle_;
    // The generator file the fields hold, while they hold it (as the title says).
    QString setupFile_;
    // Set while the dialog itself fills the fields, which is no edit.
    bool applying_ = false;
    ClearAllUndo* clearUndo_ = nullptr;
    ClassicRandom* random_ = nullptr;

    // The run on the worker thread.
    std::thread worker_;
    std::atomic<bool> stop_{false};
    bool running_ = false;
    std::uint64_t runId_ = 0;
    std::int64_t requested_ = 0;
    DealRunResult result_; // written by the worker, read after join
    DealSetup runSetup_;   // the running set-up, to name its alternatives
    Session runSession_;   // the session being dealt, to name its parts; no parts for one set-up

    // The odds, worked out on a worker of their own a moment after a change.
    QTimer* oddsTimer_ = nullptr;
    std::thread oddsWorker_;
    std::atomic<bool> oddsStop_{false};
    std::uint64_t oddsJob_ = 0;
    // Seconds a board's double-dummy analysis takes, once known (0 before).
    double analysisSecondsPerBoard_ = 0;
};

} // namespace zelv
