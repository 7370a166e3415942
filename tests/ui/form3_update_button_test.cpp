// The Settings window's firmware update as the user runs it: question, file dialog, memo, bar,
// the button's visibility by transport and Admin flag, against the simulator's boot loader.
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <fstream>

#include <gtest/gtest.h>

#include "monitor/app_settings.h"
#include "tests/support/qt_app.h"
#include "tests/support/sim_process.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/desktop.h"
#include "ui/forms.h"

namespace {

// Answers the question and the file dialog from a script and remembers what it was asked.
class ScriptedDesktop : public velta::Desktop {
 public:
  bool AskYesNo(const QString& caption, const QString& text) override {
    questions.push_back(caption + "|" + text);
    return answerYes;
  }
  void ShowMessage(const QString&) override {}
  QString OpenFileName(const QString& filter, const QString& suffix) override {
    dialogs.push_back(filter + "|" + suffix);
    return fileName;
  }
  QString SaveFileName(const QString&, const QString&) override { return {}; }
  void Beep() override { ++beeps; }
  void OpenUrl(const QString&) override {}

  bool answerYes = true;
  QString fileName;  // empty cancels the dialog
  QStringList questions;
  QStringList dialogs;
  int beeps = 0;
};

// Counts the memo's paints while the update runs.
class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

class Form3UpdateTest : public ::testing::Test {
 protected:
  Form3UpdateTest() {
    velta::test::EnsureApplication();
    setenv("VELTA_CONFIG_DIR", config.path().toLocal8Bit().constData(), 1);
    velta::SetDesktop(&desktop);
    form1 = new Form1;
    form3 = new Form3;
    form2 = new Form2(form3);
  }
  ~Form3UpdateTest() override {
    delete form3;
    delete form1;
    form1 = nullptr;
    form3 = nullptr;
    form2 = nullptr;
    velta::SetDesktop(nullptr);
    unsetenv("VELTA_CONFIG_DIR");
  }

  template <typename T = QWidget>
  T* Control(const char* name) {
    T* found = form3->findChild<T*>(name);
    if (found == nullptr) ADD_FAILURE() << name << " missing";
    return found;
  }
  QStringList Memo() {
    const QString text = Control<QPlainTextEdit>("Memo3")->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
  }
  QString File(const QString& name, std::size_t size) {
    const QString path = files.filePath(name);
    std::ofstream out(path.toStdString(), std::ios::binary);
    for (std::size_t i = 0; i < size; ++i) out.put(static_cast<char>(i * 11));
    return path;
  }
  void ChooseTcp(std::uint16_t port) {
    form1->findChild<QRadioButton*>("rbTcp")->click();
    form1->findChild<QLineEdit*>("edHost")->setText("127.0.0.1");
    form1->findChild<QLineEdit*>("edPort")->setText(QString::number(port));
  }
  void Update() { Control<QPushButton>("bbUpdate")->click(); }
  void ExpectUsable() {
    EXPECT_TRUE(form3->isEnabled());
    EXPECT_TRUE(Control("bbUpdate")->isEnabled());
  }

  QTemporaryDir config;
  QTemporaryDir files;
  ScriptedDesktop desktop;
};

TEST_F(Form3UpdateTest, NoOrCancelSendsNothing) {
  velta::test::SimProcess sim;
  ChooseTcp(sim.TcpPort());
  desktop.fileName = File("fw.enc", 100);

  desktop.answerYes = false;
  Update();
  EXPECT_EQ(desktop.questions, QStringList{"Info|Attention:\nUpdate the controler firmewar?\n"});
  EXPECT_TRUE(desktop.dialogs.isEmpty());
  ExpectUsable();

  desktop.answerYes = true;
  desktop.fileName.clear();
  Update();
  EXPECT_EQ(desktop.dialogs, QStringList{"UpdateFile (*.enc)|enc"});
  EXPECT_TRUE(sim.Frames().empty());
  EXPECT_TRUE(Memo().isEmpty());
  ExpectUsable();
}

TEST_F(Form3UpdateTest, SuccessfulUpdateLeavesOneLineAndRepaintsPerBlock) {
  velta::test::SimProcess sim;
  ChooseTcp(sim.TcpPort());
  const QString path = File("fw.enc", 1000);  // 32 blocks
  desktop.fileName = path;
  form3->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form3));
  PaintCounter counter;
  Control<QPlainTextEdit>("Memo3")->viewport()->installEventFilter(&counter);
  Update();

  EXPECT_EQ(Memo(), QStringList{"Programming successfully!"});
  EXPECT_GE(counter.paints, 32);
  const auto* bar = Control<QProgressBar>("pbAktiv");
  EXPECT_EQ(bar->palette().color(QPalette::Highlight), QColor(Qt::blue));
  EXPECT_EQ(bar->value(), bar->minimum());
  EXPECT_EQ(sim.Frames(), std::vector<std::string>{"60 00 06 66"});
  EXPECT_EQ(sim.ProgrammedImage().size(), 1024u);
  ExpectUsable();
  form3->hide();
}

TEST_F(Form3UpdateTest, RefusedFileAndFailedHandshakeShowTheirLines) {
  velta::test::SimProcess sim({"--fault", "handshake 0x55"});
  ChooseTcp(sim.TcpPort());

  desktop.fileName = File("large.enc", 14337);
  Update();
  EXPECT_EQ(Memo(), QStringList{"Error: File is too large"});
  EXPECT_TRUE(sim.Frames().empty());
  ExpectUsable();

  Control<QPlainTextEdit>("Memo3")->clear();
  desktop.fileName = File("fw.enc", 64);
  Update();
  EXPECT_EQ(Memo(),
            (QStringList{"Start update…", desktop.fileName, "Answer", "55",
                         "Error: Invalid one or no answer with the connection establishment"}));
  ExpectUsable();
}

TEST_F(Form3UpdateTest, ButtonHiddenOverTcpUnlessAdminAllows) {
  // Admin is only ever read from the settings store, when the Monitor window is first shown.
  const struct {
    int admin;
    bool visibleOverTcp;
  } cases[] = {{0x00, false}, {0x04, true}, {0x0B, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.admin);
    delete form3;
    delete form1;
    velta::OpenSettingsStore()->setValue("Admin", c.admin);
    form1 = new Form1;
    form3 = new Form3;
    form2 = new Form2(form3);
    form1->FormShow();
    auto* button = Control("bbUpdate");
    ChooseTcp(10001);
    EXPECT_EQ(button->isVisibleTo(form3), c.visibleOverTcp);
    form1->findChild<QRadioButton*>("rbSerial")->click();
    EXPECT_TRUE(button->isVisibleTo(form3));
  }
}

}  // namespace
