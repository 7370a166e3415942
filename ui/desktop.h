// The one seam between the windows and the person in front of them: message boxes, file
// dialogs, the warning beep and the web browser. Tests install their own Desktop to answer
// without a person.
#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QString>
#include <memory>
#include <optional>

namespace velta {

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Yes/No question with the exclamation icon and No as the default button; true on Yes.
  // `details`, when given, is the box's detailed text, shown on request below the question.
  virtual bool AskYesNo(const QString& caption, const QString& text,
                        const QString& details = QString()) = 0;
  // A one-line text entry with OK and Cancel; nothing when the user cancelled.
  virtual std::optional<QString> AskText(const QString& caption, const QString& label) = 0;
  // A plain message box with an OK button.
  virtual void ShowMessage(const QString& text) = 0;
  // File dialogs; an empty result means the user cancelled. `filter` is in Qt's form
  // ("Settings (*.ini)"); `defaultSuffix` without the dot.
  virtual QString OpenFileName(const QString& filter, const QString& defaultSuffix) = 0;
  virtual QString SaveFileName(const QString& filter, const QString& defaultSuffix) = 0;
  // A save dialog for a file the program adds to: choosing an existing file asks nothing, as
  // nothing in it is replaced.
  virtual QString AppendFileName(const QString& filter, const QString& defaultSuffix) = 0;
  // The system's exclamation beep.
  virtual void Beep() = 0;
  // Opens a web address with the desktop's default handler.
  virtual void OpenUrl(const QString& url) = 0;
};

// A filter in the system's own form ("Tankform(*.csv)|*.csv": description and pattern pairs
// separated by "|") as a Qt dialog filter ("Tankform (*.csv)"; pairs joined by ";;").
QString QtFileFilter(const QString& pipeFilter);

// The real Desktop's dialogs, built but not yet run, so that their set-up can be inspected.
// The Yes/No question: caption, text, the warning icon, Yes and No with No as the default, and
// `details` as its detailed text when given.
std::unique_ptr<QMessageBox> MakeYesNoBox(const QString& caption, const QString& text,
                                          const QString& details = QString());
// A file dialog for opening an existing file or saving one; both add `defaultSuffix` to a name
// typed without an extension.
std::unique_ptr<QFileDialog> MakeFileDialog(QFileDialog::AcceptMode mode, const QString& filter,
                                            const QString& defaultSuffix);
// A save dialog that does not ask to replace an existing file: the program appends to it.
std::unique_ptr<QFileDialog> MakeAppendFileDialog(const QString& filter,
                                                  const QString& defaultSuffix);

// The Desktop in use: the real one unless a test installed another.
Desktop& CurrentDesktop();
// Installs `desktop` (not owned); nullptr goes back to the real one.
void SetDesktop(Desktop* desktop);

}  // namespace velta
