#pragma once
// The buttons of a message box and the answers it gives, as the unit's
// tools have always numbered them. Shared by the window and by the Qt-free
// pieces that ask through it (the flash run, a console driver).
enum class Buttons { Ok, YesNo };

// <windows.h> defines the same names, with the same values, as macros.
#ifndef IDOK
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };
#endif
