#include "gui/generation/SessionPanel.h"

#include "core/analysis/DoubleDummy.h"
#include "core/files/FileUtil.h"
#include "core/settings/Settings.h"
#include "core/setup/SessionSetup.h"
#include "gui/widgets/LocaleNumbers.h"
#include "gui/widgets/Prompts.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace zelv {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QString& q) { return q.toStdString(); }

void setHint(QWidget* w, const QString& hint) {
    w->setToolTip(hint);
    w->setToolTipDuration(8000);
}

enum Column { NameColumn, FileColumn, BoardsColumn, EstimateColumn, ColumnCount };

// A file dialog in the Hand Generators folder for `kind` ("Session File")
// files ending in `suffix`.
FileDialogOptions GeneratorsFolderFile(const QString& kind, const QString& suffix, bool save,
                                       const QString& initialName = QString()) {
    FileDialogOptions o;
    o.Title = kind;
    o.Filter = kind + QStringLiteral(" (*.") + suffix + u')';
    o.DefaultSuffix = suffix;
    o.Folder = q(SharedSettings().HandGeneratorsFolder);
    o.InitialName = initialName;
    o.OverwritePrompt = save;
    o.FileMustExist = !save;
    o.HelpTopic = HelpTopic::Sessions;
    return o;
}

// A generator file beside the session file (or below it) is named
// relative to it, so that the two can be moved together.
std::string NameFrom(const QString& sessionPath, const std::string& generatorPath) {
    const QString relative = QFileInfo(sessionPath).absoluteDir().relativeFilePath(q(generatorPath));
    if (relative.startsWith(QStringLiteral("..")) || QDir::isAbsolutePath(relative)) return generatorPath;
    return s(relative);
}

// The generator file at `part.Path` read into `part.Setup`; false, with
// why after `where` ("Part 2 (weak twos): ..."), when it cannot be.
bool ReadSetupOf(SessionPart& part, const std::string& where, QString* error) {
    std::string why;
    if (ReadPartSetup(part, where, &why)) return true;
    if (error) *error = q(why);
    return false;
}

// The boards a generator file asks for, when it asks for a number a part can have; else 1.
int BoardsAsked(const GeneratorSetup& setup) {
    bool ok = false;
    const long long asked = q(setup.Options.Boards).trimmed().toLongLong(&ok);
    return ok && asked >= 1 && asked <= MaxSessionBoards ? static_cast<int>(asked) : 1;
}

} // namespace

SessionPanel::SessionPanel(std::function<QString()> currentSetupFile, std::function<SessionOptions()> options,
                           QWidget* parent)
    : QWidget(parent), currentSetupFile_(std::move(currentSetupFile)), options_(std::move(options)) {
    setObjectName(QStringLiteral("SessionPanel"));
    BuildList();
    SessionTotalLbl = new QLabel(this);
    SessionTotalLbl->setObjectName(QStringLiteral("SessionTotalLbl"));
    MixBoardsCB = new QCheckBox(QStringLiteral("Mix the boards"), this);
    MixBoardsCB->setObjectName(QStringLiteral("MixBoardsCB"));
    setHint(MixBoardsCB, QStringLiteral("Put the parts' boards in a random order, numbered afterwards, so that the "
                                        "themes do not come in blocks"));
    connect(MixBoardsCB, &QCheckBox::toggled, this, [this] {
        if (!filling_) emit changed();
    });
    SessionOddsLbl = new QLabel(this);
    SessionOddsLbl->setObjectName(QStringLiteral("SessionOddsLbl"));
    SessionOddsLbl->setWordWrap(true);
    SessionOddsLbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setHint(SessionOddsLbl, QStringLiteral("How long the whole session takes, from a short trial run of each part"));

    auto* listRow = new QHBoxLayout;
    listRow->addWidget(SessionList, 1);
    listRow->addLayout(BuildButtons());
    auto* help = new QToolButton(this);
    help->setObjectName(QStringLiteral("SessionHelpBtn"));
    help->setText(QStringLiteral("?"));
    setHint(help, QStringLiteral("What a session is, with an example, and what Stop keeps"));
    connect(help, &QToolButton::clicked, this, [this] { Prompts::current().help(window(), HelpTopic::Sessions); });
    auto* totalRow = new QHBoxLayout;
    totalRow->addWidget(SessionTotalLbl, 1);
    totalRow->addWidget(MixBoardsCB);
    totalRow->addWidget(help);
    auto* v = new QVBoxLayout(this);
    v->addLayout(listRow, 1);
    v->addLayout(totalRow);
    v->addWidget(SessionOddsLbl);

    estimateTimer_ = new QTimer(this);
    estimateTimer_->setObjectName(QStringLiteral("SessionEstimateTimer"));
    estimateTimer_->setSingleShot(true);
    estimateTimer_->setInterval(300);
    connect(estimateTimer_, &QTimer::timeout, this, &SessionPanel::UpdateEstimate);
    connect(this, &SessionPanel::changed, this, &SessionPanel::EstimateLater);
    ShowParts(-1);
}

