// Colours that stay readable under whatever palette the desktop gives, light or dark: how far two
// colours stand apart, a colour moved just far enough from what it is drawn on, and the text
// colours the window forms force, checked against the window's background.
#pragma once

#include <QColor>

class QWidget;

namespace velta {

// The least contrast at which text and lines read clearly against their background.
constexpr double kReadableContrast = 3.0;

// The contrast ratio of two colours from their relative luminance: 1 for the same brightness, 21
// for black on white.
double ContrastRatio(const QColor& a, const QColor& b);

// `wanted` where it stands out from `background` by `minimum`; otherwise the nearest mix of it
// with white (on a dark background) or black (on a light one) that does.
QColor ReadableOn(const QColor& wanted, const QColor& background,
                  double minimum = kReadableContrast);

// The controls of `window` whose style sheet sets a text colour but no background draw on the
// window's own background: where that colour reads badly there (a dark palette), it is moved to
// the readable colour nearest to it. Runs once the window's controls are built.
void KeepForcedTextReadable(QWidget& window);

}  // namespace velta
