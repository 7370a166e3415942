// The windows as the wiring file connects them: what the Monitor and Settings windows tell each
// other, and that no window reaches another one but through that file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/program_windows.h"

namespace velta::test {
namespace {

namespace fs = std::filesystem;

using ProgramWiring = ProgramWindowTest;

TEST_F(ProgramWiring, SetupButtonOpensTheSettingsWindowModally) {
  bool modal = false;
  QTimer::singleShot(0, form3, [&] {
    modal = QApplication::activeModalWidget() == form3;
    form3->reject();
  });
  FindControl<QPushButton>(form1, "bbSetup")->click();
  EXPECT_TRUE(modal);
}

TEST_F(ProgramWiring, BlueLedFollowsTheSettingsWindowFromTheStart) {
  auto* led = FindControl<QLabel>(form1, "lblLedBlue");
  EXPECT_EQ(led->text(), "Flow") << "the default block ticks the flow sensor";
  form1->show();
  EXPECT_EQ(led->text(), "Flow") << "start-up names the LED by the flow sensor";

  FindControl<QCheckBox>(form3, "chkSetupFlusssensor")->click();
  PickItem(FindControl<QComboBox>(form3, "cbVariante"), 2);
  EXPECT_EQ(led->text(), "Filter");
  // Start-up looks at the flow sensor alone.
  form1->FormShow();
  EXPECT_EQ(led->text(), " ");
  form1->close();
}

// A write-enable request disables the Settings window while it runs, also when it fails.
TEST_F(ProgramWiring, WriteEnableRequestDisablesTheSettingsWindow) {
  ChooseTcp(1);  // nobody listens there: the failure is logged in the middle of the request
  std::vector<bool> settingsEnabled;
  QObject::connect(FindControl<QPlainTextEdit>(form1, "Memo1"), &QPlainTextEdit::textChanged,
                   form3, [&] { settingsEnabled.push_back(form3->isEnabled()); });
  form1->bbWriteEnableClick();
  // The failure line and its reason line.
  EXPECT_EQ(settingsEnabled, (std::vector<bool>{false, false}));
  EXPECT_TRUE(form3->isEnabled());
}

// The window headers Unit1.h, Unit2.h and Unit3.h are included by their own window's files, by
// the wiring file and by main only.
TEST(WindowHeaders, IncludedOnlyByTheirOwnWindowTheWiringAndMain) {
  static const std::regex include(R"re(#include "ui/(Unit[0-9]+)\.h")re");
  int ownIncludes = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(__FILE__).parent_path() / "../../ui")) {
    const std::string name = entry.path().filename().string();
    if (name == "main.cpp" || name.rfind("program.", 0) == 0) continue;
    const std::string source = ReadFile(entry.path().string());
    for (std::sregex_iterator it(source.begin(), source.end(), include), end; it != end; ++it) {
      const std::string window = (*it)[1].str();
      EXPECT_EQ(name.rfind(window, 0), 0u) << name << " includes " << window << ".h";
      ++ownIncludes;
    }
  }
  EXPECT_GT(ownIncludes, 3) << "no window sources found beside " << __FILE__;
}

}  // namespace
}  // namespace velta::test
