// The program as the desktop knows it: the desktop entry its windows belong to and their icon.
#pragma once

namespace velta {

// Names the desktop entry (<desktopFileName>.desktop) by which taskbars group the windows and find
// their icon, and gives every window the icon built into the program.
void SetProgramIdentity(const char* desktopFileName);

}  // namespace velta
