#pragma once
// Setting up the settings unit on Windows: the defaults with the facts of
// this system, the display's colour count, and the start-up logo.

namespace qrv {

class TQuorSplash;

// Fills Options with its defaults and sets up the unit's globals (runs once).
void InitializeGlobals();
void FinalizeGlobals();
// Colours of the screen, from the display's bits per pixel.
void GetDisplayColorCount();
// Sets the application title, reads "ShowLogo" and shows the logo form when
// it is set. Returns the logo form (owned by the application) or nullptr.
TQuorSplash* ShowStartupLogo();
// The logo form while it is shown, else nullptr.
TQuorSplash* StartupLogo();
// Hides and frees the logo form.
void CloseStartupLogo();

}  // namespace qrv
