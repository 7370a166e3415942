#include "ui/Unit1.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QStyleFactory>
#include <QThread>
#include <initializer_list>

#include "i18n/lookup.h"
#include "i18n/translate_component.h"
#include "link/adapter_info.h"
#include "link/admin_flags.h"
#include "link/open_reason.h"
#include "link/port_search.h"
#include "monitor/app_settings.h"
#include "ui/desktop.h"
#include "ui/qt_text.h"
#include "ui/readable_colour.h"
#include "ui/screen_fit.h"
#include "program_version.h"
#include "ui_Unit1.h"

using velta::ToQString;
using velta::ToStdString;

namespace {

constexpr int kPollIntervalMs = 200;
// Time the last exchange gets before the poll Channel is closed.
constexpr unsigned long kCloseDelayMs = 310;
constexpr int kMaxPorts = 50;
constexpr int kHealIntervalMs = 1000;
// A reopen attempt while healing holds the window at most this long (a TCP connect).
constexpr int kHealConnectMs = 250;
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
  velta::KeepForcedTextReadable(*this);
  setWindowTitle(QString("VEL Control V") + velta::kProgramVersion);
  velta::TranslateComponent(this);

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

  Timer1.setObjectName("Timer1");
  Timer1.setParent(this);
  Timer1.setInterval(kPollIntervalMs);
  HealTimer.setObjectName("HealTimer");
  HealTimer.setParent(this);
  HealTimer.setInterval(kHealIntervalMs);
  ConnectControls();
}

Form1::~Form1() {
  Timer1.stop();
  HealTimer.stop();
}

void Form1::ConnectControls() {
  connect(&Timer1, &QTimer::timeout, this, &Form1::Timer1Timer);
  connect(&HealTimer, &QTimer::timeout, this, &Form1::HealTimerTimer);
  connect(ui->bbSearchPort, &QPushButton::clicked, this, &Form1::bbSearchPortClick);
  // activated: only a choice by the user runs the port change, not a selection made by code.
  connect(ui->cbCom, &QComboBox::activated, this, &Form1::cbComChange);
  ui->cbCom->setContextMenuPolicy(Qt::CustomContextMenu);
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

  ui->cbCom->setCurrentIndex(settings.comPortIndex);
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
  if (startSend_) {
    Timer1.stop();
    HealTimer.stop();
    channel_.Close();
  }
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
    ui->cbCom->addItem(QString::number(numbers[i]));
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
  connection_.comPort = ui->cbCom->currentText().toInt(nullptr, 10);
}

void Form1::cbComContextPopup(const QPoint& where) {
  if (ui->cbCom->currentIndex() < 0) return;
  const std::int32_t port = ui->cbCom->currentText().toInt(nullptr, 10);
  QMenu menu(ui->cbCom);
  if (comPins_.count(port) != 0) {
    menu.addAction(QString("Unpin COM%1").arg(port), this, [this, port] { UnpinComPort(port); });
  } else {
    const std::string stable =
        velta::DescribeComPort(static_cast<std::uint32_t>(port)).stableName;
    QAction* pin = menu.addAction(QString("Pin COM%1 to this adapter").arg(port), this,
                                  [this, port, stable] { PinComPort(port, stable); });
    // Only an adapter with a stable name can be followed from one ttyUSB number to the next.
    pin->setEnabled(!stable.empty());
  }
  menu.exec(ui->cbCom->mapToGlobal(where));
}

void Form1::PinComPort(std::int32_t port, const std::string& stableName) {
  comPins_[port] = stableName;
  velta::ApplyComPins(comPins_);
  Log(velta::Format("COM%d pinned to %s", port, stableName.c_str()));
}

void Form1::UnpinComPort(std::int32_t port) {
  comPins_.erase(port);
  velta::SetComPortOverride(static_cast<std::uint32_t>(port), "");
  Log(velta::Format("COM%d no longer pinned", port));
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
    Log(velta::Format("Could not write the TCP address file %s", file.c_str()));
    Log(reason);
    velta::CurrentDesktop().Beep();
  }
}

// --- Polling ---

void Form1::cbStartSendClick() {
  if (ui->cbStartSend->isChecked()) {
    startSend_ = true;
    ResetPollForStart();
  } else {
    startSend_ = false;
  }
  if (startSend_) {
    StartPolling();
  } else {
    StopPolling();
  }
}

void Form1::StartPolling() {
  const velta::ConnectionSettings& c = connection_;
  // A port number beyond 16 bits would silently reach another port; refuse it instead.
  if (c.useTcp && !velta::TcpPortInRange(c.tcpPort)) {
    Timer1.stop();
    Log(velta::TcpPortOutOfRange(c.tcpPort) + "; no connection opened");
    velta::CurrentDesktop().Beep();
    SetConnectionControlsEnabled(true);
    return;
  }
  channel_ = velta::OpenFromSettings(c);
  if (!channel_.IsOpen()) {
    Timer1.stop();
    if (c.useTcp) {
      Log(velta::Format(_("Fehler %d beim Verbinden mit %s:%d"), -1, c.tcpHost.c_str(), c.tcpPort));
    } else {
      Log(velta::Format(_("Fehler %d beim öffnen der Schnittstelle! COM%d"), -1, c.comPort));
    }
    Log(velta::OpenFailureReason(c));
    velta::CurrentDesktop().Beep();
    SetConnectionControlsEnabled(true);
    return;
  }
  Timer1.start();
  SetLiveDisplayStale(false);
  if (c.useTcp) {
    Log(velta::Format(_("Verbindung zu %s:%d geöffnet"), c.tcpHost.c_str(), c.tcpPort));
  } else {
    Log(velta::Format(_("Schnittstelle COM%d geöffnet"), c.comPort));
  }
  if (const std::string reached = velta::OpenedReason(c); !reached.empty()) Log(reached);
  SetConnectionControlsEnabled(false);
}

void Form1::StopPolling() {
  const velta::ConnectionSettings& c = connection_;
  Timer1.stop();
  HealTimer.stop();
  if (c.useTcp) {
    Log(velta::Format(_("Verbindung zu %s:%d getrennt"), c.tcpHost.c_str(), c.tcpPort));
  } else {
    Log(velta::Format(_("Schnittstelle COM%d geschlossen"), c.comPort));
  }
  QThread::msleep(kCloseDelayMs);
  channel_.Close();
  SetConnectionControlsEnabled(true);
}

void Form1::ConnectionLost() {
  Timer1.stop();
  channel_.Close();
  Log(velta::ConnectionLostLine(connection_));
  SetLiveDisplayStale(true);
  HealTimer.start();
}

void Form1::HealTimerTimer() {
  channel_ = velta::OpenFromSettings(connection_, kHealConnectMs);
  if (!channel_.IsOpen()) return;
  HealTimer.stop();
  Log(velta::ConnectionRestoredLine(connection_));
  poll_.state = velta::PollState::MainStatus;
  ResetPollForStart();
  SetLiveDisplayStale(false);
  Timer1.start();
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
