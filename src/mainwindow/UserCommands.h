#pragma once
// The user's commands on Shift+F1..F12 and Ctrl+F1..F12: which records are
// assigned, how a command is run (directly, or through a batch file in a
// console window), the batch file's text, and what the function-key
// toolbar and the "&Programme" menu show. Portable.

#include "common/OemCodePage.h"
#include "settings/Quorvan32Globals.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace qrv {

constexpr int kFunctionKeyCount = 12;
constexpr int kShiftSet = 0;
constexpr int kCtrlSet = 1;
using TFunctionKeySets = std::array<std::array<TFKeyRecord, 12>, 2>;

// A record runs when it has something to show (a caption or an icon) and
// something to start (a command or parameters).
bool IsAssigned(const TFKeyRecord& Record);

// ---- Running -----------------------------------------------------------------------

enum class TRunWay {
    Direct,  // ShellExecute of the command with the parameter line
    Batch,   // a batch file that runs the line in the command interpreter
};

// Whether the run way depends on the program's type: only with the console
// window kept open (DosClose off) and a command ending in ".EXE" or in no
// extension at all (an empty command has no type).
bool AsksExeType(bool DosClose, const std::wstring& Command);
// A console program: "PE" or "MZ" in the low word of the shell's
// executable type, zero in the high word (a GUI program has its system
// version there).
bool IsConsoleExeType(uint32_t ExeType);
// A record without a command always goes through the batch file; a console
// program (ExeType as the shell gives it, when AsksExeType) too; anything
// else is started directly.
TRunWay ChooseRunWay(bool DosClose, const std::wstring& Command, std::optional<uint32_t> ExeType);

// The batch files are "QRVPTMP.CMD", "QRVPTMP(1).CMD", ... in the
// temporary folder, a new one per run.
constexpr const wchar_t* kBatchFileBase = L"QRVPTMP";
constexpr const wchar_t* kBatchFileExt = L".CMD";
// Whether a file name (without folder) is one of those.
bool IsBatchFileName(const std::wstring& FileName);

// The line of a console program's batch file: the command, quoted, and its
// parameters.
std::wstring ConsoleCommandLine(const std::wstring& Command, const std::wstring& Params);

// The batch file's text, CR LF line ends: "@echo off", the command
// interpreter running Line, and "pause" unless the window closes. Line
// reaches the inner interpreter unchanged: it is put in one more pair of
// quotes (which the inner "/c" takes off again), the batch file's own
// operators outside quotes are escaped with "^", and every "%" is written
// as "%%".
std::wstring BatchFileText(const std::wstring& Line, bool CloseWindow);
// The text in a DOS code page, as the command interpreter reads a batch
// file; nullopt when a character has no place in it.
std::optional<std::string> BatchFileBytes(const std::wstring& Text, TOemCodePage CodePage);

// True when Text holds %NAME% of a variable IsDefined knows: the inner
// "/c" replaces that even in a quoted name.
bool HoldsDefinedVariable(const std::wstring& Text, const std::function<bool(const std::wstring&)>& IsDefined);

// ---- The toolbar and the menu -----------------------------------------------------

// "Umsch" (Shift set), "Strg      " (Ctrl set).
std::wstring FunctionKeyLabel(int Set);
// The caption without its accelerator marks ("&&" stays one "&").
std::wstring WithoutAccelerators(const std::wstring& Caption);

struct TFunctionKeyButton {
    std::wstring Caption;
    std::wstring Hint;
    int ImageIndex = -1;
    bool TextOnly = true;  // no icon: the caption alone
    bool Enabled = false;  // assigned in the shown set
    bool Visible = false;  // assigned in either set
};
// Key 1..12 in the shown set (0 or 1).
TFunctionKeyButton FunctionKeyButton(const TFunctionKeySets& Sets, int Set, int Key, bool UseProgIcons);

// The button's width for key 1..12: the wider of both sets' captions, plus
// room for the icon (UseProgIcons) or for the key's own label; at least 40.
// Measure gives a text's width in the toolbar's font.
int FunctionKeyButtonWidth(const TFunctionKeySets& Sets, int Key, bool UseProgIcons, int ImageWidth,
                           const std::function<int(const std::wstring&)>& Measure);

// Which items of the "&Programme" menu show: the assigned ones of each set,
// and the line between the sets when both have one.
struct TProgramsMenuLayout {
    std::array<std::array<bool, 12>, 2> Visible{};
    bool Divider = false;
};
TProgramsMenuLayout ProgramsMenuLayout(const TFunctionKeySets& Sets);

}  // namespace qrv
