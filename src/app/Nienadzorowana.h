#pragma once
// What the command-line switches do to the wizard: the choices they preset,
// the installation without questions of /SILENT and /VERYSILENT, and the
// exit code a run ends with.

#include "app/WierszPolecen.h"

class TfrmMain;

// Presets the language, the target folder and the options from the switches;
// called when the wizard is first shown, before the first page.
void ZastosujPrzelaczniki(TfrmMain& okno);

// The whole silent run, from the first show to the end page. The source
// folder must be known already. The window is shown only in /SILENT, with the
// installation page alone.
[[nodiscard]] KodWyjscia InstalujBezPytan(TfrmMain& okno);

// The exit code for the page the wizard ended on and its outcome flags.
[[nodiscard]] KodWyjscia KodWyjsciaKreatora(const TfrmMain& okno);
