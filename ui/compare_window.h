// The Compare window: the field-by-field differences, in the editors' units, between any two of
// the Settings window's current values, the controller's block as last read, a settings or backup
// file and a history entry. A history entry can be loaded into the Settings window from here.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controller/history.h"
#include "controller/image.h"
#include "controller/settings_file.h"
#include "controller/write_baseline.h"

namespace Ui {
class CompareWindow;
}

// What the window compares, from the Settings window that opens it.
struct CompareSources {
  std::function<velta::ControllerImage()> windowValues;
  const velta::Baselines& baselines;
  const velta::History& history;
  // Loads a file into the Settings window as "Einstellungen laden" does.
  std::function<void(const std::string& path, velta::ImageFileKind kind)> loadIntoWindow;
};

class CompareWindow : public QDialog {
  Q_OBJECT
 public:
  // The items of the two source lists.
  enum Source { kWindowValues = 0, kControllerBlock = 1, kChosenFile = 2, kHistoryEntry = 3 };

  explicit CompareWindow(CompareSources sources, QWidget* parent = nullptr);
  ~CompareWindow() override;

  void cbBeforeChange();
  void cbAfterChange();
  void lbHistoryChange();
  void lbHistoryDblClick();
  void bbLoadIntoWindowClick();

 private:
  // One side of the comparison: its image, whether it holds all 256 bytes, or why there is none.
  struct Side {
    std::optional<velta::ControllerImage> image;
    bool whole = false;
    std::string missing;
  };
  Side Take(int source, const std::string& file) const;
  // "Settings or backup file…" picked: asks for the file; a cancelled dialog keeps the last one.
  void ChooseFile(std::string& file);
  const velta::HistoryEntry* SelectedEntry() const;
  void ShowChanges();

  std::unique_ptr<Ui::CompareWindow> ui;
  CompareSources sources_;
  std::vector<velta::HistoryEntry> entries_;  // the settings and backup files of the history
  std::string beforeFile_;
  std::string afterFile_;
};
