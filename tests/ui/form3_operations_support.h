// The Settings window wired to a simulated controller through the Monitor window's TCP choice,
// with a desktop that answers questions and file dialogs from a script.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <deque>

#include <gtest/gtest.h>

#include "tests/support/qt_app.h"
#include "tests/support/sim_process.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/desktop.h"
#include "ui/forms.h"

namespace velta::test {

class ScriptedDesktop : public Desktop {
 public:
  bool AskYesNo(const QString& caption, const QString& text) override {
    questions.push_back(caption + "|" + text);
    enabledWhenAsked.push_back(form3->isEnabled());
    return answerYes;
  }
  void ShowMessage(const QString& text) override { messages.push_back(text); }
  QString OpenFileName(const QString& filter, const QString& suffix) override {
    return Next(filter, suffix);
  }
  QString SaveFileName(const QString& filter, const QString& suffix) override {
    return Next(filter, suffix);
  }
  // Errors beep in the middle of an operation: the window must be disabled then.
  void Beep() override { enabledWhenBeeped.push_back(form3->isEnabled()); }
  void OpenUrl(const QString&) override {}

  std::deque<QString> fileNames;  // an empty entry cancels the dialog
  bool answerYes = true;
  QStringList questions;
  QStringList messages;
  QStringList dialogs;  // "filter|suffix" of every file dialog
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

class Form3OperationsTest : public ::testing::Test {
 protected:
  Form3OperationsTest() {
    EnsureApplication();
    setenv("VELTA_CONFIG_DIR", config.path().toLocal8Bit().constData(), 1);
    SetDesktop(&desktop);
    form1 = new Form1;
    form3 = new Form3;
    form2 = new Form2(form3);
  }
  ~Form3OperationsTest() override {
    delete form3;
    delete form1;
    form1 = nullptr;
    form3 = nullptr;
    form2 = nullptr;
    SetDesktop(nullptr);
    unsetenv("VELTA_CONFIG_DIR");
  }

  template <typename T = QWidget>
  T* Control(const char* name) {
    T* found = form3->findChild<T*>(name);
    if (found == nullptr) ADD_FAILURE() << name << " missing";
    return found;
  }
  void Click(const char* button) { Control<QAbstractButton>(button)->click(); }
  QStringList Memo() {
    const QString text = Control<QPlainTextEdit>("Memo3")->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
  }
  void ChooseTcp(const SimProcess& sim) {
    form1->findChild<QRadioButton*>("rbTcp")->click();
    form1->findChild<QLineEdit*>("edHost")->setText("127.0.0.1");
    form1->findChild<QLineEdit*>("edPort")->setText(QString::number(sim.TcpPort()));
  }
  // The user picks an item of a list (the window reacts to picks, not to code).
  void Pick(const char* list, int item) {
    auto* combo = Control<QComboBox>(list);
    combo->setCurrentIndex(item);
    emit combo->activated(item);
  }
  std::vector<std::uint8_t> Image(int first, int last) {
    return {form3->Image().bytes.begin() + first, form3->Image().bytes.begin() + last + 1};
  }
  static std::vector<std::uint8_t> SimRange(SimProcess& sim, int first, int last) {
    const auto memory = sim.Memory();
    return {memory.begin() + first, memory.begin() + last + 1};
  }
  static std::vector<std::string> Writes(SimProcess& sim) {
    std::vector<std::string> writes;
    for (const std::string& frame : sim.Frames()) {
      if (frame.rfind("9", 0) == 0) writes.push_back(frame);
    }
    return writes;
  }

  QTemporaryDir config;
  ScriptedDesktop desktop;
};

}  // namespace velta::test