SessionPanel::~SessionPanel() { StopEstimate(); }

void SessionPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    EstimateLater();
}

void SessionPanel::BuildList() {
    SessionList = new QTableWidget(0, ColumnCount, this);
    SessionList->setObjectName(QStringLiteral("SessionList"));
    SessionList->setHorizontalHeaderLabels({QStringLiteral("Part"), QStringLiteral("Generator file"),
                                            QStringLiteral("Boards"), QStringLiteral("Estimate")});
    SessionList->setSelectionBehavior(QAbstractItemView::SelectRows);
    SessionList->setSelectionMode(QAbstractItemView::SingleSelection);
    SessionList->verticalHeader()->setVisible(false);
    QHeaderView* header = SessionList->horizontalHeader();
    header->setSectionResizeMode(NameColumn, QHeaderView::Interactive);
    header->setSectionResizeMode(FileColumn, QHeaderView::Interactive);
    header->setSectionResizeMode(BoardsColumn, QHeaderView::Fixed);
    header->setStretchLastSection(true);
    const QFontMetrics metrics(SessionList->font());
    SessionList->setColumnWidth(NameColumn, metrics.horizontalAdvance(QStringLiteral("Weak twos any dealer")));
    SessionList->setColumnWidth(FileColumn, metrics.horizontalAdvance(QStringLiteral("WEAKTWOS.GEN  ")));
    SessionList->setColumnWidth(BoardsColumn, metrics.horizontalAdvance(QStringLiteral("1,000,000")) + 40);
    setHint(SessionList, QStringLiteral("The parts dealt one after the other into one set; double-click a part's "
                                        "name to change it"));
    connect(SessionList, &QTableWidget::itemSelectionChanged, this, &SessionPanel::UpdateButtons);
    // The name is the part's own (progress and each PBN game show it).
    connect(SessionList, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (filling_ || item->column() != NameColumn) return;
        SessionPart& part = parts_[static_cast<std::size_t>(item->row())];
        const QString name = item->text().trimmed();
        part.Name = name.isEmpty() ? s(QFileInfo(q(part.Path)).completeBaseName()) : s(name);
        PartsChanged();
    });
}

