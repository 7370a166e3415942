// The program as the desktop knows it: the desktop entry its windows belong to and their icon.
#pragma once

namespace velta {

// The maker's web page, which the windows' logos open.
inline constexpr char kMakerWebAddress[] = "https://www.korvelt.example/";

// Names the desktop entry (<desktopFileName>.desktop) by which taskbars group the windows and find
// their icon, and gives every window the icon built into the program.
void SetProgramIdentity(const char* desktopFileName);

}  // namespace velta
