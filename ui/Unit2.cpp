#include "ui/Unit2.h"

#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStringDecoder>

#include "i18n/lookup.h"
#include "service/tank_jobs.h"
#include "ui/busy_window.h"
#include "ui/desktop.h"
#include "ui/job_runner.h"
#include "ui/qt_text.h"
#include "ui_Unit2.h"

using velta::ToQString;
using velta::ToStdString;

namespace {

// Table files written on other systems may carry the name in a single-byte code page.
QString DecodeName(const std::string& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString name = utf8(QByteArray::fromStdString(bytes));
  return utf8.hasError() ? QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()))
                         : name;
}

}  // namespace

Form2::Form2(velta::ConnectionSource connection, velta::History& history, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::Form2>()),
      connection_(std::move(connection)),
      history_(history) {
  ui->setupUi(this);
  feedback_ = std::make_unique<velta::MemoFeedback>(*ui->Memo3, *ui->pbAktiv);
  // Fixed border with a minimise button; the layout fixes the size.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  connect(ui->bbLoad, &QPushButton::clicked, this, &Form2::bbLoadClick);
  connect(ui->bbSave, &QPushButton::clicked, this, &Form2::bbSaveClick);
  connect(ui->bbRead, &QPushButton::clicked, this, &Form2::bbReadClick);
  connect(ui->bbSend, &QPushButton::clicked, this, &Form2::bbSendClick);
  ui->Memo3->viewport()->installEventFilter(this);
  ui->plotTank->SetTable(table_);
}

Form2::~Form2() = default;

bool Form2::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui->Memo3->viewport() && event->type() == QEvent::MouseButtonDblClick) {
    Memo3DblClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void Form2::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) return;
  QDialog::keyPressEvent(event);
}

void Form2::Memo3DblClick() { ui->Memo3->clear(); }

void Form2::SetTableUsable(bool usable) {
  ui->bbSave->setEnabled(usable);
  ui->bbSend->setEnabled(usable);
}

void Form2::bbLoadClick() {
  const QString chosen = velta::CurrentDesktop().OpenFileName(
      velta::QtFileFilter(ToQString(_("Tankform(*.csv)|*.csv"))), QStringLiteral("csv"));
  if (chosen.isEmpty()) return;
  const QFileInfo file(chosen);
  const std::string path = velta::AbsoluteFilePath(chosen);
  std::string name, message;
  if (velta::ReadTankTableFile(path, table_, name, message, *feedback_) == velta::kTankFileOk) {
    ui->edTabName->setText(DecodeName(name));
    ui->edTabName->home(false);  // a name longer than the field shows its beginning
    message = velta::Format(_("\nTabelle:%s\nerfolgreich eingelesen"),
                            ToStdString(file.fileName()).c_str());
    baselines_.file = velta::TankBaseline{velta::Format(V_("the file %s"), path.c_str()), table_};
    SetTableUsable(true);
  } else {
    SetTableUsable(false);
  }
  feedback_->Log(message);
  ui->plotTank->SetTable(table_);
}

void Form2::bbSaveClick() {
  const QString chosen = velta::CurrentDesktop().SaveFileName(
      velta::QtFileFilter(ToQString(_("Tankform(*.csv)|*.csv"))), QStringLiteral("csv"));
  if (chosen.isEmpty()) return;
  const std::string path = velta::AbsoluteFilePath(chosen);
  std::string reason;
  if (!velta::WriteTankTableFile(path, ToStdString(ui->edTabName->text()), table_, reason)) {
    feedback_->Log(velta::Format(_("Datei %s kann nicht geöffnet werden."), path.c_str()));
    feedback_->Log(reason);
    feedback_->Beep();
    return;
  }
  feedback_->Log(velta::Format(_("\nIn %s gespeichert"), path.c_str()));
}

void Form2::bbReadClick() {
  velta::BusyWindow busy(*this, *ui->bbRead);
  const velta::ConnectionSettings connection = connection_();
  const std::string name = ToStdString(ui->edTabName->text());
  const velta::service::TankJob read = velta::RunJob(*feedback_, [&](velta::Feedback& feedback) {
    return velta::service::ReadTank(connection, feedback, history_, baselines_, name);
  });
  if (!read.Done()) return;
  table_ = read.table;
  SetTableUsable(true);
  ui->plotTank->SetTable(table_);
}

void Form2::bbSendClick() {
  if (!velta::CurrentDesktop().AskYesNo(
          QStringLiteral("Info"),
          ToQString(_("ACHTUNG:\nSoll die aktuelle Tabelle zur Steuerung übertragen werden?\n")),
          ToQString(velta::TankWriteDetails(baselines_, table_)))) {
    return;
  }
  velta::BusyWindow busy(*this, *ui->bbSend);
  const velta::ConnectionSettings connection = connection_();
  const velta::TankTable table = table_;
  velta::RunJob(*feedback_, [&](velta::Feedback& feedback) {
    return velta::service::SendTank(connection, feedback, baselines_, table);
  });
}
