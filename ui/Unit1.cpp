#include "ui/Unit1.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QStyleFactory>
#include <chrono>
#include <filesystem>
#include <initializer_list>

#include "i18n/lookup.h"
#include "i18n/translate_component.h"
#include "link/adapter_info.h"
#include "link/adapter_latency.h"
#include "link/admin_flags.h"
#include "link/port_search.h"
#include "monitor/app_settings.h"
#include "ui/desktop.h"
#include "ui/qt_text.h"
#include "ui/readable_colour.h"
#include "ui/screen_fit.h"
#include "ui/text_fit.h"
#include "program_version.h"
#include "ui_Unit1.h"

using velta::ToQString;
using velta::ToStdString;

namespace {

// Time the last exchange gets before the poll Channel is closed.
constexpr std::chrono::milliseconds kCloseDelay{310};
constexpr int kMaxPorts = 50;
constexpr char kTcpFilter[] = "TCP (*.tcp)|*.tcp";

void SetEnabled(std::initializer_list<QWidget*> widgets, bool enabled) {
  for (QWidget* widget : widgets) widget->setEnabled(enabled);
}

// The port field as a number: its leading decimal digits, 0 when there are none.
std::int32_t LeadingNumber(const QString& text) {
  std::int32_t value = 0;
  for (const QChar c : text) {
    if (c < '0' || c > '9' || value > 99999999) break;
    value = value * 10 + (c.unicode() - '0');
  }
  return value;
}

// Only an adapter with a stable name can be followed from one ttyUSB number to the next; why the
// port behind a COM number cannot be pinned, empty when it can.
std::string PinUnavailableReason(const velta::AdapterInfo& adapter) {
  if (!adapter.stableName.empty()) return "";
  if (adapter.path.empty()) return V_("no device file for this number");
  std::error_code error;
  if (!std::filesystem::exists(adapter.device, error)) return velta::Format(V_("%s is not present now"), adapter.path.c_str());
  if (adapter.maker.empty() && adapter.product.empty()) {
    return velta::Format(V_("%s is not a USB adapter; its number does not change"),
                        adapter.device.c_str());
  }
  return V_("udev gives this adapter no stable name under /dev/serial/by-id");
}

// One style object for the group boxes of every Monitor window; it lives as long as the program.
QStyle* GroupBoxStyle() {
  static QStyle* style = [] {
    QStyle* created = QStyleFactory::create("Windows");
    if (created != nullptr) created->setParent(QCoreApplication::instance());
    return created;
  }();
  return style;
}

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::Form1>()) {
  ui->setupUi(this);
  feedback_ = std::make_unique<velta::MemoFeedback>(*ui->Memo1);
  velta::KeepForcedTextReadable(*this);
  setWindowTitle(QString("VEL Control V") + velta::kProgramVersion);
  velta::TranslateComponent(this);
  velta::TranslateOwnTexts(this);

  // Fixed single border: system menu and minimise only, centred on the screen.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  // The form's size, or what a small screen leaves of it with the rest to scroll to.
  velta::FitFormToScreen(*this);
  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = rect();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  // The design puts a group's first row right under its top edge, where a Windows group box
  // draws its caption on the frame line; other styles would run the line through that row.
  if (QStyle* groups = GroupBoxStyle()) {
    for (QGroupBox* box : findChildren<QGroupBox*>()) box->setStyle(groups);
  }
  ui->bbSearchPort->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
  ui->bbWriteEnable->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
  ui->imgStore->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));

  ConnectControls();
  // The poller's steps and opens come on its thread; the window shows them on its own.
  poller_.AddSink([this](const velta::service::PollEvent& event) {
    if (event.step == nullptr) return;
    QMetaObject::invokeMethod(
        this,
        [this, step = *event.step, readings = event.values->readings,
         switches = event.switches] { ShowPollStep(step, readings, switches); },
        Qt::QueuedConnection);
  });
  poller_.StartSwitchedOff([this](const velta::WatchOpen& open, std::uint64_t switches) {
    QMetaObject::invokeMethod(
        this, [this, open, switches] { ShowPollingOpened(open, switches); },
        Qt::QueuedConnection);
  });
}

