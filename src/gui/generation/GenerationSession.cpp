// The generation dialog's Session page: how it sits beside the Set-up page,
// and Deal for a session, through the same run machinery as one set-up.
#include "gui/generation/GenerationDialog.h"

#include "core/dealing/RunChecks.h"
#include "core/files/FileUtil.h"
#include "core/settings/Settings.h"
#include "core/setup/SessionSetup.h"
#include "gui/generation/ConditionBox.h"
#include "gui/generation/SessionPanel.h"
#include "gui/generation/SetupNotices.h"
#include "gui/widgets/LocaleNumbers.h"
#include "gui/widgets/LongTime.h"
#include "gui/widgets/Prompts.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zelv {

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
} // namespace

QTabWidget* GenerationDialog::BuildViews() {
    ViewTabs = new QTabWidget(this);
    ViewTabs->setObjectName(QStringLiteral("ViewTabs"));
    auto* setupPage = new QWidget;
    setupPage->setObjectName(QStringLiteral("SetupView"));
    auto* setup = new QVBoxLayout(setupPage);
    setup->setContentsMargins(4, 4, 4, 4);
    setup->addWidget(BuildSeatPages(), 1);
    ConditionPanel = new ConditionBox(setupPage);
    setup->addWidget(ConditionPanel);
    ViewTabs->addTab(setupPage, QStringLiteral("Set-up"));
    SessionView = new SessionPanel([this] { return SetupFileForSession(); }, [this] { return SessionOptionsShown(); });
    ViewTabs->addTab(SessionView, QStringLiteral("Session"));
    ViewTabs->setTabToolTip(0, QStringLiteral("What each seat holds: one set-up, dealt on its own or added to a "
                                              "session"));
    ViewTabs->setTabToolTip(1, QStringLiteral("Several set-ups dealt one after the other into one set"));
    return ViewTabs;
}

void GenerationDialog::ConnectSessionView() {
    connect(ViewTabs, &QTabWidget::currentChanged, this, [this] {
        ShowView();
        ShowNotices();
    });
    connect(SessionView, &SessionPanel::changed, this, [this] { ShowNotices(); });
    connect(SessionView, &SessionPanel::optionsLoaded, this, &GenerationDialog::ApplySessionOptions);
    // The session's estimate weighs the source and the analysis too.
    for (QCheckBox* box : {PbnCB, DoubleDummyCB, SecureCB})
        connect(box, &QCheckBox::toggled, SessionView, &SessionPanel::EstimateLater);
}

bool GenerationDialog::SessionShown() const { return ViewTabs->currentIndex() == 1; }

void GenerationDialog::ShowView() {
    const bool session = SessionShown();
    // Each part brings its own seeding, levelling and number of boards; the
    // session's total stands under its list.
    for (QWidget* w : std::initializer_list<QWidget*>{SeedCB, LevelCB, NumberBoardsEB})
        w->setEnabled(!running_ && !session);
    NumberBoardsEB->setVisible(!session);
    if (auto* label = findChild<QLabel*>(QStringLiteral("NumberBoardsLbl"))) label->setVisible(!session);
    // The odds of the seats shown are not what a session deals.
    for (QWidget* w : std::initializer_list<QWidget*>{OddsLbl, EstimateLbl, SharesLbl}) w->setVisible(!session);
}

QString GenerationDialog::SetupFileForSession() {
    // A part names its generator file, which the session file keeps.
    if (setupFile_.isEmpty()) SaveBtnClick();
    return setupFile_;
}

SessionOptions GenerationDialog::SessionOptionsShown() const {
    SessionOptions options;
    options.Secure = SecureCB->isChecked();
    options.Pbn = PbnCB->isChecked();
    options.Analysis = DoubleDummyCB->isChecked();
    options.Dup = DupCB->isChecked();
    options.Dlm = DlmCB->isChecked();
    bool ok = false;
    const long long first = FirstBoardEB->text().trimmed().toLongLong(&ok);
    options.FirstBoard = ok && first >= 1 ? first : 1;
    return options;
}

void GenerationDialog::ApplySessionOptions(const SessionOptions& options) {
    SecureCB->setChecked(options.Secure);
    PbnCB->setChecked(options.Pbn);
    DoubleDummyCB->setChecked(options.Analysis);
    DupCB->setChecked(options.Dup);
    DlmCB->setChecked(options.Dlm);
    FirstBoardEB->setText(QString::number(options.FirstBoard));
}

GeneratorOptions GenerationDialog::OptionsToDeal() const {
    GeneratorOptions options = CurrentSetup().Options;
    if (SessionShown()) options.Boards = std::to_string(SessionView->TotalBoards());
    return options;
}

QString GenerationDialog::PartBeingDealt(const DealProgress& progress) const {
    if (runSession_.Parts.empty() || progress.Analysing || progress.Part >= runSession_.Parts.size()) return {};
    return q(PartLabel(runSession_, progress.Part)) + QStringLiteral(" \u00b7 ");
}

void GenerationDialog::ShowRunStarting() {
    Counter->clear();
    RateLbl->clear();
    FilesLbl->clear();
    FinishLbl->setText(QStringLiteral("Finish: "));
    StartLbl->setText(QStringLiteral("Start: ") + LongTime());
}

void GenerationDialog::DealSession() {
    Session session;
    QString problem;
    if (!SessionView->CurrentSession(session, &problem)) {
        Prompts::current().error(this, problem);
        return;
    }
    const std::uint64_t first = FirstBoardNumber();
    if (first == 0) return;
    session.Options.FirstBoard = static_cast<long long>(first);
    const Settings& settings = SharedSettings();
    const auto total = static_cast<std::uint64_t>(session.TotalBoards());
    if (!PbnNumbersFit(first, total)) return;
    // Every part is matched and checked before anything is asked or touched.
    SessionRun run;
    std::string why;
    if (!PrepareSessionRun(session, settings.HandDefinitionsFolder, run, &why)) {
        Prompts::current().error(this, q(why));
        return;
    }
    DealRunOptions& options = run.Options;
    options.OutputFolder = settings.HandsFolder;
    options.FileCode = settings.DefaultFileCode;
    options.Random = random_;
    // A part no hand can be dealt to is said before Deal asks to replace a set.
    for (std::size_t index = 0; index < options.Parts.size(); ++index)
        if (const std::string undealable = UndealableSetup(PartRunOptions(options, index)); !undealable.empty()) {
            Prompts::current().error(this, q(PartLabel(session, index) + ": " + undealable));
            return;
        }
    if (!MayReplaceBoards(static_cast<long long>(total),
                          MachineFileNotices(q(settings.DefaultFileCode), OptionsToDeal())))
        return;
    ShowRunStarting();
    DropMachineFilesTooSmall(options);
    runSession_ = std::move(session);
    StartRun(options);
}

} // namespace zelv
