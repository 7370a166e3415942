#include "ui/compare_window.h"

#include <QListWidget>

#include "controller/block_diff.h"
#include "controller/settings_file.h"
#include "i18n/lookup.h"
#include "i18n/translate_component.h"
#include "ui/desktop.h"
#include "ui/qt_text.h"
#include "ui_compare_window.h"

using velta::ToQString;

namespace {

const char* const kSourceItems[] = {VN_("Current values in the window"),
                                    VN_("The controller's block (last read or written)"),
                                    VN_("Settings or backup file…"), VN_("Selected history entry")};

constexpr char kSettingsFilter[] = "Einstellungen (*.ini)|*.ini";
constexpr char kBackupFilter[] = "Backup (*.bak)|*.bak";

velta::ImageFileKind KindOfFile(const std::string& path) {
  return path.size() >= 4 && path.compare(path.size() - 4, 4, ".bak") == 0
             ? velta::ImageFileKind::Backup
             : velta::ImageFileKind::Settings;
}

QString EntryText(const velta::HistoryEntry& entry) {
  QString what = ToQString(entry.what).replace(u'-', u' ');
  QString text = ToQString(entry.date + "  " + entry.time + "  ") + what;
  if (entry.version != 0) text += "  " + ToQString(velta::VersionText(entry.version));
  return text;
}

}  // namespace

CompareWindow::CompareWindow(CompareSources sources, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::CompareWindow>()), sources_(std::move(sources)) {
  ui->setupUi(this);
  for (QComboBox* list : {ui->cbBefore, ui->cbAfter}) {
    for (const char* item : kSourceItems) list->addItem(QString::fromUtf8(item));
  }
  for (velta::HistoryEntry& entry : sources_.history.Entries()) {
    if (entry.extension != "ini" && entry.extension != "bak") continue;
    ui->lbHistory->addItem(EntryText(entry));
    entries_.push_back(std::move(entry));
  }
  ui->cbBefore->setCurrentIndex(entries_.empty() ? kControllerBlock : kHistoryEntry);
  ui->cbAfter->setCurrentIndex(kWindowValues);
  if (!entries_.empty()) ui->lbHistory->setCurrentRow(0);

  connect(ui->cbBefore, &QComboBox::activated, this, &CompareWindow::cbBeforeChange);
  connect(ui->cbAfter, &QComboBox::activated, this, &CompareWindow::cbAfterChange);
  connect(ui->lbHistory, &QListWidget::currentRowChanged, this, &CompareWindow::lbHistoryChange);
  connect(ui->lbHistory, &QListWidget::itemDoubleClicked, this, &CompareWindow::lbHistoryDblClick);
  connect(ui->bbLoadIntoWindow, &QPushButton::clicked, this, &CompareWindow::bbLoadIntoWindowClick);
  connect(ui->bbClose, &QPushButton::clicked, this, &QDialog::reject);
  velta::TranslateOwnTexts(this);
  ShowChanges();
}

CompareWindow::~CompareWindow() = default;

void CompareWindow::cbBeforeChange() {
  if (ui->cbBefore->currentIndex() == kChosenFile) ChooseFile(beforeFile_);
  ShowChanges();
}

void CompareWindow::cbAfterChange() {
  if (ui->cbAfter->currentIndex() == kChosenFile) ChooseFile(afterFile_);
  ShowChanges();
}

void CompareWindow::lbHistoryChange() {
  ui->bbLoadIntoWindow->setEnabled(SelectedEntry() != nullptr);
  ShowChanges();
}

void CompareWindow::lbHistoryDblClick() { bbLoadIntoWindowClick(); }

void CompareWindow::bbLoadIntoWindowClick() {
  const velta::HistoryEntry* entry = SelectedEntry();
  if (entry == nullptr) return;
  const std::string path = entry->path.string();
  sources_.loadIntoWindow(path, KindOfFile(path));
  accept();
}

void CompareWindow::ChooseFile(std::string& file) {
  // The filters of the Settings window's own file dialogs, looked up as they are there.
  const QString filter =
      ToQString(velta::Translate(kSettingsFilter) + "|" + velta::Translate(kBackupFilter));
  const QString chosen = velta::CurrentDesktop().OpenFileName(velta::QtFileFilter(filter), "ini");
  if (!chosen.isEmpty()) file = velta::AbsoluteFilePath(chosen);
}

const velta::HistoryEntry* CompareWindow::SelectedEntry() const {
  const int row = ui->lbHistory->currentRow();
  if (row < 0 || row >= static_cast<int>(entries_.size())) return nullptr;
  return &entries_[static_cast<std::size_t>(row)];
}

CompareWindow::Side CompareWindow::Take(int source, const std::string& file) const {
  Side side;
  std::string path = file;
  switch (source) {
    case kWindowValues:
      side.image = sources_.windowValues();
      return side;
    case kControllerBlock: {
      const velta::Baseline& controller = sources_.baselines.Controller();
      if (!controller.Covers(0, velta::kParameterBlockSize - 1)) {
        side.missing = V_("Nothing has been read from the controller yet.");
        return side;
      }
      side.image = controller.image;
      side.whole = controller.Covers(0, velta::kImageSize - 1);
      return side;
    }
    case kHistoryEntry:
      if (SelectedEntry() == nullptr) {
        side.missing = V_("No history entry is selected.");
        return side;
      }
      path = SelectedEntry()->path.string();
      break;
    default:
      if (path.empty()) {
        side.missing = V_("No file has been chosen.");
        return side;
      }
  }
  velta::ControllerImage image;
  const velta::ImageFileKind kind = KindOfFile(path);
  std::string reason;
  if (!velta::LoadImageFile(path, image, kind, reason)) {
    side.missing = velta::Format(V_("The file %s cannot be read. %s"), path.c_str(), reason.c_str());
    return side;
  }
  side.image = image;
  side.whole = kind == velta::ImageFileKind::Backup;
  return side;
}

void CompareWindow::ShowChanges() {
  const Side before = Take(ui->cbBefore->currentIndex(), beforeFile_);
  const Side after = Take(ui->cbAfter->currentIndex(), afterFile_);
  std::vector<std::string> lines;
  for (const Side* side : {&before, &after}) {
    if (!side->image) lines.push_back(side->missing);
  }
  if (lines.empty()) {
    lines = before.whole && after.whole
                ? velta::BackupChangeLines(*before.image, *after.image)
                : velta::ChangeLines(velta::SettingsChanges(*before.image, *after.image));
  }
  QStringList text;
  for (const std::string& line : lines) text << ToQString(line);
  ui->memoChanges->setPlainText(text.join(u'\n'));
}