Form1::~Form1() {
  // The poller's last answers must not reach a window that is going.
  poller_.Stop();
}

void Form1::ConnectControls() {
  connect(ui->bbSearchPort, &QPushButton::clicked, this, &Form1::bbSearchPortClick);
  // activated: only a choice by the user runs the port change, not a selection made by code.
  connect(ui->cbCom, &QComboBox::activated, this, &Form1::cbComChange);
  ui->cbCom->setContextMenuPolicy(Qt::CustomContextMenu);
  velta::KeepOpenListWide(*ui->cbCom);
  connect(ui->cbCom, &QWidget::customContextMenuRequested, this, &Form1::cbComContextPopup);
  connect(ui->rbSerial, &QRadioButton::clicked, this, &Form1::rbSerialClick);
  connect(ui->rbTcp, &QRadioButton::clicked, this, &Form1::rbTcpClick);
  // textChanged: text put into the fields by code is copied back too.
  connect(ui->edHost, &QLineEdit::textChanged, this, &Form1::edHostChange);
  connect(ui->edPort, &QLineEdit::textChanged, this, &Form1::edPortChange);
  connect(ui->bLoadTCP, &QPushButton::clicked, this, &Form1::bLoadTCPClick);
  connect(ui->bSaveTCP, &QPushButton::clicked, this, &Form1::bSaveTCPClick);
  // toggled: ticking the box from the saved settings starts Polling like a click does.
  connect(ui->cbStartSend, &QCheckBox::toggled, this, &Form1::cbStartSendClick);
  connect(ui->bbSetup, &QPushButton::clicked, this, &Form1::bbSetupClick);
  connect(ui->imgStore, &QToolButton::clicked, this, &Form1::imgStoreClick);
  connect(ui->bbClrError, &QPushButton::clicked, this, &Form1::bbClrErrorClick);
  connect(ui->bbWriteEnable, &QPushButton::clicked, this, &Form1::bbWriteEnableClick);
  // The connection log keeps its newest line in view when it grows or its view changes size; one
  // that the user scrolled up stays where it is, and TCP mode, which greys it, always follows.
  QScrollBar* logBar = ui->Memo1->verticalScrollBar();
  connect(logBar, &QScrollBar::valueChanged, this,
          [this, logBar](int value) { followLog_ = value == logBar->maximum(); });
  connect(logBar, &QScrollBar::rangeChanged, this, [this, logBar](int, int maximum) {
    if (followLog_ || !ui->Memo1->isEnabled()) logBar->setValue(maximum);
  });
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this, &Form1::FormContextPopup);
  ui->Chart1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ui->Chart1, &QWidget::customContextMenuRequested, this, &Form1::Chart1ContextMenu);
  for (QObject* watched : std::initializer_list<QObject*>{
           ui->Memo1->viewport(), ui->MemoError->viewport(), ui->MemoErrorStore->viewport(),
           ui->edFile, ui->Image1, ui->Chart1}) {
    watched->installEventFilter(this);
  }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    if (watched == ui->Memo1->viewport()) {
      Memo1DblClick();
      return true;
    }
    if (watched == ui->MemoError->viewport()) {
      MemoErrorDblClick();
      return true;
    }
    if (watched == ui->MemoErrorStore->viewport()) {
      MemoErrorStoreDblClick();
      return true;
    }
    if (watched == ui->edFile) {
      edFileDblClick();
      return true;
    }
  }
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == ui->Image1) {
      Image1Click();
      return true;
    }
    if (watched == ui->Chart1) {
      Chart1Click();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void Form1::SetBlueLedCaption(const QString& caption) { ui->lblLedBlue->setText(caption); }

void Form1::Log(const std::string& line) { ui->Memo1->appendPlainText(ToQString(line)); }

// --- start-up and shut-down ---

void Form1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shown_ || event->spontaneous()) return;
  shown_ = true;
  FormShow();
}

