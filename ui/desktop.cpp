#include "ui/desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <QUrl>

namespace velta {
namespace {

class RealDesktop : public Desktop {
 public:
  bool AskYesNo(const QString& caption, const QString& text, const QString& details) override {
    return MakeYesNoBox(caption, text, details)->exec() == QMessageBox::Yes;
  }
  std::optional<QString> AskText(const QString& caption, const QString& label) override {
    bool accepted = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), caption, label,
                                               QLineEdit::Normal, QString(), &accepted);
    return accepted ? std::optional(text) : std::nullopt;
  }
  void ShowMessage(const QString& text) override {
    QMessageBox::information(QApplication::activeWindow(), QApplication::applicationName(), text);
  }
  QString OpenFileName(const QString& filter, const QString& defaultSuffix) override {
    return Run(*MakeFileDialog(QFileDialog::AcceptOpen, filter, defaultSuffix));
  }
  QString SaveFileName(const QString& filter, const QString& defaultSuffix) override {
    return Run(*MakeFileDialog(QFileDialog::AcceptSave, filter, defaultSuffix));
  }
  QString AppendFileName(const QString& filter, const QString& defaultSuffix) override {
    return Run(*MakeAppendFileDialog(filter, defaultSuffix));
  }
  void Beep() override { QApplication::beep(); }
  void OpenUrl(const QString& url) override { QDesktopServices::openUrl(QUrl(url)); }

 private:
  static QString Run(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
  }
};

Desktop* installed = nullptr;

}  // namespace

std::unique_ptr<QMessageBox> MakeYesNoBox(const QString& caption, const QString& text,
                                          const QString& details) {
  auto box = std::make_unique<QMessageBox>(QMessageBox::Warning, caption, text,
                                           QMessageBox::Yes | QMessageBox::No,
                                           QApplication::activeWindow());
  box->setDefaultButton(QMessageBox::No);
  if (!details.isEmpty()) box->setDetailedText(details);
  return box;
}

std::unique_ptr<QFileDialog> MakeFileDialog(QFileDialog::AcceptMode mode, const QString& filter,
                                            const QString& defaultSuffix) {
  auto dialog =
      std::make_unique<QFileDialog>(QApplication::activeWindow(), QString(), QString(), filter);
  dialog->setAcceptMode(mode);
  if (mode == QFileDialog::AcceptOpen) dialog->setFileMode(QFileDialog::ExistingFile);
  dialog->setDefaultSuffix(defaultSuffix);
  return dialog;
}

std::unique_ptr<QFileDialog> MakeAppendFileDialog(const QString& filter,
                                                  const QString& defaultSuffix) {
  auto dialog = MakeFileDialog(QFileDialog::AcceptSave, filter, defaultSuffix);
  dialog->setOption(QFileDialog::DontConfirmOverwrite);
  return dialog;
}

QString QtFileFilter(const QString& pipeFilter) {
  const QStringList parts = pipeFilter.split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    const QString pattern = parts[i + 1].trimmed();
    // The description often names its pattern already; Qt reads the last parenthesis as the pattern.
    const qsizetype open = description.lastIndexOf(u'(');
    if (open >= 0 && description.endsWith(u')')) description = description.left(open).trimmed();
    filters << QStringLiteral("%1 (%2)").arg(description, QString(pattern).replace(u';', u' '));
  }
  return filters.join(QStringLiteral(";;"));
}

Desktop& CurrentDesktop() {
  static RealDesktop real;
  return installed != nullptr ? *installed : real;
}

void SetDesktop(Desktop* desktop) { installed = desktop; }

}  // namespace velta
