#pragma once
// The double-dummy analysis of a whole board file, worked out on a thread of
// its own so that the window that asked for it stays responsive. Results
// arrive a DDS batch at a time, on the thread that owns the analyser.
#include "core/analysis/DoubleDummy.h"
#include "core/layout/BoardPrinter.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

namespace zelv {

class FileAnalyser : public QObject {
    Q_OBJECT
  public:
    explicit FileAnalyser(QObject* parent = nullptr);
    // Stops a running analysis and waits for its thread.
    ~FileAnalyser() override;

    // Analyses every board of the file at `path`, dropping what an earlier
    // start had found.
    void Start(const QString& path);
    // Stops the analysis, giving up the batch DDS is on, and waits for its
    // thread (a few hundredths of a second).
    void Stop();
    // Asks the same without waiting: Finished() follows, Cancelled() true
    // unless the last batch was already done.
    void Cancel();

    bool Running() const { return running_; }
    bool Cancelled() const { return cancelled_; }
    // Boards dealt with so far (analysed or passed over) out of Total().
    std::size_t Done() const { return done_; }
    std::size_t Total() const { return total_; }
    // By the file's board positions; none until analysed, and for a board
    // that could not be.
    const FileAnalysis& Results() const { return results_; }
    // One message per board not analysed, naming the file and the board.
    const QStringList& Problems() const { return problems_; }
    // What was found but not used (a PBN game's analysis that disagrees
    // with itself, a kept table that fails its check); those boards were
    // analysed again.
    const QStringList& Notes() const { return notes_; }
    // What was found but not used for the board numbered `number`, or empty.
    QString NoteFor(std::uint64_t number) const;
    // Why the board numbered `number` was not analysed, or empty.
    QString ProblemFor(std::uint64_t number) const;

  signals:
    // After each batch: its results are already in Results().
    void Progress(qulonglong done, qulonglong total);
    void Finished();

  private:
    struct Chunk;
    void Take(unsigned run, const std::shared_ptr<Chunk>& chunk);

    std::thread worker_;
    std::shared_ptr<std::atomic<bool>> stop_;
    unsigned run_ = 0; // which start the chunks arriving belong to
    QString path_;
    bool running_ = false;
    bool cancelled_ = false;
    std::size_t done_ = 0;
    std::size_t total_ = 0;
    FileAnalysis results_;
    QStringList problems_;
    QStringList notes_;
};

} // namespace zelv
