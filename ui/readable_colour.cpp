#include "ui/readable_colour.h"

#include <QRegularExpression>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace velta {
namespace {

double Linear(double channel) {
  return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
  return 0.2126 * Linear(colour.redF()) + 0.7152 * Linear(colour.greenF()) +
         0.0722 * Linear(colour.blueF());
}

QColor Mix(const QColor& from, const QColor& to, double share) {
  const auto channel = [share](int a, int b) {
    return static_cast<int>(std::lround(a + (b - a) * share));
  };
  return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                channel(from.blue(), to.blue()));
}

// A colour as a style sheet writes it: "#c00000", "red" or "rgb(255, 0, 0)".
QColor SheetColour(const QString& text) {
  static const QRegularExpression rgb(R"(^rgb\(\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*\)$)");
  const QRegularExpressionMatch match = rgb.match(text);
  if (match.hasMatch()) {
    return QColor(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
  }
  return QColor::fromString(text);
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableOn(const QColor& wanted, const QColor& background, double minimum) {
  if (ContrastRatio(wanted, background) >= minimum) return wanted;
  const QColor away = Luminance(background) < 0.18 ? QColor(Qt::white) : QColor(Qt::black);
  for (int step = 1; step <= 20; ++step) {
    const QColor mixed = Mix(wanted, away, step / 20.0);
    if (ContrastRatio(mixed, background) >= minimum) return mixed;
  }
  return away;
}

void KeepForcedTextReadable(QWidget& window) {
  // "color: <value>" as a declaration of its own, not the end of "background-color".
  static const QRegularExpression textColour(R"((^|[;{\s])color\s*:\s*([^;}]+?)\s*(;|}|$))");
  for (QWidget* control : window.findChildren<QWidget*>()) {
    QString sheet = control->styleSheet();
    if (sheet.isEmpty() || sheet.contains("background")) continue;
    const QRegularExpressionMatch match = textColour.match(sheet);
    const QColor forced = match.hasMatch() ? SheetColour(match.captured(2)) : QColor();
    const QWidget* under = control->parentWidget();
    if (!forced.isValid() || under == nullptr) continue;
    const QColor readable = ReadableOn(forced, under->palette().color(under->backgroundRole()));
    if (readable == forced) continue;
    sheet.replace(match.capturedStart(2), match.capturedLength(2), readable.name());
    control->setStyleSheet(sheet);
  }
}

}  // namespace velta
