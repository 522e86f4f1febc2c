#include "widgets/win/ToolEdit.h"

#include "common/win/BaseUtilsWin.h"
#include "framework/ScopeExit.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "widgets/CommandLineParams.h"
#include "widgets/FileUtil.h"
#include "widgets/win/BrowseFolderDlg.h"
#include "widgets/win/KyThemeCtrls.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>

namespace qrv {

namespace {

// The folder part of a path, without a trailing separator unless it is a root.
std::wstring FileDir(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/:");
    if (slash == std::wstring::npos)
        return {};
    std::wstring dir = path.substr(0, slash + 1);
    if (dir.size() > 1 && (dir.back() == L'\\' || dir.back() == L'/') && dir[dir.size() - 2] != L':')
        dir.pop_back();
    return dir;
}

std::wstring FilePart(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The names a file dialog returned: one full path, or with several chosen
// the folder followed by the names in it, each ended by a zero.
std::vector<std::wstring> DialogFileNames(const std::wstring& buffer)
{
    std::vector<std::wstring> parts;
    for (size_t at = 0; at < buffer.size() && buffer[at] != 0;) {
        const size_t end = buffer.find(L'\0', at);
        parts.push_back(buffer.substr(at, end - at));
        at = end == std::wstring::npos ? buffer.size() : end + 1;
    }
    if (parts.size() <= 1)
        return parts;
    std::wstring folder = parts.front();
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    std::vector<std::wstring> names;
    for (size_t i = 1; i < parts.size(); ++i)
        names.push_back(folder + parts[i]);
    return names;
}

HWND OwnerWindow(HWND control)
{
    return control ? GetAncestor(control, GA_ROOT) : nullptr;
}

}  // namespace

// --- TCustomComboEdit ------------------------------------------------------

TCustomComboEdit::TCustomComboEdit(TComponent* owner) : TEdit(owner)
{
    SetHeight(21);
    button_ = new TXPSpeedButton(this);
    button_->SetCaption(L"...");
    button_->SetWidth(21);
    button_->SetAlign(TAlign::alRight);
    button_->SetParent(this);
    button_->OnClick = [this](TComponent*) { ButtonClicked(); };
}

int TCustomComboEdit::ButtonWidth() const
{
    return button_->Visible() ? button_->Width() : 0;
}

void TCustomComboEdit::SetButtonWidth(int width)
{
    button_->SetWidth(std::max(0, width));
    button_->SetVisible(width > 1);
    UpdateMargin();
}

void TCustomComboEdit::UpdateMargin()
{
    if (HandleAllocated())
        SendMessageW(handle_, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, ButtonWidth() > 0 ? ButtonWidth() + 2 : 0));
}

void TCustomComboEdit::CreateWindowHandle(const TCreateParams& params)
{
    TEdit::CreateWindowHandle(params);
    UpdateMargin();
}

void TCustomComboEdit::ButtonClicked()
{
    if (ReadOnly())
        return;
    if (OnButtonClick)
        OnButtonClick(this);
    DoButtonClick();
}

bool TCustomComboEdit::WithoutErrorBoxes(const std::function<bool()>& dialog)
{
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const ScopeExit restore([previous] { SetErrorMode(previous); });
    return dialog();
}

void TCustomComboEdit::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_SYSKEYDOWN:
        if (message.WParam == VK_DOWN && ButtonWidth() > 0) {
            ButtonClicked();
            message.Result = 0;
            return;
        }
        break;
    case WM_SIZE:
        TEdit::WndProc(message);
        UpdateMargin();
        return;
    default:
        break;
    }
    TEdit::WndProc(message);
}

// --- TFileDirEdit ------------------------------------------------------------

void TFileDirEdit::SetAcceptFiles(bool accept)
{
    acceptFiles_ = accept;
    if (HandleAllocated())
        DragAcceptFiles(handle_, accept);
}

