#include "ui/Unit3.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHideEvent>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QStyle>

#include "controller/default_block.h"
#include "controller/setting_fields.h"
#include "i18n/translate_component.h"
#include "monitor/app_settings.h"
#include "ui/desktop.h"
#include "ui/memo_feedback.h"
#include "ui/pictures.h"
#include "ui/readable_colour.h"
#include "ui/text_fit.h"
#include "ui_Unit3.h"

namespace {

// The bits of the store's "Expert" value, which no part of the program writes.
constexpr long long kExpertConsentBit = 0x100;      // the expert view without the question
constexpr long long kPowerStageUnlockedBit = 0x80;  // the expert view unlocks the power stage

// The Settings window reports like every window and shows or hides its write buttons.
class WindowReport : public velta::MemoFeedback {
 public:
  explicit WindowReport(Ui::Form3& ui) : MemoFeedback(*ui.Memo3, *ui.pbAktiv), ui_(ui) {}

  void ShowWriteButtons(bool visible) override {
    ui_.bbSendBC->setVisible(visible);
    ui_.bbClrError->setVisible(visible);
    ui_.bbWriteH->setVisible(visible);
  }

 private:
  Ui::Form3& ui_;
};

}  // namespace

Form3::Form3(velta::ConnectionSource connection, velta::History& history, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::Form3>()),
      connection_(std::move(connection)),
      history_(history) {
  ui->setupUi(this);
  velta::KeepForcedTextReadable(*this);
  feedback_ = std::make_unique<WindowReport>(*ui);

  AttachEditors();
  auto* digits = new QRegularExpressionValidator(QRegularExpression("[0-9]*"), this);
  for (QLineEdit* field : {ui->edRefZistLeer, ui->edRefZistVoll, ui->edPumpeH})
    field->setValidator(digits);
  for (QObject* watched :
       {static_cast<QObject*>(ui->Memo3->viewport()), static_cast<QObject*>(ui->Image1),
        static_cast<QObject*>(ui->edLaufzeit), static_cast<QObject*>(ui->edLaufzeitProzent)}) {
    watched->installEventFilter(this);
  }
  ui->bbOK->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
  ui->bbAbbruch->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
  ui->bbReadTimer->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
  ui->Image1->setPixmap(velta::MakerLogo());
  ui->imgNoExpert->setPixmap(velta::NormalViewPicture());
  ConnectControls();

  velta::LoadDefaultBlock(image_);
  LoadRegistryCache();
  ShowBlock();  // also runs the regulation box's handler
  SelectPreset();
  ApplyGroupMask(0);  // the normal view until the Monitor window or the user chooses
  velta::TranslateComponent(this);
  velta::FitListsToItems(*this);
}

Form3::~Form3() = default;

