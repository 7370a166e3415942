// The error memory group of the Settings window: who may clear a counter, the list the counter is
// chosen from, and the version check taking the clear button away again. The group itself shows
// only in the expert view, so visibility here is the controls' own.
#include <QComboBox>

#include "monitor/app_settings.h"
#include "tests/ui/form3_operations_support.h"

namespace velta::test {
namespace {

using Form3ErrorMemory = Form3OperationsTest;

TEST_F(Form3ErrorMemory, AdminFlag0x10ShowsTheListAndClearButtonAtStartUp) {
  const struct {
    int admin;
    bool clearing;
  } rows[] = {{0x00, false}, {0x10, true}, {0x1F, true}, {0xEF, false}, {0x01, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.admin);
    RestartProgramWithAdmin(row.admin);
    EXPECT_EQ(!Control("cbFehlerspeicher")->isHidden(), row.clearing);
    EXPECT_EQ(!Control("bbClrError")->isHidden(), row.clearing);
    // Visible is not usable: only picking a counter enables the button.
    EXPECT_FALSE(Control("bbClrError")->isEnabled());
  }
}

TEST_F(Form3ErrorMemory, ListNamesEachErrorInTheOrderOfItsCounter) {
  const auto* list = Control<QComboBox>("cbFehlerspeicher");
  const QStringList expected = {
      "Er.t Temperature is to high, VEL control",
      "Er.P pump unlubricated operation",
      "Er.C pump pulls air",
      "Er.h maximum running time",
      "Er.L leaking control",
      "Er.1 maximum running time, system without flow control",
      "Er.2 Pressure sensor defectively!",
      "Er.b Error Measure box",
      "P.LE pump leakage",
      "Overflow cistern",
      "Er.F Flow sensor wedged",
  };
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items.push_back(list->itemText(i));
  EXPECT_EQ(items, expected);
  EXPECT_EQ(list->currentIndex(), -1);
}

TEST_F(Form3ErrorMemory, FailedVersionCheckHidesTheClearButtonForAdministratorsToo) {
  SimProcess sim({"--version", "1.601.59"});
  OpenSettingsStore()->setValue("Admin", 0x10);
  form1->FormShow();
  ChooseTcp(sim);
  ASSERT_FALSE(Control("bbClrError")->isHidden());
  Click("bbReadError");
  EXPECT_TRUE(Control("bbClrError")->isHidden());
  EXPECT_FALSE(Control("cbFehlerspeicher")->isHidden()) << "the list stays";
}

}  // namespace
}  // namespace velta::test
