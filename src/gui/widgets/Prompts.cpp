#include "gui/widgets/Prompts.h"

#include "gui/widgets/DialogFrame.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>

namespace zelv {

namespace {
Prompts* installed = nullptr;
QtPrompts::HelpHandler helpHandler = nullptr;

QString runFileDialog(QWidget* parent, const FileDialogOptions& o, bool save) {
    QFileDialog dialog(parent, o.Title);
    SetSizableDialogFrame(&dialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save || !o.FileMustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!o.Filter.isEmpty()) dialog.setNameFilter(o.Filter);
    if (!o.DefaultSuffix.isEmpty()) dialog.setDefaultSuffix(o.DefaultSuffix);
    // A folder that is missing falls back to the user's home folder.
    dialog.setDirectory(QDir(o.Folder).exists() ? o.Folder : QDir::homePath());
    if (!o.InitialName.isEmpty()) dialog.selectFile(o.InitialName);
    if (!o.OverwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // Linux file names are case-sensitive; show "*.HDS" and "*.hds" alike.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (o.HelpTopic != 0) {
        if (auto* box = dialog.findChild<QDialogButtonBox*>()) {
            QPushButton* help = box->addButton(QDialogButtonBox::Help);
            QObject::connect(help, &QPushButton::clicked, &dialog, [&dialog, topic = o.HelpTopic] {
                if (helpHandler) helpHandler(&dialog, topic);
            });
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}
} // namespace

void ConnectHelp(QWidget* dialog, QAbstractButton* helpButton, int topic) {
    auto open = [dialog, topic] { Prompts::current().help(dialog, topic); };
    if (helpButton) QObject::connect(helpButton, &QAbstractButton::clicked, dialog, open);
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), dialog);
    QObject::connect(f1, &QShortcut::activated, dialog, open);
}

Prompts& Prompts::current() {
    static QtPrompts qt;
    return installed ? *installed : qt;
}

void Prompts::install(Prompts* prompts) { installed = prompts; }

void QtPrompts::setHelpHandler(HelpHandler handler) { helpHandler = handler; }

void QtPrompts::beep() { QApplication::beep(); }

namespace {
int runMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                  QMessageBox::StandardButtons buttons, QMessageBox::StandardButton byDefault) {
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(byDefault);
    SetFixedDialogFrame(&box);
    return box.exec();
}
} // namespace

void QtPrompts::error(QWidget* parent, const QString& text) {
    runMessageBox(parent, QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtPrompts::information(QWidget* parent, const QString& title, const QString& text) {
    runMessageBox(parent, QMessageBox::Information, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtPrompts::confirm(QWidget* parent, const QString& title, const QString& text) {
    return runMessageBox(parent, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                         QMessageBox::No) == QMessageBox::Yes;
}

QString QtPrompts::chooseOpenFile(QWidget* parent, const FileDialogOptions& options) {
    return runFileDialog(parent, options, false);
}

QString QtPrompts::chooseSaveFile(QWidget* parent, const FileDialogOptions& options) {
    return runFileDialog(parent, options, true);
}

void QtPrompts::help(QWidget* parent, int topic) {
    if (helpHandler) helpHandler(parent, topic);
}

} // namespace zelv
