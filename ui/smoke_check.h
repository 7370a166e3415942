// An installation check: started with VELTA_SMOKE_TEST=1, the program shows its main window,
// reports what proves it found its parts, and quits.
#pragma once

class QWidget;

namespace velta {

// With VELTA_SMOKE_TEST=1 in the environment: once `window` has been shown, prints on stdout
//   title: <the window title>
//   catalogue: <the catalogue's text for "Statusabfrage">
//   desktop file: <the desktop file name>
//   icon sizes: <the window icon's sizes, smallest first>
//   cut texts: none, or the controls whose text this desktop's fonts cut off
// and quits the event loop. Without it, does nothing.
void ArmSmokeCheck(QWidget& window);

}  // namespace velta
