// What a write changes, field by field as the Settings window shows the fields, and the details a
// write question gets from the blocks it is compared with.
#include "controller/block_diff.h"

#include <gtest/gtest.h>

#include "controller/conversions.h"
#include "controller/default_block.h"
#include "controller/fields.h"
#include "controller/write_baseline.h"
#include "tests/support/english_suite.h"

namespace velta {
namespace {

namespace f = field;
using Lines = std::vector<std::string>;

class BlockDiff : public test::EnglishSuite {
 protected:
  BlockDiff() { LoadDefaultBlock(before); }

  ControllerImage before;
};

// Ordered by address: interval 32, interval 38, leak byte 44, setup flags 51 from bit 0 up.
TEST_F(BlockDiff, EditorValuesInTheirUnitsAndPackedOptionsByName) {
  ControllerImage after = before;
  Set(after, f::DruckEin, 24);         // 2.0bar in the Default block
  Set(after, f::Urlaub, 0);            // "immer Aus" ticked
  Set(after, f::ShowTxRx, 1);          // same byte as Urlaub
  Set(after, f::LeckUeberwachung, 1);  // byte 44, beside the leak count
  Set(after, f::FilterSpuelIntervall, TicksFromDays(30));
  Set(after, f::ModulSpuelIntervall, Get(before, f::ModulSpuelIntervall) + 1);  // not a whole day

  EXPECT_EQ(ChangeLines(SettingsChanges(before, after)),
            (Lines{"Pump – On: 2.0bar → 2.4bar", "Outlet valve – Interval: 7days → 30days",
                   "Module flushing – Interval: 30days (stored 6328125) → 30days (stored 6328126)",
                   "Leak monitoring (Er.L) – Leak monitoring: Off → On",
                   "Pump off – always off: Off → On", "Display – Communication: Off → On"}));
}

TEST_F(BlockDiff, UnchangedBlockAndBackupCounts) {
  EXPECT_EQ(ChangeLines(SettingsChanges(before, before)), Lines{"no change"});
  EXPECT_EQ(BackupChangeLines(before, before), Lines{"no change"});

  ControllerImage after = before;
  Set(after, f::PumpeStarts, 1234);  // 0 before: two of its four bytes change
  EXPECT_EQ(BackupChangeLines(before, after), Lines{"2 other bytes differ"});
  Set(after, f::Tankform, 3);
  EXPECT_EQ(BackupChangeLines(before, after),
            (Lines{"Cistern – Tank shape: Horizontal cylinder → Own tank shape",
                   "2 other bytes differ"}));
}

TEST_F(BlockDiff, DetailsNameWhatTheWriteIsComparedWith) {
  ControllerImage after = before;
  Set(after, f::DruckEin, 24);
  Baselines baselines;
  EXPECT_EQ(SettingsWriteDetails(baselines, after),
            "Nothing to compare with: these values have not been read from the controller or "
            "loaded from a file yet.");

  baselines.ControllerRead(0, std::span(before.bytes).first(kParameterBlockSize));
  EXPECT_EQ(SettingsWriteDetails(baselines, after),
            "Against the block last read from the controller:\nPump – On: 2.0bar → 2.4bar\n");
  EXPECT_EQ(BackupWriteDetails(baselines, after).rfind("Nothing to compare with", 0), 0u)
      << "a settings read does not hold the whole backup";

  // A loaded file comes first; the controller's block still tells what the controller holds.
  ControllerImage file = before;
  Set(file, f::DruckEin, 30);
  baselines.FileLoaded("/tmp/site.ini", file, kParameterBlockSize);
  EXPECT_EQ(SettingsWriteDetails(baselines, after),
            "Against the file /tmp/site.ini:\nPump – On: 3.0bar → 2.4bar\n\n"
            "Against the block last read from the controller:\nPump – On: 2.0bar → 2.4bar\n");

  // A write makes the written block the controller's; a settings read drops the file.
  baselines.ControllerWritten(0, std::span(after.bytes).first(kParameterBlockSize));
  baselines.BlockRead();
  EXPECT_EQ(SettingsWriteDetails(baselines, after),
            "Against the block last written to the controller:\nno change\n");
}

TEST_F(BlockDiff, CounterAndTankTableDetails) {
  ControllerImage after = before;
  StoreCounter(after, Counter::PumpHours, 1500);
  Baselines baselines;
  baselines.ControllerRead(0, std::span(before.bytes).first(88));
  EXPECT_EQ(CounterWriteDetails(baselines, after, Counter::PumpHours),
            "Against the block last read from the controller:\nPump[h]: 0 → 1500\n");

  TankTable read{}, edited{};
  edited[7] = 40;
  TankBaselines tank;
  tank.controller = TankBaseline{"the table last read from the controller", read};
  EXPECT_EQ(TankWriteDetails(tank, edited),
            "Against the table last read from the controller:\nEntry 7: 0 → 40\n");
}

}  // namespace
}  // namespace velta
