#include "gui/app/OptionsDialog.h"

#include "core/formats/DealFiles.h"
#include "core/settings/Settings.h"
#include "gui/widgets/DialogFrame.h"
#include "gui/widgets/LimitedEdit.h"
#include "gui/widgets/Prompts.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace zelv {

namespace {
constexpr int FileCodeLimit = 8;

void CentreOnScreen(QWidget* w) {
    QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
}
} // namespace

OptionsDialog::OptionsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SetOptionDlg"));
    setWindowTitle(QStringLiteral("Set Hand Generator Options"));
    SetFixedDialogFrame(this);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);

    auto* column = new QVBoxLayout(this);
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("FileCodePanel"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setToolTip(QStringLiteral("Optional "));
    auto* panelRow = new QHBoxLayout(panel);
    auto* panelCaption = new QLabel(QStringLiteral(" Default File Code for Saved / Duplimate Hands:"), panel);
    panelCaption->setObjectName(QStringLiteral("FileCodeCaption"));
    FileCode = new LimitedEdit(FileCodeLimit, panel);
    FileCode->setObjectName(QStringLiteral("FileCode"));
    FileCode->setMinimumWidth(FileCode->fontMetrics().horizontalAdvance(QStringLiteral("WWWWWWWW")) + 16);
    panelRow->addWidget(panelCaption);
    panelRow->addWidget(FileCode);
    panelRow->addStretch();
    column->addWidget(panel);

    auto pathRow = [&](const QString& labelName, const QString& caption, const QString& editName) {
        auto* label = new QLabel(caption, this);
        label->setObjectName(labelName);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(editName);
        edit->setEnabled(false);
        edit->setToolTip(QStringLiteral("Enter path for Dealing Machine Files"));
        column->addWidget(label);
        column->addWidget(edit);
        return edit;
    };
    HDefEB =
        pathRow(QStringLiteral("Label1"), QStringLiteral("Path for Hand Definition Files"), QStringLiteral("HDefEB"));
    HGenEB =
        pathRow(QStringLiteral("Label2"), QStringLiteral("Path for Hand Generation Files"), QStringLiteral("HGenEB"));
    HandEB = pathRow(QStringLiteral("PathLabel"), QStringLiteral("Path for Saved Hands"), QStringLiteral("HandEB"));

    OKBtn = new QPushButton(QStringLiteral("&OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    column->addSpacing(6);
    column->addLayout(buttons);
    // The dialog keeps the size its content needs, folders included.
    column->setSizeConstraint(QLayout::SetFixedSize);
    connect(OKBtn, &QPushButton::clicked, this, &OptionsDialog::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    ConnectHelp(this, nullptr, HelpTopic::Options);
}

void OptionsDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) FormActivate();
    QDialog::showEvent(event);
    if (!event->spontaneous()) CentreOnScreen(this);
}

void OptionsDialog::FormActivate() {
    const Settings& s = SharedSettings();
    // A longer code set by Change File is shown whole: the limit is for typing.
    FileCode->setText(QString::fromStdString(s.DefaultFileCode));
    const QString folders[3] = {QString::fromStdString(s.HandDefinitionsFolder),
                                QString::fromStdString(s.HandGeneratorsFolder), QString::fromStdString(s.HandsFolder)};
    QLineEdit* edits[3] = {HDefEB, HGenEB, HandEB};
    int wide = 320;
    for (int i = 0; i < 3; ++i) {
        edits[i]->setText(folders[i]);
        edits[i]->setCursorPosition(0);
        wide = std::max(wide, edits[i]->fontMetrics().horizontalAdvance(folders[i]) + 24);
    }
    // A disabled edit cannot be scrolled, so it must be wide enough to show
    // the whole folder.
    for (QLineEdit* e : edits) e->setMinimumWidth(wide);
    OKBtn->setFocus();
}

void OptionsDialog::OKBtnClick() {
    const std::string code = FileCode->text().toStdString();
    if (const std::string why = FileCodeProblem(code); !why.empty()) {
        Prompts::current().error(this, QString::fromStdString("The file code " + why + "."));
        FileCode->setFocus();
        return;
    }
    // Otherwise taken as typed: an empty code is allowed and names files
    // ".DGE", ".BRI", which are hidden, and so is a code with a leading dot.
    if (const std::string note = HiddenFileCodeNote(code); !note.empty())
        Prompts::current().information(this, windowTitle(), QString::fromStdString("The file code: " + note + "."));
    SharedSettings().DefaultFileCode = code;
    accept();
}

} // namespace zelv
