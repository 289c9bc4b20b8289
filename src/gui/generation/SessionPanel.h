#pragma once
// SessionPanel: the generation dialog's Session view. A list of parts, each
// a generator file with its number of boards, dealt one after the other
// into one set; the buttons that build it, the session file it is saved to
// and loaded from, and the odds of each part with the session's time,
// worked out on a thread of its own a moment after each change.
#include "core/setup/SessionFile.h"

#include <QString>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QShowEvent;
class QTableWidget;
class QTimer;

namespace zelv {

class SessionPanel : public QWidget {
    Q_OBJECT
  public:
    // `currentSetupFile` gives the generator file that holds the dialog's
    // set-up as it stands, offering to save it first; "" when the user
    // cancels. `options` gives the session's options as the dialog's
    // controls hold them (all but Mix, which the panel holds).
    SessionPanel(std::function<QString()> currentSetupFile, std::function<SessionOptions()> options,
                 QWidget* parent = nullptr);
    ~SessionPanel() override;

    bool IsEmpty() const { return parts_.empty(); }
    long long TotalBoards() const;
    // The parts as listed, each set-up read again from its generator file
    // (what the file holds now is what is dealt), with the dialog's options
    // and Mix. False, with the reason naming the part and its file.
    bool CurrentSession(Session& session, QString* error) const;
    // Adds a part for the generator file at `path`, with the number of
    // boards the file asks for; false after saying why it cannot be read.
    bool AddGeneratorFile(const QString& path);

    // Keeps the list as it is while a run deals it.
    void SetRunning(bool on);
    // Works the odds out again a moment from now, so that a burst of
    // changes is counted once; StopEstimate ends a count in hand.
    void EstimateLater();
    void StopEstimate();

  signals:
    // The parts, a count or Mix changed.
    void changed();
    // A session file was loaded: its options for the dialog's controls.
    void optionsLoaded(const SessionOptions& options);
    // Each time the estimate is shown.
    void estimateShown();

  protected:
    // Each showing works the odds out again: the generator files may have changed.
    void showEvent(QShowEvent* event) override;

  private:
    void BuildList();
    QLayout* BuildButtons();
    void ShowParts(int selected);
    void ShowTotal();
    void UpdateButtons();
    int SelectedRow() const;
    void AddCurrentSetup();
    void ChooseGeneratorFile();
    void RemovePart();
    void MovePart(int by);
    void SaveSession();
    void LoadSession();
    void PartsChanged();
    void UpdateEstimate();
    void ShowEstimate(std::uint64_t job, const QString& text);

    std::function<QString()> currentSetupFile_;
    std::function<SessionOptions()> options_;
    std::vector<SessionPart> parts_; // Path absolute; Setup read again when dealt
    QString sessionFile_;            // the file last loaded or saved, proposed on the next Save
    bool running_ = false;
    bool filling_ = false; // while the list is rebuilt, which is no edit

    QTableWidget* SessionList = nullptr;
    QPushButton* AddCurrentSetupBtn = nullptr;
    QPushButton* AddGeneratorBtn = nullptr;
    QPushButton* RemovePartBtn = nullptr;
    QPushButton* PartUpBtn = nullptr;
    QPushButton* PartDownBtn = nullptr;
    QPushButton* SaveSessionBtn = nullptr;
    QPushButton* LoadSessionBtn = nullptr;
    QLabel* SessionTotalLbl = nullptr;
    QCheckBox* MixBoardsCB = nullptr;
    QLabel* SessionOddsLbl = nullptr;

    QTimer* estimateTimer_ = nullptr;
    std::thread estimateWorker_;
    std::atomic<bool> estimateStop_{false};
    std::uint64_t estimateJob_ = 0;
    double analysisSecondsPerBoard_ = 0; // measured once, when first wanted
};

} // namespace zelv
