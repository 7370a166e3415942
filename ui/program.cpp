#include "ui/program.h"

#include <QCoreApplication>
#include <string>
#include <vector>

#include "i18n/language.h"
#include "i18n/lookup.h"
#include "i18n/translate_component.h"
#include "monitor/app_settings.h"

namespace velta {
namespace {

// The language: --language, VELTA_LANGUAGE, the Monitor window's saved choice or the desktop's.
std::string ProgramLanguage() {
  std::vector<std::string> arguments;
  for (const QString& argument : QCoreApplication::arguments()) {
    arguments.push_back(argument.toStdString());
  }
  return ChooseLanguage(LanguageArgument(arguments), ReadLanguageChoice(*OpenSettingsStore()));
}

// The catalogue's exclusions, registered once, and the language, both chosen before any window
// is translated.
void PrepareLanguage() {
  static const bool excluded = [] {
    RegisterExclusion("QAction", "Category");
    RegisterExclusion("QWidget", "HelpKeyword");
    RegisterExclusion("QWidget", "ImeName");
    RegisterExclusion("QFont");
    return true;
  }();
  (void)excluded;
  UseLanguage(ProgramLanguage());
}

// What the Monitor window tells the Settings window.
void ConnectMonitor(Form1& monitor, Form3& settings) {
  QObject::connect(&monitor, &Form1::OpenSettings, &settings, &QDialog::exec);
  QObject::connect(&monitor, &Form1::SettingsUsable, &settings, &QWidget::setEnabled);
  QObject::connect(&monitor, &Form1::ResetSettingsView, &settings, &Form3::ResetView);
  QObject::connect(&monitor, &Form1::AllowErrorClearing, &settings,
                   &Form3::SetErrorClearingVisible);
  QObject::connect(&monitor, &Form1::AllowUpdate, &settings, &Form3::SetUpdateButtonVisible);
}

// What the Settings window tells the Monitor window and the Tank table window.
void ConnectSettings(Form3& settings, Form1& monitor, Form2& tankTable) {
  QObject::connect(&settings, &Form3::BlueLedCaptionChanged, &monitor, &Form1::SetBlueLedCaption);
  QObject::connect(&settings, &Form3::FlowSensorChanged, &monitor, &Form1::SetFlowSensorTicked);
  QObject::connect(&settings, &Form3::ShowTankTable, &tankTable, &QWidget::show);
  QObject::connect(&settings, &Form3::CloseTankTable, &tankTable, &QWidget::close);
}

}  // namespace

Program::Program() {
  PrepareLanguage();
  // The other windows ask the Monitor window for the connection when an operation starts.
  const ConnectionSource connection = [this] { return monitor->Connection(); };
  monitor = std::make_unique<Form1>();
  settings = std::make_unique<Form3>(connection, history);
  tankTable = std::make_unique<Form2>(connection, history, settings.get());

  ConnectMonitor(*monitor, *settings);
  ConnectSettings(*settings, *monitor, *tankTable);
  // The Settings window showed its block before anyone listened; the Monitor window starts from
  // what it shows.
  monitor->SetFlowSensorTicked(settings->FlowSensorTicked());
  monitor->SetBlueLedCaption(settings->BlueLedCaption());
}

Program::~Program() = default;

}  // namespace velta
