#pragma once
// The built-in texts of the directory list by the system's language, and
// the extensions whose icons the list never caches. Portable.

#include <functional>
#include <string>
#include <string_view>

namespace qrv {

class TStringList;

struct TDirViewTexts {
    std::wstring OpenError;
    std::wstring RenameError;
    std::wstring AlreadyExists;
    std::wstring InvalidName;
    std::wstring TypeNameFallback;  // "%s": the extension
    std::wstring FilesCount;        // "%u": the number
    std::wstring DirsCount;
    std::wstring ParentTypeName;
    std::wstring OverwriteQuestion;  // "%s": the folder, then the file
};

// Primary language ids of the system's LANGIDs.
constexpr int kLangGerman = 7;
constexpr int kLangFrench = 12;

// German (7), French (12), else English.
const TDirViewTexts& DirViewTextsFor(int PrimaryLanguage);
// The folder tree's message for a new folder name with invalid characters,
// by the same languages.
const std::wstring& InvalidDirNameText(int PrimaryLanguage);
// Each "%s" or "%u" of Format replaced by the next argument in turn.
std::wstring FormatText(std::wstring_view Format, std::initializer_list<std::wstring_view> Args);

// More selected files than this are opened only after OpenManyQuestion.
constexpr unsigned kOpenManyWithoutQuestion = 5;
// The question before Count files are opened at once (German, as every
// question of the program).
std::wstring OpenManyQuestion(unsigned Count);

// The extensions whose icons always come from the file.
constexpr std::wstring_view kNotCachedExts = L".EXE.LNK.PIF.CPL.ICO.ANI.CUR.JOB.MSG";
// Those probed at start: each whose registered default icon is "%1" (the
// file's own icon) joins the list.
constexpr std::wstring_view kProbedExts[] = {L".BMP", L".DIB", L".CDF", L".MSC", L".SNP"};
// Fills List (sorted, ignoring case) with kNotCachedExts and the probed
// extensions for which IconIsPerFile says so.
void MakeNotCachedExts(TStringList& List, const std::function<bool(const std::wstring& Ext)>& IconIsPerFile);
// Ext with a leading "." (added when missing) has 3 to 6 characters and is
// one of the ".XXX" items of List (".EXE.LNK.PIF"), ignoring case.
bool ExtInList(std::wstring_view Ext, std::wstring_view List);

}  // namespace qrv
