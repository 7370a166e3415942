#include "ui/Unit3.h"

#include "ui_Unit3.h"

namespace {

class NoFeedback : public velta::Feedback {
 public:
  void Log(const std::string&) override {}
  void Beep() override {}
};

}  // namespace

Form3::Form3(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::Form3>()) {
  ui->setupUi(this);
}

Form3::~Form3() = default;

void Form3::ResetView() {}
void Form3::SetUpdateButtonVisible(bool) {}
bool Form3::FlowSensorTicked() const { return false; }
velta::Feedback& Form3::WindowFeedback() {
  static NoFeedback none;
  return none;
}
void Form3::ShowBlock() {}
bool Form3::CollectBlock() { return true; }
