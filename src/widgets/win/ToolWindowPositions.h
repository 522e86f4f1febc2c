#pragma once
// Saving and restoring the docking state of all tool windows of a form: per
// tool window (by its Name) whether it is visible, which dock (by Name) holds
// it, its row and position there, and its floating position. The generic
// pair talks to a storage back end through callbacks; the INI and registry
// pairs bind it to a file or to a key under HKEY_CURRENT_USER.

#include "widgets/ToolWindowPositionRecord.h"

#include <string>

namespace qrv {

class TForm;

void WriteToolWindowPositions(TForm* form, const TToolWindowPositionStore& store);
// Every dock of the form is arranged once, at the end, also on failure. A
// window saved as floating floats at its saved place, brought back onto a
// monitor when that place is on none.
void ReadToolWindowPositions(TForm* form, const TToolWindowPositionStore& store);

// Sections are named sectionPrefix + the tool window's Name. The write
// writes the file back, also when saving failed.
void IniReadToolWindowPositions(TForm* form, const std::wstring& fileName, const std::wstring& sectionPrefix);
void IniWriteToolWindowPositions(TForm* form, const std::wstring& fileName, const std::wstring& sectionPrefix);

// One subkey per tool window (its Name) below baseKey under HKEY_CURRENT_USER.
void RegReadToolWindowPositions(TForm* form, const std::wstring& baseKey);
void RegWriteToolWindowPositions(TForm* form, const std::wstring& baseKey);

}  // namespace qrv
