// The windows with German selected: the system's own German texts as they stand, with no
// catalogue lookup, and the program's own additions from its German catalogue.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdlib>

#include "i18n/lookup.h"
#include "tests/support/program_windows.h"

namespace velta::test {
namespace {

class GermanWindows : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    setenv("VELTA_LANGUAGE", "de", 1);
    CreateProgramWindows();
  }
  void TearDown() override {
    DestroyProgramWindows();
    setenv("VELTA_LANGUAGE", "en", 1);
    UseLanguage("en");
    ProgramTest::TearDown();
  }
};

TEST_F(GermanWindows, EachWindowShowsTheSystemsGermanTexts) {
  EXPECT_EQ(FindControl<QCheckBox>(form1, "cbStartSend")->text(), "Statusabfrage");
  EXPECT_EQ(FindControl<QLabel>(form1, "lblLedBlue")->text(), "Fluss");
  EXPECT_EQ(FindControl<QPushButton>(form3, "bbReadBC")->text(), "Auslesen");
  EXPECT_EQ(FindControl<QPushButton>(form3, "bbCompare")->text(), "Vergleichen…");
  EXPECT_EQ(form2->windowTitle(), "Eigene Tankform");

  // Runtime messages: the Monitor window's port search and the Tank table window's file dialog.
  form1->bbSearchPortClick();
  EXPECT_EQ(MemoLines(FindControl<QPlainTextEdit>(form1, "Memo1")).value(0),
            "------ Suche Ports ------");
  desktop.fileNames = {QString()};
  FindControl<QPushButton>(form2, "bbLoad")->click();
  EXPECT_EQ(desktop.dialogs, QStringList{"Tankform (*.csv)|csv"});
}

// The choice made in the Monitor window's menu waits for the next start, and then outranks an
// English desktop.
TEST_F(ProgramTest, LanguageChosenInTheMonitorWindowAppliesAtTheNextStart) {
  for (const char* name : {"VELTA_LANGUAGE", "LANGUAGE", "LC_ALL", "LC_MESSAGES"}) unsetenv(name);
  setenv("LANG", "en_GB.UTF-8", 1);
  CreateProgramWindows();
  form1->LanguageClick("de");
  EXPECT_EQ(FindControl<QCheckBox>(form1, "cbStartSend")->text(), "Status inquiry");
  EXPECT_EQ(MemoLines(FindControl<QPlainTextEdit>(form1, "Memo1")).last(),
            "The language changes when the program is started again.");
  CreateProgramWindows();
  EXPECT_EQ(FindControl<QCheckBox>(form1, "cbStartSend")->text(), "Statusabfrage");
  DestroyProgramWindows();
  setenv("VELTA_LANGUAGE", "en", 1);
  UseLanguage("en");
}

}  // namespace
}  // namespace velta::test