void TFileDirEdit::CreateWindowHandle(const TCreateParams& params)
{
    TCustomComboEdit::CreateWindowHandle(params);
    if (handle_ && acceptFiles_)
        DragAcceptFiles(handle_, TRUE);
}

void TFileDirEdit::WndProc(TMessage& message)
{
    if (message.Msg == WM_DROPFILES) {
        auto drop = reinterpret_cast<HDROP>(message.WParam);
        std::vector<std::wstring> names;
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            const UINT length = DragQueryFileW(drop, i, nullptr, 0);
            std::wstring name(length + 1, L'\0');
            DragQueryFileW(drop, i, name.data(), length + 1);
            name.resize(length);
            if (!name.empty())
                names.push_back(std::move(name));
        }
        DragFinish(drop);
        message.Result = 0;
        if (!acceptFiles_ || names.empty())
            return;
        DroppedNamesBegin();
        // One name unless the edit takes several.
        const size_t taken = MultipleSelection() ? names.size() : 1;
        for (size_t i = 0; i < taken; ++i)
            AcceptDroppedName(names[i], i == 0);
        if (OnDropFiles)
            OnDropFiles(this);
        return;
    }
    TCustomComboEdit::WndProc(message);
}

std::wstring TFileDirEdit::ReportedName(const std::wstring& path, bool longName)
{
    const auto convert = [&path](bool toLong) {
        const DWORD length =
            toLong ? GetLongPathNameW(path.c_str(), nullptr, 0) : GetShortPathNameW(path.c_str(), nullptr, 0);
        if (length == 0)
            return std::wstring();
        std::wstring converted(length, L'\0');
        const DWORD written = toLong ? GetLongPathNameW(path.c_str(), converted.data(), length)
                                     : GetShortPathNameW(path.c_str(), converted.data(), length);
        converted.resize(written);
        return FilePart(converted);
    };
    std::wstring name = convert(longName);
    return name.empty() ? convert(!longName) : name;
}

// --- TFilenameEdit -----------------------------------------------------------

std::wstring TFilenameEdit::LongName()
{
    return ConvertPathNames(FileName(), [](const std::wstring& upTo) { return ReportedName(upTo, true); });
}

std::wstring TFilenameEdit::ShortName()
{
    return ConvertPathNames(FileName(), [](const std::wstring& upTo) { return ReportedName(upTo, false); });
}

TFilenameEdit::TFilenameEdit(TComponent* owner) : TFileDirEdit(owner) {}

std::wstring TFilenameEdit::ReducedName(const std::wstring& text) const
{
    if (FileExists(text))
        return text;
    return CommandLineParam(text, 0);
}

std::wstring TFilenameEdit::FileName()
{
    return ReducedName(Text());
}

void TFilenameEdit::SetFileName(const std::wstring& name)
{
    if (!name.empty() && !IsValidFileName(ReducedName(name)))
        throw EComboEditError(L"Ungültiger Dateiname - " + name);
    SetText(QuotedFileNameText(name));
    SelectedFiles.clear();
}

void TFilenameEdit::DroppedNamesBegin()
{
    SelectedFiles.clear();
}

void TFilenameEdit::AcceptDroppedName(const std::wstring& name, bool first)
{
    if (first)
        SetFileName(name);
    if (MultipleFiles)
        SelectedFiles.push_back(name);
}