QLayout* SessionPanel::BuildButtons() {
    auto* buttons = new QVBoxLayout;
    QBoxLayout* into = buttons;
    auto button = [&](QPushButton*& b, const char* name, const QString& caption, const QString& hint) {
        b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        setHint(b, hint);
        into->addWidget(b);
    };
    button(AddCurrentSetupBtn, "AddCurrentSetupBtn", QStringLiteral("Add current set-up"),
           QStringLiteral("Add the seats and options of the Set-up page as a part (saved to a generator file first)"));
    button(AddGeneratorBtn, "AddGeneratorBtn", QStringLiteral("Add generator file..."),
           QStringLiteral("Add a part from a generator file in the Hand Generators folder"));
    button(RemovePartBtn, "RemovePartBtn", QStringLiteral("Remove"), QStringLiteral("Remove the chosen part"));
    into = new QHBoxLayout;
    buttons->addLayout(into);
    button(PartUpBtn, "PartUpBtn", QStringLiteral("Up"), QStringLiteral("Deal the chosen part earlier"));
    button(PartDownBtn, "PartDownBtn", QStringLiteral("Down"), QStringLiteral("Deal the chosen part later"));
    into = buttons;
    buttons->addStretch(1);
    button(LoadSessionBtn, "LoadSessionBtn", QStringLiteral("Load Session..."),
           QStringLiteral("Load a session file (.SES) from the Hand Generators folder"));
    button(SaveSessionBtn, "SaveSessionBtn", QStringLiteral("Save Session..."),
           QStringLiteral("Save the parts and the options to a session file (.SES)"));
    connect(AddCurrentSetupBtn, &QPushButton::clicked, this, &SessionPanel::AddCurrentSetup);
    connect(AddGeneratorBtn, &QPushButton::clicked, this, &SessionPanel::ChooseGeneratorFile);
    connect(RemovePartBtn, &QPushButton::clicked, this, &SessionPanel::RemovePart);
    connect(PartUpBtn, &QPushButton::clicked, this, [this] { MovePart(-1); });
    connect(PartDownBtn, &QPushButton::clicked, this, [this] { MovePart(1); });
    connect(LoadSessionBtn, &QPushButton::clicked, this, &SessionPanel::LoadSession);
    connect(SaveSessionBtn, &QPushButton::clicked, this, &SessionPanel::SaveSession);
    return buttons;
}

// ---------------------------------------------------------------- the list

void SessionPanel::ShowParts(int selected) {
    filling_ = true;
    SessionList->setRowCount(static_cast<int>(parts_.size()));
    for (int row = 0; row < SessionList->rowCount(); ++row) {
        const SessionPart& part = parts_[static_cast<std::size_t>(row)];
        SessionList->setItem(row, NameColumn, new QTableWidgetItem(q(part.Name)));
        auto* file = new QTableWidgetItem(QFileInfo(q(part.Path)).fileName());
        file->setFlags(file->flags() & ~Qt::ItemIsEditable);
        file->setToolTip(q(part.Path));
        SessionList->setItem(row, FileColumn, file);
        auto* estimate = new QTableWidgetItem;
        estimate->setFlags(estimate->flags() & ~Qt::ItemIsEditable);
        SessionList->setItem(row, EstimateColumn, estimate);
        auto* count = new QSpinBox;
        count->setObjectName(QStringLiteral("PartBoardsSB"));
        count->setRange(1, MaxSessionBoards);
        count->setGroupSeparatorShown(true);
        count->setValue(part.Boards);
        count->setEnabled(!running_);
        connect(count, &QSpinBox::valueChanged, this, [this, count](int boards) {
            for (int at = 0; at < SessionList->rowCount(); ++at)
                if (SessionList->cellWidget(at, BoardsColumn) == count)
                    parts_[static_cast<std::size_t>(at)].Boards = boards;
            PartsChanged();
        });
        SessionList->setCellWidget(row, BoardsColumn, count);
    }
    filling_ = false;
    if (selected >= 0 && selected < SessionList->rowCount()) SessionList->selectRow(selected);
    ShowTotal();
    UpdateButtons();
}

void SessionPanel::ShowTotal() {
    const long long total = TotalBoards();
    QString text = parts_.empty() ? QStringLiteral("No parts yet: add the current set-up or a generator file.")
                                  : QStringLiteral("%1 %2, %3 %4 in all")
                                        .arg(LocaleNumber(parts_.size()))
                                        .arg(parts_.size() == 1 ? QStringLiteral("part") : QStringLiteral("parts"))
                                        .arg(LocaleNumber(static_cast<qulonglong>(total)))
                                        .arg(total == 1 ? QStringLiteral("board") : QStringLiteral("boards"));
    if (total > MaxSessionBoards)
        text += QStringLiteral(": a session holds at most %1").arg(LocaleNumber(MaxSessionBoards));
    SessionTotalLbl->setText(text);
}

int SessionPanel::SelectedRow() const {
    const QList<QTableWidgetItem*> chosen = SessionList->selectedItems();
    return chosen.isEmpty() ? -1 : chosen.front()->row();
}

