// A control the user did not change keeps the bytes its block was read or loaded with, even where
// its editor cannot hold them; only the user's change, or a handler the user started, stores the
// control's value again. Against the simulated controller and through the window's file dialogs.
#include <QApplication>
#include <QHelpEvent>
#include <QTemporaryDir>
#include <QToolTip>

#include "controller/default_block.h"
#include "controller/settings_file.h"
#include "tests/ui/form3_operations_support.h"
#include "ui/value_editor.h"

namespace velta::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Overlay = std::vector<std::pair<int, int>>;

const Bytes kDefault(kDefaultBlock.begin(), kDefaultBlock.end());

class Form3Untouched : public Form3OperationsTest {
 public:
  using Form3OperationsTest::Control;
  using Form3OperationsTest::Pick;
  // The Default block with `overlay` over it, shown as a read or a file load shows it.
  void ShowOverDefault(const Overlay& overlay) {
    LoadDefaultBlock(form3->Image());
    for (const auto& [address, value] : overlay)
      form3->Image().SetByte(address, static_cast<std::uint8_t>(value));
    form3->ShowBlock();
    form3->SelectPreset();
  }
  void Step(const char* stepper, int clicks) {
    for (int i = 0; i < std::abs(clicks); ++i) Control<UpDown>(stepper)->stepBy(clicks > 0 ? 1 : -1);
  }
  QString Text(const char* field) { return Control<QLineEdit>(field)->text(); }
  Bytes Collected() {
    EXPECT_TRUE(form3->CollectBlock());
    return Image(0, 51);
  }
};

TEST_F(Form3Untouched, ReadChangeOneValueWriteChangesOnlyThatAddress) {
  SimProcess sim({"--write-enable"});
  ChooseTcp(sim);
  Click("bbReadBC");
  ASSERT_EQ(MemoryRange(sim, 0, 51), kDefault);
  // The Default block's minimum pump power lies below what the editor offers with a flow sensor.
  EXPECT_EQ(Text("edPumpeMin"), "30%");
  EXPECT_TRUE(Control("edPumpeMin")->font().italic());
  // Its tooltip adds the note to the field's own.
  auto* field = Control<QLineEdit>("edPumpeMin");
  QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), field->mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(field, &hover);
  EXPECT_EQ(QToolTip::text(), field->toolTip() + "\nstored value, outside 35..100");
  EXPECT_FALSE(field->toolTip().isEmpty());

  Step("udDruckRegel", 2);
  Click("bbSendBC");

  ASSERT_EQ(desktop.details.size(), 1);
  EXPECT_EQ(desktop.details[0].toStdString(),
            "Against the block last read from the controller:\n"
            "Pump – Control value: 3.5bar → 3.7bar\n");
  Bytes expected = kDefault;
  expected[10] = 37;
  EXPECT_EQ(MemoryRange(sim, 0, 51), expected);
  EXPECT_EQ(Writes(sim).size(), 52u);
}

TEST_F(Form3Untouched, OddStoredValuesTravelBackByteForByte) {
  struct Row {
    const char* what;
    Overlay overlay;
    const char* control;  // the stepper or list that says it shows a stored value, or nullptr
    const char* mark;
  };
  const Row rows[] = {
      {"pump minimum below the flow sensor's limit", {{22, 30}}, "udPumpeMin",
       "stored value, outside 35..100"},
      {"filter interval half a tick above 7 days", {}, nullptr, nullptr},
      {"full level too close to the empty level", {{1, 50}, {2, 40}}, "upZistVoll",
       "stored value, outside 52..100"},
      {"leak count below 3 in the packed leak byte", {{44, 0xC1}}, "udLeckAnzahl",
       "stored value, outside 3..63"},
      {"ramp above 63 beside the stop bit", {{42, 0xFF}}, "udSanftStart",
       "stored value, outside 0..63"},
      {"supervision time below a minute", {{47, 0}, {48, 100}}, "udMaxPowerTime",
       "stored value, outside 735..32767"},
      {"leak time below the run-on time's", {{45, 2}}, "udLeckDauer",
       "stored value, outside 28..255"},
      {"the same pairs on both inputs", {{12, 0x33}}, nullptr, nullptr},
      {"a tank form the list does not have", {{3, 9}}, "cbTankform",
       "stored value 9"},
      {"manual mode stored as 7", {{6, 7}}, nullptr, nullptr},
      {"neither regulation nor flow sensor", {{51, 0x81}}, nullptr, nullptr},
      {"a pressure switch with pressures of its own", {{8, 3}, {9, 60}, {11, 30}}, nullptr,
       nullptr},
  };
  for (const Row& row : rows) {
    ShowOverDefault(row.overlay);
    const Bytes shown = Image(0, 51);
    const QWidget* marked = row.control != nullptr ? Control(row.control) : nullptr;
    if (const auto* stepper = qobject_cast<const UpDown*>(marked)) {
      EXPECT_EQ(stepper->rangeNote(), row.mark) << row.what;
    } else if (const auto* list = qobject_cast<const QComboBox*>(marked)) {
      EXPECT_EQ(list->currentIndex(), -1) << row.what;
      EXPECT_EQ(list->placeholderText(), row.mark) << row.what;
    }
    EXPECT_EQ(Collected(), shown) << row.what;
  }
}

