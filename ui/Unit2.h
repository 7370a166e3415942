// Tank table window ("Eigene Tankform"): the custom tank-shape table, its file and its transfer.
// Its captions stay German; only its runtime messages are looked up.
#pragma once

#include <QDialog>
#include <memory>

#include "controller/feedback.h"
#include "controller/history.h"
#include "controller/tank_table.h"
#include "controller/write_baseline.h"
#include "ui/connection_source.h"
#include "ui/memo_feedback.h"

namespace Ui {
class Form2;
}

class Form2 : public QDialog {
  Q_OBJECT
 public:
  // `connection` names the controller the table is read from and sent to; `history` keeps the
  // tables read. The program gives the window the Settings window as parent, so that it stays
  // usable while that one runs modally.
  Form2(velta::ConnectionSource connection, velta::History& history, QWidget* parent = nullptr);
  ~Form2() override;

  // The table the window holds; it lives as long as the window.
  const velta::TankTable& Table() const { return table_; }

  void bbLoadClick();
  void bbSaveClick();
  void bbReadClick();
  void bbSendClick();
  void Memo3DblClick();

 protected:
  // Routes the memo's double click to Memo3DblClick.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Escape does not close the window: it closes with the Settings window or its own close button.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Saving and sending are offered only for a table that was loaded or read completely.
  void SetTableUsable(bool usable);

  std::unique_ptr<Ui::Form2> ui;
  velta::ConnectionSource connection_;
  velta::History& history_;
  std::unique_ptr<velta::MemoFeedback> feedback_;
  velta::TankTable table_{};
  // What a send is compared with: the file loaded, the table last read or sent.
  velta::TankBaselines baselines_;
};
