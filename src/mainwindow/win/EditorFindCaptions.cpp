#include "mainwindow/win/EditorFindCaptions.h"

#include "editor/win/EasyFindDialogs.h"
#include "editor/win/EasyHistoryEditor.h"

namespace qrv {

void GermanEditorFindForm(TForm& Form, int HelpContext)
{
    auto* find = dynamic_cast<TFrmFindDlg*>(&Form);
    if (!find)
        return;
    auto* replace = dynamic_cast<TFrmReplDlg*>(&Form);
    find->SetCaption(replace ? L"Text ersetzen" : L"Text suchen");
    find->HelpContext = HelpContext;
    find->lbTextToFind->SetCaption(L"Suchen nach");
    find->gbOptions->SetCaption(L"Optionen");
    find->cbCaseSensitive->SetCaption(L"Groß-/Kleinschreibung");
    find->cbWholeWord->SetCaption(L"Nur ganze Wörter");
    find->cbRegularExpr->SetCaption(L"Reguläre Ausdrucke");
    find->gbDirection->SetCaption(L"Richtung");
    find->rbForward->SetCaption(L"Vorwärts");
    find->rbBackward->SetCaption(L"Rückwärts");
    find->rgScope->SetCaption(L"Bereich");
    find->rgScope->SetItems({L"Gesamter Text", L"Markierter Text"});
    find->rgOrigin->SetCaption(L"Beginn");
    find->rgOrigin->SetItems({L"Ab Cursor", L"Textanfang"});
    find->btCancel->SetCaption(L"Abbrechen");
    find->btHelp->SetCaption(L"Hilfe");
    if (replace) {
        replace->lbReplaceWith->SetCaption(L"Ersetzen durch");
        replace->chbPromptOnReplace->SetCaption(L"Mit Bestätigung");
        replace->btReplaceAll->SetCaption(L"Alles ersetzen");
    }
}

}  // namespace qrv
