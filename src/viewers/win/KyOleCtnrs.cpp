#include "viewers/win/KyOleCtnrs.h"

#include "framework/SysUtils.h"

namespace qrv {

TKyOLEContainer::TKyOLEContainer(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 121, 121);
    SetColor(clWindow);
}

void TKyOLEContainer::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"TKyOLEContainer";
    params.Style |= WS_TABSTOP;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TKyOLEContainer::CheckObject() const
{
    if (GetState() == osEmpty)
        throw EOleError(L"Operation mit einem leeren OLE-Container nicht zulässig");
}

void TKyOLEContainer::CreateObjectFromFile(const std::wstring& /*fileName*/, bool /*iconic*/)
{
    throw EInvalidOperation(L"Diese Funktion ist noch nicht verfügbar.");
}

int TKyOLEContainer::DoVerb(int /*verb*/)
{
    CheckObject();
    return 0;
}

void TKyOLEContainer::Close()
{
    CheckObject();
}

void TKyOLEContainer::SaveAsDocument(const std::wstring& /*fileName*/)
{
    CheckObject();
}

}  // namespace qrv
