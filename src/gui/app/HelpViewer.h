#pragma once
// The help viewer: the HTML help file beside the program in a browser, with
// its topics (10, 20, 30, 40, 50, 60) and a keyword search.
#include <QDialog>
#include <QList>
#include <QString>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTextBrowser;

namespace zelv {

// The help file every viewer opens; the start-up sets it.
void SetHelpFile(const QString& path);
QString HelpFile();
// Opens help at a topic, or the keyword search when `topic` is 0; the
// handler the application gives QtPrompts.
void ShowHelp(QWidget* parent, int topic);

class HelpViewer : public QDialog {
    Q_OBJECT
  public:
    explicit HelpViewer(const QString& helpFile, QWidget* parent = nullptr);

    // False when the file is missing: the viewer then says so itself.
    bool isLoaded() const { return loaded_; }
    void showTopic(int topic);
    // The Search page with `keyword` typed into it.
    void showSearch(const QString& keyword = QString());
    // Jumps to the keyword chosen in the list, or else finds the typed text.
    void displayKeyword();
    QStringList keywords() const;
    QString currentAnchor() const { return anchor_; }

  private:
    struct Entry {
        QString title;
        QString anchor;
    };
    QPushButton* BuildSearchTab();
    void ReadTopicsAndKeywords();
    void jumpTo(const QString& anchor);
    void keywordTyped(const QString& text);

    QString file_;
    bool loaded_ = false;
    QString anchor_;
    QList<Entry> topics_;
    QList<Entry> keywords_;
    QTabWidget* tabs_ = nullptr;
    QListWidget* contents_ = nullptr;
    QLineEdit* keywordEdit_ = nullptr;
    QListWidget* keywordList_ = nullptr;
    QTextBrowser* browser_ = nullptr;
};

} // namespace zelv
