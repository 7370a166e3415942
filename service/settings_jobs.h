// The Settings window's block jobs: read the settings or the backup, write the settings (whole
// or only what changed), restore a backup. Each runs on one link, keeps what it read and what it
// overwrote in the history, and leaves the records' write baseline as the controller holds it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controller/feedback.h"
#include "controller/block_diff.h"
#include "controller/image.h"
#include "controller/setting_fields.h"
#include "controller/settings_file.h"
#include "link/channel_handle.h"
#include "link/connection.h"
#include "service/records.h"

namespace velta::service {

// Reads the Parameter block (kind Settings: 0..51) or the whole Backup image (1..255, then
// 0..1) into `image`. A good read is kept in the history as "settings" or "backup" and becomes
// the controller's baseline; a file loaded before no longer counts.
MemoryRead ReadBlock(const ConnectionSettings& settings, Feedback& feedback, Records records,
                     ImageFileKind kind, ControllerImage image);

// The block as a settings write sends it. The reference-value rule: the cistern reference values
// are measured on site by the controller, so without `sendReferences` the write keeps the
// controller's own where the baseline holds its block.
ControllerImage SettingsAsWritten(const ControllerImage& block, bool sendReferences,
                                  const Baselines& baselines);

struct SettingsWrite {
  ControllerImage block;         // bytes 0..51 are written
  bool sendReferences = false;   // false: the controller keeps its own reference values
  bool changedOnly = false;      // write only the bytes that differ from the controller's
  // Read the controller's block first when no read holds it, so the history keeps what the
  // write overwrites (velta-cli, which has read nothing before).
  bool readUnknownBlock = false;
  // Refuse a value the write would change to one outside its field's range (velta-cli, whose
  // files no editor has checked).
  bool checkRanges = false;
};

struct BlockWrite : JobResult {
  ControllerImage block;         // as written: with the controller's reference values taken in
  bool controllerRead = false;   // the job read the controller's block before writing
  std::vector<int> written;      // a changed-only write: the addresses written
};

// A value the write would change to one outside its field's range.
struct RangeBreach {
  const SettingField* field;
  int value;
  SettingRange range;
};

// A write planned on its link: the controller's block read once (where the write needs it) and
// kept in the history, the image as it will be written, the lines the question shows, and
// whatever stops the write. The link stays open for CarryOut; nothing has been written yet.
struct WritePlan : JobResult {
  ImageFileKind kind = ImageFileKind::Settings;
  bool changedOnly = false;
  ChannelHandle link;
  ControllerImage image;          // as it will be written: with the controller's references
  bool controllerKnown = false;   // a read (now or before) holds the controller's block
  bool controllerRead = false;    // the plan read it now
  ControllerImage controller;     // the controller's block as known
  std::vector<FieldChange> changes;  // the settings the write changes
  int otherBytes = 0;                // a restore: bytes beyond the settings that change
  std::vector<RangeBreach> breaches;  // checked and not empty: Refused, nothing may be sent
  std::string historyFailure;         // why the before-write copy was not kept; empty: it was
  Baselines* baselines = nullptr;     // the records' baseline, which CarryOut brings up to date

  // The question's lines: one per change, or "no change".
  std::vector<std::string> ChangeList() const;
};

// Plans a settings write: reads the controller's block first where the write needs it (its
// reference values, the changed-only comparison, or `readUnknownBlock`), applies the reference
// rule, checks the ranges and keeps the controller's block as "settings-before-write".
WritePlan PlanSettingsWrite(const ConnectionSettings& settings, Feedback& feedback,
                            Records records, const SettingsWrite& write);

// Plans a restore of the whole image; with `readUnknownBlock` the image is read first when no
// read holds it; `checkRanges` as for a settings write. The controller's image before (or its
// Parameter block, when only that is known) is kept in the history.
WritePlan PlanRestore(const ConnectionSettings& settings, Feedback& feedback, Records records,
                      const ControllerImage& image, bool readUnknownBlock,
                      bool checkRanges = false);

// Writes what the plan holds on its link, whatever its history failure (the face has decided
// whether that may go ahead). A plan that stopped writes nothing.
BlockWrite CarryOut(WritePlan plan, const ConnectionSettings& settings, Feedback& feedback);

// A plan carried out at once, the before-write copy kept where it can be.
BlockWrite WriteSettings(const ConnectionSettings& settings, Feedback& feedback, Records records,
                         const SettingsWrite& write);

// Writes the whole image (0..255) and restarts the controller, as planned by PlanRestore.
BlockWrite RestoreBackup(const ConnectionSettings& settings, Feedback& feedback, Records records,
                         const ControllerImage& image, bool readUnknownBlock);

}  // namespace velta::service
