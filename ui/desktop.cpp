#include "ui/desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace velta {
namespace {

class RealDesktop : public Desktop {
 public:
  bool AskYesNo(const QString& caption, const QString& text) override {
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
  }
  void ShowMessage(const QString& text) override {
    QMessageBox::information(QApplication::activeWindow(), QApplication::applicationName(), text);
  }
  QString OpenFileName(const QString& filter, const QString&) override {
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), QString(), filter);
  }
  QString SaveFileName(const QString& filter, const QString& defaultSuffix) override {
    QFileDialog dialog(QApplication::activeWindow(), QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
  }
  void Beep() override { QApplication::beep(); }
  void OpenUrl(const QString& url) override { QDesktopServices::openUrl(QUrl(url)); }
};

Desktop* installed = nullptr;

}  // namespace

Desktop& CurrentDesktop() {
  static RealDesktop real;
  return installed != nullptr ? *installed : real;
}

void SetDesktop(Desktop* desktop) { installed = desktop; }

}  // namespace velta
