#pragma once
// A Prompts for tests: counts beeps, records messages, answers file dialogs
// and questions from queues and records which help topics were asked for.
#include "gui/widgets/Prompts.h"

#include <QList>
#include <QStringList>

namespace zelv {

// For the length of a scope, the real Qt prompts instead of the scripted
// ones a test installed; they come back however the scope is left.
class RealPromptsInScope {
  public:
    RealPromptsInScope() : saved_(&Prompts::current()) { Prompts::install(nullptr); }
    ~RealPromptsInScope() { Prompts::install(saved_); }
    RealPromptsInScope(const RealPromptsInScope&) = delete;
    RealPromptsInScope& operator=(const RealPromptsInScope&) = delete;

  private:
    Prompts* saved_;
};

class ScriptedPrompts : public Prompts {
  public:
    ScriptedPrompts() { Prompts::install(this); }
    ~ScriptedPrompts() override { Prompts::install(nullptr); }

    int Beeps = 0;
    QStringList Errors;
    QStringList Messages;       // "title: text" of information boxes
    QStringList FileAnswers;    // next answers to file dialogs; "" cancels
    QStringList Questions;      // "title: text" of every confirm()
    QList<bool> ConfirmAnswers; // next answers to confirm(); Yes when none is left
    QList<FileDialogOptions> FileRequests;
    QList<int> HelpTopics;

    void beep() override { ++Beeps; }
    void error(QWidget*, const QString& text) override { Errors << text; }
    void information(QWidget*, const QString& title, const QString& text) override { Messages << title + ": " + text; }
    bool confirm(QWidget*, const QString& title, const QString& text) override {
        Questions << title + ": " + text;
        return ConfirmAnswers.isEmpty() ? true : ConfirmAnswers.takeFirst();
    }
    QString chooseOpenFile(QWidget*, const FileDialogOptions& o) override { return answer(o); }
    QString chooseSaveFile(QWidget*, const FileDialogOptions& o) override { return answer(o); }
    void help(QWidget*, int topic) override { HelpTopics << topic; }

  private:
    QString answer(const FileDialogOptions& o) {
        FileRequests << o;
        return FileAnswers.isEmpty() ? QString() : FileAnswers.takeFirst();
    }
};

} // namespace zelv
