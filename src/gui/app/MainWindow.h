#pragma once
// The main window: the menu that opens every dialog.
// MainWindow: the main window, with its menu of commands, the date and the
// running clock. Every other dialog is created once at start-up and shown
// modally from the menu.
#include "core/dealing/ClassicRandom.h"

#include <QMainWindow>
#include <QString>

class QAction;
class QApplication;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QTimer;

namespace zelv {

class DefinitionEditor;
class GenerationDialog;
class AboutBox;
class OptionsDialog;
class BoardViewer;
class PrintDialog;

// The forms the menu shows, created after the main window, in this order.
struct Dialogs {
    DefinitionEditor* Editor = nullptr;
    GenerationDialog* Generation = nullptr;
    AboutBox* About = nullptr;
    OptionsDialog* Options = nullptr;
    BoardViewer* Viewer = nullptr;
    PrintDialog* Printing = nullptr;
};

// Start-up: the application titled "Zelvano", StartUp, the main window,
// then every dialog once; runs until the main window closes.
int RunZelvano(int argc, char** argv);
// The application's title and font, set before any window exists.
void ApplyApplicationLook();
// What every window takes for granted, done once before the first: the
// shared settings from the program's folder, the help file beside it
// (ProgramFolder/help/zelv.html) and its handler, the look of hints, and
// the seeding of the dealer.
void StartUp(QApplication& app);
// The classic dealer's generator for the whole session, seeded once at
// start-up; every run of the generation dialog continues its sequence.
ClassicRandom& SessionRandom();

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(QWidget* parent = nullptr);

    // Creates the six forms, each once, as children of this window.
    void CreateForms();
    // Shown maximized, covering the screen even where no window manager runs.
    void ShowMaximized();
    const Dialogs& Forms() const { return forms_; }
    // The board file last chosen for viewing.
    QString LastBoardFile() const { return lastBoardFile_; }

  public slots:
    void PrinterSetupClick();
    void ZelvPathOptionsClick();
    void HandDefinitionClick();
    void HandGenerationClick();
    void HandViewingClick();
    void HandPrintingClick();
    void ContentsClick();
    void SearchClick();
    void AboutZelvanoMenuClick();
    void QuitMenuClick();
    void MainTimerTimer();

  private:
    void FormCreate();
    QMenuBar* BuildMainMenu();
    QMenu* BuildSetUpMenu();
    QMenu* BuildHelpMenu();
    QWidget* BuildCentralArea();
    QFrame* BuildDatePanel(QWidget* parent);
    void StartClock();
    QAction* MenuAction(const QString& name, const QString& caption, void (MainWindow::*handler)());

    Dialogs forms_;
    QString lastBoardFile_;
    QString lastDealtProposed_; // the dealt set View Boards last proposed
    QFrame* DatePanel = nullptr;
    QLabel* DateLabel = nullptr;
    QLabel* TimeLabel = nullptr;
    QTimer* MainTimer = nullptr;
};

} // namespace zelv