void Form1::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void Form1::FormShow() {
  // Pinned adapters must be in place before the search looks for them.
  comPins_ = velta::ReadAppSettings(*velta::OpenSettingsStore()).comPins;
  velta::ApplyComPins(comPins_);
  bbSearchPortClick();

  velta::AppSettings settings;
  settings.connection = connection_;  // keeps the port the search selected unless one is stored
  settings.file = ToStdString(ui->edFile->text());
  settings.view3D = View3D();
  velta::ReadAppSettings(*velta::OpenSettingsStore(), settings);
  connection_ = settings.connection;
  ui->cbStore->setChecked(settings.store);
  ui->edFile->setText(ToQString(settings.file));
  SetView3D(settings.view3D);
  ApplyAdminFlags();
  ui->edHost->setText(ToQString(connection_.tcpHost));
  // The field holds five characters; a longer stored number is kept as it is, so that starting
  // Polling refuses it instead of connecting to the port its first digits name.
  const std::int32_t storedPort = connection_.tcpPort;
  ui->edPort->setText(QString::number(storedPort));
  connection_.tcpPort = storedPort;
  if (connection_.useTcp) {
    ui->rbTcp->setChecked(true);
    rbTcpClick();
  }
  emit ResetSettingsView();

  ShowComPort();
  if (settings.startSend) ui->cbStartSend->setChecked(true);
  SetBlueLedCaption(flowSensor_ ? ToQString(_("Fluss")) : QString(" "));
}

void Form1::FormClose() {
  velta::AppSettings settings;
  settings.connection = connection_;
  settings.comPortIndex = ui->cbCom->currentIndex();
  settings.startSend = startSend_;
  settings.store = ui->cbStore->isChecked();
  settings.file = ToStdString(ui->edFile->text());
  settings.view3D = View3D();
  settings.comPins = comPins_;
  velta::WriteAppSettings(*velta::OpenSettingsStore(), settings);
  if (startSend_) poller_.SwitchOff(std::chrono::milliseconds(0));
}

void Form1::ApplyAdminFlags() {
  ui->bbClrError->setVisible((connection_.admin & velta::kAdminClearErrors) != 0);
  ui->bbWriteEnable->setVisible((connection_.admin & velta::kAdminWriteEnable) != 0);
  emit AllowErrorClearing((connection_.admin & velta::kAdminErrorMemory) != 0);
}

// --- port and transport ---

void Form1::bbSearchPortClick() {
  std::int32_t numbers[kMaxPorts];
  const std::int32_t count = std::max(0, velta::FindComPorts(kMaxPorts, numbers));
  Log(_("------ Suche Ports ------"));
  Log(velta::Format(_("%d Ports gefunden:"), count));
  ui->cbCom->clear();
  for (std::int32_t i = 0; i < count; ++i) {
    Log(velta::Format(_("%d. port: COM%lu"), i + 1, static_cast<unsigned long>(numbers[i])));
    ui->cbCom->addItem(QString::number(numbers[i]), numbers[i]);
    const velta::AdapterInfo adapter = velta::DescribeComPort(static_cast<std::uint32_t>(numbers[i]));
    ui->cbCom->setItemData(i, ToQString(velta::AdapterTooltip(adapter)), Qt::ToolTipRole);
  }
  Log("-----------------------------------");
  // Refilling the list drops any earlier choice, so the first port is taken.
  if (count > 0) {
    ui->cbCom->setCurrentIndex(0);
    cbComChange();
  }
}

void Form1::cbComChange() {
  if (ui->cbCom->currentIndex() < 0) return;
  connection_.comPort = ui->cbCom->currentData().toInt();
}

// The stored entry index may point at another port once adapters come and go; the list shows
// the port that opens, and one that is not there now says so instead of giving way to another.
void Form1::ShowComPort() {
  int entry = ui->cbCom->findData(connection_.comPort);
  if (entry < 0) {
    ui->cbCom->addItem(ToQString(V_("%1 (absent)")).arg(connection_.comPort), connection_.comPort);
    entry = ui->cbCom->count() - 1;
    ui->cbCom->setItemData(entry, ToQString(V_("This port is not present now")), Qt::ToolTipRole);
  }
  ui->cbCom->setCurrentIndex(entry);
}

