// Tank table window ("Eigene Tankform"): the custom tank-shape table, its file and its transfer.
#pragma once

#include <QDialog>

class Form2 : public QDialog {
  Q_OBJECT
 public:
  explicit Form2(QWidget* parent = nullptr);
};
