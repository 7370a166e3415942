// The Settings window's block jobs: read the settings or the backup, write the settings (whole
// or only what changed), restore a backup. Each runs on one link, keeps what it read and what it
// overwrote in the history, and returns the write baseline as the controller holds it afterwards.
#pragma once

#include <cstdint>
#include <vector>

#include "controller/feedback.h"
#include "controller/image.h"
#include "controller/settings_file.h"
#include "link/connection.h"
#include "service/records.h"

namespace velta::service {

// Reads the Parameter block (kind Settings: 0..51) or the whole Backup image (1..255, then
// 0..1) into `image`. A good read is kept in the history as "settings" or "backup" and becomes
// the controller's baseline; a file loaded before no longer counts.
MemoryRead ReadBlock(const ConnectionSettings& settings, Feedback& feedback, Records records,
                     ImageFileKind kind, ControllerImage image);

// The reference-value rule: the cistern reference values are measured on site by the controller,
// so a settings write keeps the controller's own unless the user asks to send the block's.
void KeepControllerReferences(ControllerImage& block, const ControllerImage& controller);

struct SettingsWrite {
  ControllerImage block;         // bytes 0..51 are written
  bool sendReferences = false;   // false: the controller keeps its own reference values
  bool changedOnly = false;      // write only the bytes that differ from the controller's
  // Read the controller's block first when no read holds it, so the history keeps what the
  // write overwrites (velta-cli, which has read nothing before).
  bool readUnknownBlock = false;
};

struct BlockWrite : JobResult {
  ControllerImage block;         // as written: with the controller's reference values taken in
  bool controllerRead = false;   // the job read the controller's block before writing
  std::vector<int> written;      // a changed-only write: the addresses written
  Baselines baselines;
};

// Reads the controller's block first where the write needs it (its reference values, the
// changed-only comparison, or `readUnknownBlock`), keeps the controller's block in the history
// as "settings-before-write" and writes, all on one link.
BlockWrite WriteSettings(const ConnectionSettings& settings, Feedback& feedback, Records records,
                         const SettingsWrite& write);

// Writes the whole image (0..255) and restarts the controller. The controller's image before
// (or its Parameter block, when only that is known) goes to the history first; with
// `readUnknownBlock` the image is read first when no read holds it.
BlockWrite RestoreBackup(const ConnectionSettings& settings, Feedback& feedback, Records records,
                         const ControllerImage& image, bool readUnknownBlock);

}  // namespace velta::service