TEST_F(Form3Untouched, TheUsersChangeAndTheHandlersItStartsAreStored) {
  ShowOverDefault({});
  Step("udPumpeMin", 1);  // from the stored 30 into the range
  EXPECT_EQ(Control<UpDown>("udPumpeMin")->rangeNote(), "");
  EXPECT_FALSE(Control("edPumpeMin")->font().italic());
  Step("udFilterSpuelIntervall", 1);
  Step("udFilterSpuelIntervall", -1);  // back to the 7 days shown: the stored ticks stay
  Bytes expected = kDefault;
  expected[22] = 35;
  EXPECT_EQ(Collected(), expected);

  struct Row {
    const char* what;
    Overlay overlay;
    void (*change)(Form3Untouched&);
    Overlay stored;
  };
  const Row rows[] = {
      {"a whole day more", {}, [](Form3Untouched& t) { t.Step("udFilterSpuelIntervall", 1); },
       {{32, 0x00}, {33, 0x19}, {34, 0xBF}, {35, 0xCC}}},  // 8 days: 1687500 ticks
      {"an input list re-encodes the pairs, not the pulse value", {{12, 0x3F}},
       [](Form3Untouched& t) { t.Pick("cbMinInput", 1); }, {{12, 0x0D}}},
      {"regulation off ticks the flow sensor", {{51, 0x89}, {22, 70}},
       [](Form3Untouched& t) { t.Control<QAbstractButton>("chkRegelung")->click(); },
       {{51, 0x85}, {22, 70}}},
      {"the flow sensor off raises the pump minimum", {{22, 40}},
       [](Form3Untouched& t) { t.Control<QAbstractButton>("chkSetupFlusssensor")->click(); },
       {{51, 0x89}, {22, 60}}},
      {"the run-on time moves the leak time", {{45, 2}},
       [](Form3Untouched& t) { t.Step("udNachlaufzeit", 1); }, {{23, 124}, {45, 36}}},
  };
  for (const Row& row : rows) {
    ShowOverDefault(row.overlay);
    Bytes after = Image(0, 51);
    for (const auto& [address, value] : row.stored) after[address] = static_cast<std::uint8_t>(value);
    row.change(*this);
    EXPECT_EQ(Collected(), after) << row.what;
  }
}

TEST_F(Form3Untouched, LoadedFileIsSavedBackByteForByte) {
  QTemporaryDir files;
  const QString loaded = files.filePath("odd.ini"), saved = files.filePath("saved.ini");
  ControllerImage odd;
  LoadDefaultBlock(odd);
  for (const auto& [address, value] : Overlay{{3, 9}, {12, 0x33}, {42, 0xFF}, {44, 0xC1}})
    odd.SetByte(address, static_cast<std::uint8_t>(value));
  std::string reason;
  ASSERT_TRUE(SaveImageFile(loaded.toStdString(), odd, ImageFileKind::Settings, reason)) << reason;
  desktop.fileNames = {loaded, saved};
  Click("bbLoad");
  Click("bSave");
  ControllerImage back;
  ASSERT_TRUE(LoadImageFile(saved.toStdString(), back, ImageFileKind::Settings, reason).has_value())
      << reason;
  EXPECT_EQ(Bytes(back.bytes.begin(), back.bytes.begin() + 52),
            Bytes(odd.bytes.begin(), odd.bytes.begin() + 52));
}

}  // namespace
}  // namespace velta::test
