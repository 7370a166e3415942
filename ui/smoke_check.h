// An installation check: started with VELTA_SMOKE_TEST=1, the program shows its main window,
// reports what proves it found its parts, and quits. Started with VELTA_SMOKE_TEST=main-page, it
// quits once the controller's first Main page is shown, so a script can time the way to a live
// window.
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

// Called whenever the Monitor window has shown a Main page. With VELTA_SMOKE_TEST=main-page, the
// first call prints "first Main page shown" on stdout and quits the event loop.
void NoteMainPageShown();

}  // namespace velta
