// A Desktop that answers the windows' questions and file dialogs from a script and remembers
// everything it was asked or shown.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <functional>
#include <vector>

#include "ui/desktop.h"

namespace velta::test {

class TestDesktop : public Desktop {
 public:
  bool AskYesNo(const QString& caption, const QString& text, const QString& detail) override {
    questions.push_back(caption + "|" + text);
    details.push_back(detail);
    if (watched) enabledWhenAsked.push_back(watched()->isEnabled());
    if (answers.empty()) return answerYes;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::optional<QString> AskText(const QString& caption, const QString& label) override {
    textQuestions.push_back(caption + "|" + label);
    if (texts.empty()) return std::nullopt;
    QString text = texts.front();
    texts.pop_front();
    return text;
  }
  void ShowMessage(const QString& text) override { messages.push_back(text); }
  QString OpenFileName(const QString& filter, const QString& suffix) override {
    return Next(filter, suffix);
  }
  QString SaveFileName(const QString& filter, const QString& suffix) override {
    saveDialogs.push_back(filter + "|" + suffix);
    return Next(filter, suffix);
  }
  QString AppendFileName(const QString& filter, const QString& suffix) override {
    appendDialogs.push_back(filter + "|" + suffix);
    return Next(filter, suffix);
  }
  void Beep() override {
    ++beeps;
    if (watched) enabledWhenBeeped.push_back(watched()->isEnabled());
  }
  void OpenUrl(const QString& url) override { urls.push_back(url); }

  bool answerYes = false;
  std::deque<bool> answers;  // one per question while any are left, then answerYes
  std::deque<QString> fileNames;  // one per file dialog; an empty entry or none cancels it
  QStringList questions;          // "caption|text"
  QStringList details;            // the detailed text of each question (empty: none)
  QStringList messages;
  std::deque<QString> texts;  // one per text question; none left cancels it
  QStringList textQuestions;  // "caption|label"
  QStringList dialogs;      // "filter|suffix" of every file dialog
  QStringList saveDialogs;  // the same for the save dialogs alone
  QStringList appendDialogs;  // and for the dialogs choosing a file to add to
  QStringList urls;
  int beeps = 0;
  // The window that must be disabled while an operation asks or beeps in its middle (looked up
  // at each call, as tests may recreate it): when set, whether it was enabled at each of them.
  std::function<const QWidget*()> watched;
  std::vector<bool> enabledWhenAsked;
  std::vector<bool> enabledWhenBeeped;

 private:
  QString Next(const QString& filter, const QString& suffix) {
    dialogs.push_back(filter + "|" + suffix);
    if (fileNames.empty()) return {};
    QString name = fileNames.front();
    fileNames.pop_front();
    return name;
  }
};

}  // namespace velta::test