void Form1::cbComContextPopup(const QPoint& where) {
  if (ui->cbCom->currentIndex() < 0) return;
  const std::int32_t port = ui->cbCom->currentData().toInt();
  QMenu menu(ui->cbCom);
  if (comPins_.count(port) != 0) {
    menu.addAction(ToQString(V_("Unpin COM%1")).arg(port), this, [this, port] { UnpinComPort(port); });
  } else {
    const velta::AdapterInfo adapter = velta::DescribeComPort(static_cast<std::uint32_t>(port));
    const std::string unavailable = PinUnavailableReason(adapter);
    QString text = ToQString(V_("Pin COM%1 to this adapter")).arg(port);
    if (!unavailable.empty()) text += ToQString(V_(" (unavailable: %1)")).arg(ToQString(unavailable));
    QAction* pin = menu.addAction(text, this, [this, port, stable = adapter.stableName] {
      PinComPort(port, stable);
    });
    pin->setEnabled(unavailable.empty());
  }
  menu.exec(ui->cbCom->mapToGlobal(where));
}

void Form1::FormContextPopup(const QPoint& where) {
  QMenu menu(this);
  QMenu* languages = menu.addMenu(ToQString(V_("Language")));
  std::string chosen = velta::ReadLanguageChoice(*velta::OpenSettingsStore());
  if (chosen.empty()) chosen = velta::GermanSelected() ? "de" : "en";
  for (const auto& [language, name] : {std::pair{"de", "Deutsch"}, std::pair{"en", "English"}}) {
    QAction* action =
        languages->addAction(name, this, [this, language = std::string(language)] {
          LanguageClick(language);
        });
    action->setCheckable(true);
    action->setChecked(chosen == language);
  }
  menu.exec(mapToGlobal(where));
}

void Form1::LanguageClick(const std::string& language) {
  velta::WriteLanguageChoice(*velta::OpenSettingsStore(), language);
  Log(V_("The language changes when the program is started again."));
}

void Form1::PinComPort(std::int32_t port, const std::string& stableName) {
  comPins_[port] = stableName;
  velta::ApplyComPins(comPins_);
  Log(velta::Format(V_("COM%d pinned to %s"), port, stableName.c_str()));
}

void Form1::UnpinComPort(std::int32_t port) {
  comPins_.erase(port);
  velta::SetComPortOverride(static_cast<std::uint32_t>(port), "");
  Log(velta::Format(V_("COM%d no longer pinned"), port));
}

void Form1::rbSerialClick() {
  SetEnabled({ui->Memo1, ui->bbSearchPort, ui->cbCom}, true);
  SetEnabled({ui->edHost, ui->edPort, ui->bSaveTCP, ui->bLoadTCP}, false);
  emit AllowUpdate(true);
  connection_.useTcp = false;
}

void Form1::rbTcpClick() {
  SetEnabled({ui->Memo1, ui->bbSearchPort, ui->cbCom}, false);
  SetEnabled({ui->edHost, ui->edPort, ui->bSaveTCP, ui->bLoadTCP}, true);
  emit AllowUpdate((connection_.admin & velta::kAdminUpdateOverTcp) != 0);
  connection_.useTcp = true;
}

void Form1::edHostChange() { connection_.tcpHost = ToStdString(ui->edHost->text()); }

void Form1::edPortChange() { connection_.tcpPort = LeadingNumber(ui->edPort->text()); }

// --- TCP address files ---

void Form1::bLoadTCPClick() {
  const QString path = velta::CurrentDesktop().OpenFileName(velta::QtFileFilter(kTcpFilter), "tcp");
  if (path.isEmpty()) return;
  const std::string file = ToStdString(path);
  std::string reason;
  const std::optional<velta::TcpAddress> address = velta::LoadTcpAddressFile(file, reason);
  if (!address) {
    Log(velta::Format(_("Datei %s kann nicht geöffnet werden."), file.c_str()));
    Log(reason);
    velta::CurrentDesktop().Beep();
    return;
  }
  ui->edHost->setText(ToQString(address->host));
  const QString port = ToQString(address->port);
  ui->edPort->setText(port);
  // The field keeps five characters; the port comes from the whole text, so that a longer number
  // is refused when Polling starts instead of reaching the port its first five digits name.
  connection_.tcpPort = LeadingNumber(port);
}

