#pragma once
// The texts of the shortcut panel's rows that follow from the shortcut's
// stored values alone.

#include <string>

namespace qrv {

// The window a shortcut starts its program in, by the system's show
// command: "Minimiertes Fenster" (2, 7), "Maximiertes Fenster" (3),
// "Normales Fenster" (anything else).
std::wstring ShowCommandText(int ShowCmd);

// The shortcut's description as its comment, or empty when it only repeats
// the target's file name (as the shell's own shortcuts often do).
std::wstring LinkCommentText(const std::wstring& Description, const std::wstring& Target);

// The kind of a shortcut's target: "Dateiordner" for a folder; for a file
// the shell's type name, or, when the shell has none, "Datei" with the
// extension in capitals ("Datei TXT"), or "Datei" alone.
std::wstring LinkTargetTypeText(bool IsDirectory, const std::wstring& ShellTypeName, const std::wstring& Target);

}  // namespace qrv