void SessionPanel::UpdateButtons() {
    const int row = SelectedRow();
    const int last = static_cast<int>(parts_.size()) - 1;
    AddCurrentSetupBtn->setEnabled(!running_);
    AddGeneratorBtn->setEnabled(!running_);
    LoadSessionBtn->setEnabled(!running_);
    RemovePartBtn->setEnabled(!running_ && row >= 0);
    PartUpBtn->setEnabled(!running_ && row > 0);
    PartDownBtn->setEnabled(!running_ && row >= 0 && row < last);
    SaveSessionBtn->setEnabled(!parts_.empty());
    MixBoardsCB->setEnabled(!running_);
}

void SessionPanel::SetRunning(bool on) {
    running_ = on;
    // A count the run cut short is made again once the run is over.
    if (on)
        StopEstimate();
    else
        EstimateLater();
    SessionList->setEditTriggers(on ? QAbstractItemView::NoEditTriggers
                                    : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    for (int row = 0; row < SessionList->rowCount(); ++row) SessionList->cellWidget(row, BoardsColumn)->setEnabled(!on);
    UpdateButtons();
}

long long SessionPanel::TotalBoards() const {
    long long total = 0;
    for (const SessionPart& part : parts_) total += part.Boards;
    return total;
}

void SessionPanel::PartsChanged() {
    if (filling_) return;
    ShowTotal();
    emit changed();
}

// ---------------------------------------------------------------- parts

bool SessionPanel::AddGeneratorFile(const QString& path) {
    SessionPart part;
    part.Path = s(QFileInfo(path).absoluteFilePath());
    part.Generator = part.Path;
    part.Name = s(QFileInfo(path).completeBaseName());
    QString error;
    if (!ReadSetupOf(part, std::string(), &error)) {
        Prompts::current().error(this, error);
        return false;
    }
    part.Boards = BoardsAsked(part.Setup);
    parts_.push_back(std::move(part));
    ShowParts(static_cast<int>(parts_.size()) - 1);
    PartsChanged();
    return true;
}

void SessionPanel::AddCurrentSetup() {
    const QString path = currentSetupFile_();
    if (!path.isEmpty()) AddGeneratorFile(path);
}

void SessionPanel::ChooseGeneratorFile() {
    const QString path = Prompts::current().chooseOpenFile(
        this, GeneratorsFolderFile(QStringLiteral("Hand Generator File"), QStringLiteral("GEN"), false));
    if (!path.isEmpty()) AddGeneratorFile(path);
}

void SessionPanel::RemovePart() {
    const int row = SelectedRow();
    if (row < 0) return;
    parts_.erase(parts_.begin() + row);
    ShowParts(std::min(row, static_cast<int>(parts_.size()) - 1));
    PartsChanged();
}

void SessionPanel::MovePart(int by) {
    const int row = SelectedRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= static_cast<int>(parts_.size())) return;
    std::swap(parts_[static_cast<std::size_t>(row)], parts_[static_cast<std::size_t>(to)]);
    ShowParts(to);
    PartsChanged();
}

bool SessionPanel::CurrentSession(Session& session, QString* error) const {
    if (parts_.empty()) {
        if (error) *error = QStringLiteral("The session has no parts: add the current set-up or a generator file.");
        return false;
    }
    Session read;
    read.Options = options_();
    read.Options.Mix = MixBoardsCB->isChecked();
    read.Parts = parts_;
    for (std::size_t index = 0; index < read.Parts.size(); ++index)
        if (!ReadSetupOf(read.Parts[index], PartLabel(read, index), error)) return false;
    session = std::move(read);
    return true;
}

// ---------------------------------------------------------------- files

void SessionPanel::SaveSession() {
    const QString path = Prompts::current().chooseSaveFile(
        this, GeneratorsFolderFile(QStringLiteral("Session File"), QStringLiteral("SES"), true, sessionFile_));
    if (path.isEmpty()) return;
    Session session;
    session.Options = options_();
    session.Options.Mix = MixBoardsCB->isChecked();
    session.Parts = parts_;
    for (SessionPart& part : session.Parts) part.Generator = NameFrom(path, part.Path);
    std::string error;
    if (!WriteSessionFile(s(path), session, &error)) {
        Prompts::current().error(this, q(error));
        return;
    }
    sessionFile_ = QFileInfo(path).fileName();
}