void Form1::bSaveTCPClick() {
  const QString path = velta::CurrentDesktop().SaveFileName(velta::QtFileFilter(kTcpFilter), "tcp");
  if (path.isEmpty()) return;
  const std::string file = ToStdString(path);
  std::string reason;
  if (!velta::SaveTcpAddressFile(file, ToStdString(ui->edHost->text()),
                                 ToStdString(ui->edPort->text()), reason)) {
    Log(velta::Format(V_("Could not write the TCP address file %s"), file.c_str()));
    Log(reason);
    velta::CurrentDesktop().Beep();
  }
}

// --- Polling ---

void Form1::cbStartSendClick() {
  startSend_ = ui->cbStartSend->isChecked();
  if (startSend_) {
    StartPolling();
  } else {
    StopPolling();
  }
}

// The open runs on the poller's thread; ShowPollingOpened says how it went.
void Form1::StartPolling() {
  const velta::ConnectionSettings c = connection_;
  // A port number beyond 16 bits would silently reach another port; refuse it instead.
  if (c.useTcp && !velta::TcpPortInRange(c.tcpPort)) {
    Log(velta::TcpPortOutOfRange(c.tcpPort) + V_("; no connection opened"));
    velta::CurrentDesktop().Beep();
    SetConnectionControlsEnabled(true);
    return;
  }
  pollingConnection_ = c;
  poller_.SwitchOn(c);
}

void Form1::ShowPollingOpened(const velta::WatchOpen& open, std::uint64_t switches) {
  if (switches != poller_.Switches()) return;
  const velta::ConnectionSettings& c = pollingConnection_;
  if (!open.opened) {
    if (c.useTcp) {
      Log(velta::Format(_("Fehler %d beim Verbinden mit %s:%d"), -1, c.tcpHost.c_str(), c.tcpPort));
    } else {
      Log(velta::Format(_("Fehler %d beim öffnen der Schnittstelle! COM%d"), -1, c.comPort));
    }
    Log(open.reason);
    velta::CurrentDesktop().Beep();
    SetConnectionControlsEnabled(true);
    return;
  }
  SetLiveDisplayStale(false);
  if (c.useTcp) {
    Log(velta::Format(_("Verbindung zu %s:%d geöffnet"), c.tcpHost.c_str(), c.tcpPort));
  } else {
    Log(velta::Format(_("Schnittstelle COM%d geöffnet"), c.comPort));
  }
  if (!open.reason.empty()) Log(open.reason);
  if (const std::string hint = velta::LatencyHint(c); !hint.empty()) Log(hint);
  SetConnectionControlsEnabled(false);
}

// Takes effect at once: an exchange still on the wire finishes on the poller's thread, which
// then gives it its time and closes the Channel; its answer is dropped.
void Form1::StopPolling() {
  const velta::ConnectionSettings& c = connection_;
  if (c.useTcp) {
    Log(velta::Format(_("Verbindung zu %s:%d getrennt"), c.tcpHost.c_str(), c.tcpPort));
  } else {
    Log(velta::Format(_("Schnittstelle COM%d geschlossen"), c.comPort));
  }
  poller_.SwitchOff(kCloseDelay);
  SetConnectionControlsEnabled(true);
}

void Form1::ConnectionLost(const std::string& line) {
  Log(line);
  SetLiveDisplayStale(true);
}

void Form1::ConnectionRestored(const std::string& line) {
  Log(line);
  SetLiveDisplayStale(false);
}

void Form1::SetConnectionControlsEnabled(bool enabled) {
  SetEnabled(
      {ui->bbSearchPort, ui->bbSetup, ui->bbWriteEnable, ui->edHost, ui->edPort, ui->rbSerial,
       ui->rbTcp, ui->bbClrError, ui->edFile, ui->cbStore, ui->bSaveTCP, ui->bLoadTCP},
      enabled);
}

// --- log and settings window ---

void Form1::Memo1DblClick() { ui->Memo1->clear(); }

void Form1::bbSetupClick() { emit OpenSettings(); }