void TFilenameEdit::DoButtonClick()
{
    std::wstring name = FileName();
    bool action = true;
    if (OnBeforeDialog)
        OnBeforeDialog(this, name, action);
    if (action) {
        // The current name chooses the folder and file the dialog starts with.
        std::wstring folder = InitialDir;
        std::wstring file;
        if (IsValidFileName(name)) {
            const std::wstring dir = FileDir(name);
            if (DirExists(dir))
                folder = dir;
            const std::wstring part = FilePart(name);
            if (IsValidFileName(part))
                file = part;
        }
        const bool save = DialogKind == TFileDialogKind::dkSave;
        std::wstring buffer(32768, L'\0');
        std::copy(file.begin(), file.end(), buffer.begin());
        std::wstring filter = Filter;
        std::replace(filter.begin(), filter.end(), L'|', L'\0');
        filter.append(2, L'\0');
        std::wstring ext = DefaultExt;
        if (!ext.empty() && ext[0] == L'.')
            ext.erase(0, 1);

        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = OwnerWindow(HandleAllocated() ? handle_ : nullptr);
        ofn.lpstrFilter = filter.c_str();
        ofn.nFilterIndex = static_cast<DWORD>(std::max(1, FilterIndex));
        ofn.lpstrFile = buffer.data();
        ofn.nMaxFile = static_cast<DWORD>(buffer.size());
        ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
        ofn.lpstrTitle = DialogTitle.c_str();
        ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
        ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
        if (MultipleFiles && !save)
            ofn.Flags |= OFN_ALLOWMULTISELECT;
        action =
            WithoutErrorBoxes([&] { return save ? GetSaveFileNameW(&ofn) != FALSE : GetOpenFileNameW(&ofn) != FALSE; });
        if (action) {
            SelectedFiles = DialogFileNames(buffer);
            name = SelectedFiles.empty() ? std::wstring() : SelectedFiles.front();
            FilterIndex = static_cast<int>(ofn.nFilterIndex);
        }
        if (HandleAllocated() && IsWindowVisible(handle_))
            SetFocus();
    }
    if (OnAfterDialog)
        OnAfterDialog(this, name, action);
    if (action) {
        SetText(name);
        InitialDir = FileDir(name);
    }
}

// --- TDirectoryEdit ----------------------------------------------------------

TDirectoryEdit::TDirectoryEdit(TComponent* owner) : TFileDirEdit(owner) {}

std::wstring TDirectoryEdit::LongName()
{
    const auto name = [](const std::wstring& upTo) { return ReportedName(upTo, true); };
    return MultipleDirs ? ConvertPathList(Text(), name) : ConvertPathNames(Text(), name);
}

std::wstring TDirectoryEdit::ShortName()
{
    const auto name = [](const std::wstring& upTo) { return ReportedName(upTo, false); };
    return MultipleDirs ? ConvertPathList(Text(), name) : ConvertPathNames(Text(), name);
}

void TDirectoryEdit::AcceptDroppedName(const std::wstring& name, bool /*first*/)
{
    std::wstring dir = FileExists(name) ? FileDir(name) : name;
    const std::wstring text = Text();
    if (MultipleDirs && !text.empty())
        dir += L";" + text;
    SetText(dir);
}

std::wstring TDirectoryEdit::DialogStartFolder(const std::wstring& text, const std::wstring& initialDir)
{
    std::wstring name = text.empty() ? initialDir : text;
    if (name.empty() || !DirExists(name))
        name = L"\\";
    return name;
}

void TDirectoryEdit::DoButtonClick()
{
    std::wstring name = Text();
    bool action = true;
    if (OnBeforeDialog)
        OnBeforeDialog(this, name, action);
    if (action) {
        name = DialogStartFolder(name, InitialDir);
        TBrowseFolderDlg browser(nullptr);
        browser.DialogText = DialogText;
        browser.FolderName = name;
        browser.HelpContext = HelpContext;
        const HWND owner = OwnerWindow(HandleAllocated() ? handle_ : nullptr);
        action = WithoutErrorBoxes([&] { return browser.Execute(owner); });
        if (action)
            name = browser.FolderName;
        if (HandleAllocated() && IsWindowVisible(handle_))
            SetFocus();
    }
    if (OnAfterDialog)
        OnAfterDialog(this, name, action);
    if (!action)
        return;
    const std::wstring text = Text();
    SetText(MultipleDirs && !text.empty() ? name + L";" + text : name);
    if (DirExists(name))
        InitialDir = name;
}

}  // namespace qrv
