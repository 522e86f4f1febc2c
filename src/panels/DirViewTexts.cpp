#include "panels/DirViewTexts.h"

#include "common/BaseUtils.h"
#include "framework/StringList.h"
#include "framework/SysUtils.h"

namespace qrv {

namespace {

const TDirViewTexts kGerman{
    L"Fehler Öffnen der Datei: ",
    L"Datei oder Verzeichnis kann nicht umbenannt werden: ",
    L"Datei oder Verzeichnis ist bereits vorhanden: ",
    L"Dateiname enthält ungültige Zeichen:",
    L"Datei %s",
    L"%u Dateien",
    L"%u Verzeichnisse",
    L"Übergeordneter Dateiordner",
    L"Das Verzeichnis \"%s\" enthält bereits die Datei \"%s\". Soll die vorhandene Datei überschrieben werden?",
};

const TDirViewTexts kFrench{
    L"Ne peux ouvrir le fichier: ",
    L"Ne peux renommer le fichier: ",
    L"File allready exists: ",
    L"Le nom de fichier contient des caractères invalides:",
    L"Fichier %s",
    L"%u Files",
    L"%u Directories",
    L"Parent folder",
    L"The folder \"%s\" already contains the file \"%s\". Overwrite anyway?",
};

const TDirViewTexts kEnglish{
    L"Can't open file: ",
    L"Can't rename file or directory: ",
    L"File allready exists: ",
    L"Filename contains invalid characters:",
    L"File %s",
    L"%u Files",
    L"%u Directories",
    L"Parent folder",
    L"The folder \"%s\" already contains the file \"%s\". Overwrite anyway?",
};

}  // namespace

const std::wstring& InvalidDirNameText(int PrimaryLanguage)
{
    static const std::wstring german = L"Verzeichnisname enthält ungültige Zeichen:";
    static const std::wstring french = L"Le nouveau nom contient des caractères invalides:";
    static const std::wstring english = L"New name contains Invalid characters:";
    return PrimaryLanguage == kLangGerman ? german : PrimaryLanguage == kLangFrench ? french : english;
}

const TDirViewTexts& DirViewTextsFor(int PrimaryLanguage)
{
    switch (PrimaryLanguage) {
    case kLangGerman:
        return kGerman;
    case kLangFrench:
        return kFrench;
    default:
        return kEnglish;
    }
}

std::wstring FormatText(std::wstring_view Format, std::initializer_list<std::wstring_view> Args)
{
    std::wstring result;
    auto arg = Args.begin();
    for (size_t i = 0; i < Format.size(); ++i) {
        if (Format[i] == L'%' && i + 1 < Format.size() && (Format[i + 1] == L's' || Format[i + 1] == L'u')) {
            if (arg != Args.end())
                result += *arg++;
            ++i;
        } else {
            result += Format[i];
        }
    }
    return result;
}

void MakeNotCachedExts(TStringList& List, const std::function<bool(const std::wstring& Ext)>& IconIsPerFile)
{
    List.SetCaseSensitive(false);
    List.SetSorted(true);
    List.SetDuplicates(TDuplicates::dupIgnore);
    SplitExtList(kNotCachedExts, List);
    for (std::wstring_view ext : kProbedExts) {
        int index;
        if (!List.Find(ext, index) && IconIsPerFile(std::wstring(ext)))
            List.Add(UpperCase(ext));
    }
}

bool ExtInList(std::wstring_view Ext, std::wstring_view List)
{
    std::wstring ext(Ext);
    if (!ext.starts_with(L'.'))
        ext.insert(0, 1, L'.');
    if (ext.size() < 3 || ext.size() > 6)
        return false;
    // Whole items only: ".EX" is not in ".EXE.LNK".
    std::wstring rest(List);
    while (!rest.empty())
        if (SameText(CutToken(rest, L'.'), ext))
            return true;
    return false;
}

std::wstring OpenManyQuestion(unsigned Count)
{
    return FormatText(L"Das gleichzeitige Öffnen von %u Dateien kann eventuell eine lange Zeit dauern. "
                      L"Möchten Sie die markierten Dateien trotzdem öffnen?",
                      {std::to_wstring(Count)});
}

}  // namespace qrv