// The steppers are connected with the value editor table.
void Form3::ConnectControls() {
  const std::pair<QAbstractButton*, void (Form3::*)()> buttons[] = {
      {ui->bbReadBC, &Form3::bbReadBCClick},       {ui->bbSendBC, &Form3::bbSendBCClick},
      {ui->bbLoad, &Form3::bbLoadClick},           {ui->bSave, &Form3::bSaveClick},
      {ui->bbCompare, &Form3::bbCompareClick},
      {ui->bbReadH, &Form3::bbReadHClick},         {ui->bbWriteH, &Form3::bbWriteHClick},
      {ui->bbReadError, &Form3::bbReadErrorClick}, {ui->bbClrError, &Form3::bbClrErrorClick},
      {ui->bbReadTimer, &Form3::bbReadTimerClick}, {ui->bbUpdate, &Form3::bbUpdateClick},
      {ui->bbReport, &Form3::bbReportClick},
      {ui->bbEditTF, &Form3::bbEditTFClick},       {ui->bbOK, &Form3::bbOKClick},
      {ui->bbAbbruch, &Form3::bbAbbruchClick},     {ui->rbNormal, &Form3::rgAnsichtClick},
      {ui->rbExperte, &Form3::rgAnsichtClick},
  };
  for (const auto& [button, handler] : buttons)
    connect(button, &QAbstractButton::clicked, this, handler);

  // A check box runs its handler whenever its state changes, also when code ticks it.
  const std::pair<QCheckBox*, void (Form3::*)()> boxes[] = {
      {ui->chkRegelung, &Form3::chkRegelungClick},
      {ui->chkSetupFlusssensor, &Form3::chkSetupFlusssensorClick},
      {ui->chkSchwimmerSchalter, &Form3::chkSchwimmerSchalterClick},
      {ui->cbBackup, &Form3::cbBackupClick},
  };
  for (const auto& [box, handler] : boxes) connect(box, &QCheckBox::toggled, this, handler);

  // Lists run their handler only when the user picks an item; code that sets an item calls the
  // handler itself where it is needed.
  const std::pair<QComboBox*, void (Form3::*)()> lists[] = {
      {ui->cbRegelungsart, &Form3::cbRegelungsartChange},
      {ui->cbVariante, &Form3::cbVarianteChange},
      {ui->cbPower, &Form3::cbPowerChange},
      {ui->cbDrucksensor, &Form3::cbDrucksensorClick},
      {ui->cbMinInput, &Form3::cbMinInputClick},
      {ui->cbMaxInput, &Form3::cbMinInputClick},
      {ui->cbTankform, &Form3::cbTankformChange},
      {ui->cbClr, &Form3::cbClrChange},
      {ui->cbFehlerspeicher, &Form3::cbFehlerspeicherChange},
  };
  for (const auto& [list, handler] : lists) connect(list, &QComboBox::activated, this, handler);
}

velta::Feedback& Form3::WindowFeedback() { return *feedback_; }

void Form3::ResetView() {
  shownView_ = kNoView;
  SetViewItem(0);
  rgAnsichtClick();
}

void Form3::SetUpdateButtonVisible(bool visible) { ui->bbUpdate->setVisible(visible); }

void Form3::SetErrorClearingVisible(bool visible) {
  ui->cbFehlerspeicher->setVisible(visible);
  ui->bbClrError->setVisible(visible);
}

bool Form3::FlowSensorTicked() const { return ui->chkSetupFlusssensor->isChecked(); }

void Form3::LoadRegistryCache() {
  const auto store = velta::OpenSettingsStore();
  for (int address = 0; address < velta::kParameterBlockSize; ++address) {
    const QVariant value = store->value(QString::number(address));
    bool number = false;
    const qlonglong byte = value.toLongLong(&number);
    // A value that is missing or no number keeps the byte already in the block.
    if (number) image_.SetByte(address, static_cast<std::uint8_t>(byte & 0xFF));
  }
  long long expert = 0;
  if (!velta::ReadStoreInteger(*store, "Expert", expert)) return;
  if ((expert & kExpertConsentBit) != 0) expertConsent_ = true;
  if ((expert & kPowerStageUnlockedBit) != 0) powerStageUnlocked_ = true;
}

void Form3::SaveRegistryCache() {
  const auto store = velta::OpenSettingsStore();
  for (int address = 0; address < velta::kParameterBlockSize; ++address) {
    store->setValue(QString::number(address), static_cast<int>(image_.Byte(address)));
  }
  store->sync();
}

void Form3::bbOKClick() {
  if (!CollectBlock()) return;
  SaveRegistryCache();
  accept();
}

void Form3::bbAbbruchClick() { reject(); }

void Form3::cbTankformChange() {
  const bool custom = ui->cbTankform->currentIndex() == velta::kCustomTankform;
  ui->bbEditTF->setEnabled(custom);
  if (!custom) emit CloseTankTable();
}

void Form3::Memo3DblClick() { ui->Memo3->clear(); }

void Form3::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void Form3::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (!event->spontaneous()) FormClose();
}

bool Form3::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui->Memo3->viewport() && event->type() == QEvent::MouseButtonDblClick) {
    Memo3DblClick();
    return true;
  }
  if (event->type() == QEvent::MouseButtonRelease) {
    if (watched == ui->Image1) Image1Click();
    if (watched == ui->edLaufzeit || watched == ui->edLaufzeitProzent) edLaufzeitClick();
  }
  return QDialog::eventFilter(watched, event);
}