void SessionPanel::LoadSession() {
    const QString path = Prompts::current().chooseOpenFile(
        this, GeneratorsFolderFile(QStringLiteral("Session File"), QStringLiteral("SES"), false));
    if (path.isEmpty()) return;
    Session session;
    std::string error;
    if (!ReadSessionFile(s(path), session, &error)) {
        Prompts::current().error(this, q(error));
        return;
    }
    sessionFile_ = QFileInfo(path).fileName();
    parts_ = std::move(session.Parts);
    for (SessionPart& part : parts_) part.Path = s(QFileInfo(q(part.Path)).absoluteFilePath());
    ShowParts(0);
    filling_ = true; // one change for the whole file
    MixBoardsCB->setChecked(session.Options.Mix);
    filling_ = false;
    emit optionsLoaded(session.Options);
    PartsChanged();
}

// ---------------------------------------------------------------- the estimate

void SessionPanel::EstimateLater() {
    // What a count in hand will say is of the parts as they were.
    ++estimateJob_;
    if (!running_ && isVisible()) estimateTimer_->start();
}

void SessionPanel::StopEstimate() {
    estimateTimer_->stop();
    estimateStop_ = true;
    if (estimateWorker_.joinable()) estimateWorker_.join();
}

void SessionPanel::UpdateEstimate() {
    StopEstimate();
    if (running_ || !isVisible()) return;
    const std::uint64_t job = ++estimateJob_;
    Session session;
    QString error;
    if (parts_.empty() || !CurrentSession(session, &error)) {
        ShowEstimate(job, error);
        return;
    }
    SessionOddsLbl->setText(QStringLiteral("Session: estimating..."));
    const std::string folder = SharedSettings().HandDefinitionsFolder;
    const double known = analysisSecondsPerBoard_;
    estimateStop_ = false;
    estimateWorker_ = std::thread([this, job, session, folder, known] {
        auto post = [this, job](const std::string& text) {
            QMetaObject::invokeMethod(
                this, [this, job, text = q(text)] { ShowEstimate(job, text); }, Qt::QueuedConnection);
        };
        SessionRun run;
        std::string why;
        if (!PrepareSessionRun(session, folder, run, &why)) return post("Cannot be dealt: " + why);
        double perBoard = 0;
        if (session.Options.Pbn && session.Options.Analysis) {
            const std::optional<double> measured =
                known > 0 ? std::optional<double>(known) : MeasureSecondsPerBoard(&estimateStop_);
            if (estimateStop_) return;
            perBoard = measured.value_or(0);
            QMetaObject::invokeMethod(
                this, [this, perBoard] { analysisSecondsPerBoard_ = perBoard; }, Qt::QueuedConnection);
        }
        // A long session is sampled for about two seconds in all.
        const double perPart = std::clamp(2.0 / static_cast<double>(session.Parts.size()), 0.05, 0.3);
        const std::vector<std::string> lines = SessionEstimateLines(run, session, perPart, perBoard, &estimateStop_);
        if (estimateStop_) return;
        std::string text;
        for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
        post(text);
    });
}

// A line for each part goes beside it in the list, the session's time under
// it; lines that do not match the parts are shown whole under the list.
void SessionPanel::ShowEstimate(std::uint64_t job, const QString& text) {
    if (job != estimateJob_) return;
    QStringList lines = WithLocaleNumbers(text).split(u'\n', Qt::SkipEmptyParts);
    const bool byPart = lines.size() == SessionList->rowCount() + 1;
    Session labels;
    labels.Parts = parts_;
    for (int row = 0; row < SessionList->rowCount(); ++row) {
        QString line = byPart ? lines[row] : QString();
        const QString label = q(PartLabel(labels, static_cast<std::size_t>(row))) + QStringLiteral(": ");
        if (line.startsWith(label)) line.remove(0, label.size());
        SessionList->item(row, EstimateColumn)->setText(line);
        SessionList->item(row, EstimateColumn)->setToolTip(line);
    }
    SessionOddsLbl->setText(byPart ? lines.back() : lines.join(u'\n'));
    emit estimateShown();
}

} // namespace zelv
