// The real Desktop's dialogs as it builds them, before they run: the Yes/No question and the
// file dialogs with their default extension.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <fstream>

#include "tests/support/qt_app.h"
#include "tests/support/scratch_dir.h"
#include "ui/desktop.h"

namespace velta::test {
namespace {

TEST(RealDesktop, QuestionIsAWarningWithYesNoAndNoAsDefault) {
  EnsureApplication();
  const auto box = MakeYesNoBox("Info", "Really?");
  EXPECT_EQ(box->windowTitle(), "Info");
  EXPECT_EQ(box->text(), "Really?");
  EXPECT_EQ(box->icon(), QMessageBox::Warning);
  EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
  EXPECT_TRUE(box->detailedText().isEmpty());
  EXPECT_EQ(MakeYesNoBox("Info", "Really?", "bytes 4 and 5")->detailedText(), "bytes 4 and 5");
}

// A name typed without extension gets the default one, when opening as when saving.
TEST(RealDesktop, FileDialogsAddTheDefaultExtension) {
  EnsureApplication();
  ScratchDir dir;
  std::ofstream(dir / "pump.enc") << "x";
  for (const auto mode : {QFileDialog::AcceptOpen, QFileDialog::AcceptSave}) {
    const auto dialog = MakeFileDialog(mode, "UpdateFile (*.enc)", "enc");
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    dialog->setDirectory(QString::fromStdString(dir.Path().string()));
    QTimer::singleShot(0, dialog.get(), [&dialog] {
      auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
      ASSERT_NE(name, nullptr);
      name->setText("pump");
      // A name the dialog cannot find brings up its own message box; close that and the dialog.
      QTimer::singleShot(200, dialog.get(), [&dialog] {
        for (auto* box : dialog->findChildren<QMessageBox*>()) box->reject();
      });
      static_cast<QDialog*>(dialog.get())->accept();  // the file dialog's own accept
      if (dialog->isVisible()) dialog->reject();
    });
    ASSERT_EQ(dialog->exec(), QDialog::Accepted) << mode;
    ASSERT_EQ(dialog->selectedFiles().size(), 1) << mode;
    EXPECT_EQ(dialog->selectedFiles().first(),
              QString::fromStdString((dir / "pump.enc").string()))
        << mode;
  }
  EXPECT_EQ(MakeFileDialog(QFileDialog::AcceptOpen, "Setup (*.ini)", "ini")->fileMode(),
            QFileDialog::ExistingFile)
      << "an open dialog offers existing files only";
  EXPECT_TRUE(
      MakeAppendFileDialog("CSV (*.csv)", "csv")->testOption(QFileDialog::DontConfirmOverwrite))
      << "a file the program appends to is not replaced";
  EXPECT_FALSE(MakeFileDialog(QFileDialog::AcceptSave, "CSV (*.csv)", "csv")
                   ->testOption(QFileDialog::DontConfirmOverwrite));
}

}  // namespace
}  // namespace velta::test
