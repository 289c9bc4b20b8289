#include "gui/viewer/FileAnalyser.h"

#include "core/analysis/KnownAnalysis.h"
#include "core/formats/BoardSource.h"

#include <QMetaObject>
#include <algorithm>
#include <optional>
#include <vector>

namespace zelv {

// What the worker found since it last reported.
struct FileAnalyser::Chunk {
    std::size_t First = 0; // board position of Results[0], from 0
    std::vector<std::optional<BoardAnalysis>> Results;
    std::vector<std::string> Problems;
    std::vector<std::string> Notes;
    std::size_t Done = 0, Total = 0;
    bool Last = false;
    bool Cancelled = false;
};

FileAnalyser::FileAnalyser(QObject* parent) : QObject(parent) {}

FileAnalyser::~FileAnalyser() {
    // Whoever listens may be half destroyed by now.
    blockSignals(true);
    Stop();
}

void FileAnalyser::Stop() {
    if (stop_) stop_->store(true);
    if (worker_.joinable()) worker_.join();
    if (running_) {
        running_ = false;
        cancelled_ = true;
        // Chunks still queued belong to the run just stopped.
        ++run_;
        emit Finished();
    }
}

void FileAnalyser::Cancel() {
    if (stop_) stop_->store(true);
}

void FileAnalyser::Start(const QString& path) {
    Stop();
    path_ = path;
    results_.clear();
    problems_.clear();
    notes_.clear();
    done_ = total_ = 0;
    cancelled_ = false;
    running_ = true;
    stop_ = std::make_shared<std::atomic<bool>>(false);
    const unsigned run = ++run_;
    worker_ = std::thread([this, run, stop = stop_, file = path.toStdString()] {
        auto post = [this, run](std::shared_ptr<Chunk> chunk) {
            QMetaObject::invokeMethod(
                this, [this, run, chunk] { Take(run, chunk); }, Qt::QueuedConnection);
        };
        BoardSource source;
        std::string error;
        if (!source.Open(file, &error)) {
            auto chunk = std::make_shared<Chunk>();
            chunk->Problems.push_back(error);
            chunk->Last = true;
            post(chunk);
            return;
        }
        const std::size_t total = source.BoardCount();
        // A full table takes DDS a good part of a second a board on one core:
        // chunks of two boards a core show the first results within a second
        // or so; a stop gives up the DDS call in flight rather than wait.
        const std::size_t batch = std::clamp<std::size_t>(2 * std::thread::hardware_concurrency(), 4, MaxDdsBatch);
        for (std::size_t first = 0; first < total || first == 0; first += batch) {
            auto chunk = std::make_shared<Chunk>();
            chunk->First = first;
            chunk->Total = total;
            const std::size_t count = std::min(batch, total - first);
            // What the file's PBN games or the cache already hold is not solved again.
            AnalysisReport report =
                AnalyseFileBoards(source, first, count, &AnalysisCache::Shared(), {}, AnalysisBatch(), stop.get());
            chunk->Results = std::move(report.Results);
            chunk->Problems = std::move(report.Problems);
            chunk->Notes = std::move(report.Notes);
            chunk->Done = first + count;
            chunk->Last = chunk->Done >= total;
            chunk->Cancelled = report.Cancelled || (!chunk->Last && stop->load());
            const bool end = chunk->Last || chunk->Cancelled;
            post(std::move(chunk));
            if (end) return;
        }
    });
}

void FileAnalyser::Take(unsigned run, const std::shared_ptr<Chunk>& chunk) {
    if (run != run_ || !running_) return;
    if (results_.size() < chunk->Total) results_.resize(chunk->Total);
    for (std::size_t i = 0; i < chunk->Results.size(); ++i) results_[chunk->First + i] = chunk->Results[i];
    for (const std::string& p : chunk->Problems) problems_ << QString::fromStdString(p);
    for (const std::string& n : chunk->Notes) notes_ << QString::fromStdString(n);
    done_ = chunk->Done;
    total_ = chunk->Total;
    emit Progress(done_, total_);
    if (chunk->Last || chunk->Cancelled) {
        if (worker_.joinable()) worker_.join();
        running_ = false;
        cancelled_ = chunk->Cancelled;
        emit Finished();
    }
}

QString FileAnalyser::ProblemFor(std::uint64_t number) const {
    const QString prefix = QString::fromStdString(NotAnalysed(path_.toStdString(), number, ""));
    for (const QString& p : problems_)
        if (p.startsWith(prefix)) return p.mid(prefix.size());
    return QString();
}

} // namespace zelv

namespace zelv {

QString FileAnalyser::NoteFor(std::uint64_t number) const {
    const QString prefix = path_ + QStringLiteral(": board %1: ").arg(number);
    for (const QString& n : notes_)
        if (n.startsWith(prefix)) return n.mid(prefix.size());
    return QString();
}

} // namespace zelv
