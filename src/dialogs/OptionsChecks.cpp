#include "dialogs/OptionsChecks.h"

namespace qrv {

namespace {
constexpr int kAnswerYes = 6;  // IDYES
}

std::wstring MissingFileQuestion(const std::wstring& name)
{
    return L"Die Datei \"" + name + L"\" ist nicht vorhanden. Möchten Sie die Eingabe korrigieren?";
}

TOptionsCheckResult CheckProgramPaths(const std::wstring& compareProgram, const std::wstring& irfanView,
                                      const TOptionsCheckCalls& calls)
{
    struct TCheckedField {
        const std::wstring& Name;
        const wchar_t* Ident;
        TOptionsFocus Focus;
        TOptionsPage Page;
    };
    const TCheckedField fields[] = {
        {compareProgram, L"compareprogram not found", TOptionsFocus::CompareProgram, opGeneral},
        {irfanView, L"irfanview not found", TOptionsFocus::IrfanView, opFileDisplay},
    };
    for (const TCheckedField& field : fields) {
        if (field.Name.empty() || calls.FileExists(field.Name))
            continue;
        if (calls.Ask(MissingFileQuestion(field.Name), field.Ident) == kAnswerYes)
            return {field.Focus, field.Page};
    }
    return {};
}

}  // namespace qrv
