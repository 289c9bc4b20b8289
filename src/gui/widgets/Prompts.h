#pragma once
// The one door through which dialogs beep, show messages, ask for files and
// open help. The application installs the Qt implementation; tests install
// a scripted one that counts beeps, records messages and answers dialogs.
#include <QString>
#include <QStringList>

class QAbstractButton;
class QWidget;

namespace zelv {

// The help file's topics, by the numbers it knows them by.
namespace HelpTopic {
inline constexpr int Search = 0; // the keyword search
inline constexpr int Main = 10;
inline constexpr int Viewer = 15;
inline constexpr int Definitions = 20;
inline constexpr int Generation = 30;
inline constexpr int Conditions = 35; // the generation dialog's condition across seats
inline constexpr int Sessions = 36;   // several set-ups dealt into one set
inline constexpr int BoardFile = 40;
inline constexpr int Printing = 50;
inline constexpr int Options = 60;
} // namespace HelpTopic

struct FileDialogOptions {
    QString Title;
    QString Filter;        // e.g. "Hand Definition File (*.HDS)"
    QString DefaultSuffix; // without the dot, e.g. "HDS"
    QString Folder;        // starting folder
    QString InitialName;   // proposed file name (may be empty)
    bool OverwritePrompt = true;
    bool PathMustExist = true;
    bool FileMustExist = false;
    int HelpTopic = 0; // 0: no Help button
};

class Prompts {
  public:
    virtual ~Prompts() = default;
    virtual void beep() = 0;
    // An error box: title "Error", error icon, one OK button.
    virtual void error(QWidget* parent, const QString& text) = 0;
    // A plain message box with one OK button.
    virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;
    // A question with Yes and No, No the default (Enter, Escape): true for Yes.
    virtual bool confirm(QWidget* parent, const QString& title, const QString& text) = 0;
    // The chosen path, or an empty string when the user cancels.
    virtual QString chooseOpenFile(QWidget* parent, const FileDialogOptions& options) = 0;
    virtual QString chooseSaveFile(QWidget* parent, const FileDialogOptions& options) = 0;
    // Opens help at a topic (10, 20, 30, 40, 50, 60), or its keyword search
    // when `topic` is 0.
    virtual void help(QWidget* parent, int topic) = 0;

    // The installed implementation (the Qt one when none was installed).
    static Prompts& current();
    // Installs `prompts` (not owned); nullptr restores the Qt one.
    static void install(Prompts* prompts);
};

// Opens `topic` from the dialog's Help button (when it has one) and from F1
// anywhere in the dialog.
void ConnectHelp(QWidget* dialog, QAbstractButton* helpButton, int topic);

// The real thing: QApplication::beep, QMessageBox, QFileDialog. Help goes
// to the handler set with setHelpHandler (the application's help viewer).
class QtPrompts : public Prompts {
  public:
    using HelpHandler = void (*)(QWidget* parent, int topic);
    static void setHelpHandler(HelpHandler handler);

    void beep() override;
    void error(QWidget* parent, const QString& text) override;
    void information(QWidget* parent, const QString& title, const QString& text) override;
    bool confirm(QWidget* parent, const QString& title, const QString& text) override;
    QString chooseOpenFile(QWidget* parent, const FileDialogOptions& options) override;
    QString chooseSaveFile(QWidget* parent, const FileDialogOptions& options) override;
    void help(QWidget* parent, int topic) override;
};

} // namespace zelv
