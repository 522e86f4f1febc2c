#include "widgets/win/ToolWindowPositions.h"

#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Registry.h"
#include "widgets/win/KyToolbar.h"

#include <vector>

namespace qrv {

namespace {

const wchar_t kNoNameText[] = L"Cannot save tool window's position because Name property is not set";
const wchar_t kNoNameRestoreText[] = L"Cannot restore tool window's position because Name property is not set";
const wchar_t kNoDockNameText[] = L"Cannot save tool window's position because DockedTo's Name property not set";

std::vector<TKyCustomToolWindow*> ToolWindowsOf(TForm* form)
{
    std::vector<TKyCustomToolWindow*> windows;
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* window = dynamic_cast<TKyCustomToolWindow*>(form->Components(i)))
            windows.push_back(window);
    return windows;
}

std::vector<TKyDock*> DocksOf(TForm* form)
{
    std::vector<TKyDock*> docks;
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* dock = dynamic_cast<TKyDock*>(form->Components(i)))
            docks.push_back(dock);
    return docks;
}

TToolWindowPosition PositionOf(TKyCustomToolWindow* window)
{
    TToolWindowPosition position;
    position.Visible = window->Visible();
    if (TKyDock* dock = window->DockedTo())
        position.DockedTo = dock->AllowDrag() ? dock->Name() : std::wstring();
    else
        position.DockedTo = kFloatingDockName;
    if (TKyDock* last = window->LastDock())
        position.LastDock = last->Name();
    position.DockRow = window->DockRow();
    position.DockPos = window->DockPos();
    position.FloatLeft = window->FloatingPosition().x;
    position.FloatTop = window->FloatingPosition().y;
    if (auto* toolbar = dynamic_cast<TKyCustomToolbar*>(window))
        position.FloatRightX = toolbar->FloatingRightX();
    return position;
}

// Ends the update of every dock, last first, when the restore is over.
class DockUpdates {
public:
    explicit DockUpdates(std::vector<TKyDock*> docks) : docks_(std::move(docks))
    {
        for (TKyDock* dock : docks_)
            dock->BeginUpdate();
    }
    ~DockUpdates()
    {
        for (auto it = docks_.rbegin(); it != docks_.rend(); ++it)
            (*it)->EndUpdate();
    }
    DockUpdates(const DockUpdates&) = delete;
    DockUpdates& operator=(const DockUpdates&) = delete;

private:
    std::vector<TKyDock*> docks_;
};

// Keeps one registry key open for the section being read or written.
class RegistrySections {
public:
    RegistrySections(std::wstring baseKey, bool write)
        : base_(baseKey.empty() || baseKey[0] != L'\\' ? L"\\" + baseKey : std::move(baseKey)), write_(write),
          registry_(write ? KEY_ALL_ACCESS : KEY_READ)
    {
        if (!registry_.OpenKey(base_, true))
            throw ERegistryException(L"Registrierungsschlüssel \"" + base_ + L"\" kann nicht geöffnet werden");
        registry_.CloseKey();
    }

    // True when the section's key is open.
    bool Open(const std::wstring& section)
    {
        if (section == section_)
            return open_;
        section_ = section;
        registry_.CloseKey();
        const std::wstring key = base_ + L"\\" + section;
        open_ = write_ ? registry_.OpenKey(key, true) : registry_.OpenKeyReadOnly(key);
        if (write_ && !open_)
            throw ERegistryException(L"Registrierungsschlüssel \"" + key + L"\" kann nicht geöffnet werden");
        return open_;
    }

    TToolWindowPositionStore Store()
    {
        TToolWindowPositionStore store;
        store.ReadInteger = [this](const std::wstring& section, const std::wstring& name, int defaultValue) {
            if (!Open(section) || registry_.GetDataType(name) != TRegDataType::rdInteger)
                return defaultValue;
            return registry_.ReadInteger(name);
        };
        store.ReadString = [this](const std::wstring& section, const std::wstring& name,
                                  const std::wstring& defaultValue) {
            if (!Open(section) || registry_.GetDataType(name) != TRegDataType::rdString)
                return defaultValue;
            return registry_.ReadString(name);
        };
        store.WriteInteger = [this](const std::wstring& section, const std::wstring& name, int value) {
            Open(section);
            registry_.WriteInteger(name, value);
        };
        store.WriteString = [this](const std::wstring& section, const std::wstring& name, const std::wstring& value) {
            Open(section);
            registry_.WriteString(name, value);
        };
        return store;
    }

private:
    std::wstring base_;
    bool write_;
    TRegistry registry_;
    std::wstring section_;
    bool open_ = false;
};

TToolWindowPositionStore IniStore(TMemIniFile& ini, const std::wstring& prefix)
{
    TToolWindowPositionStore store;
    store.ReadInteger = [&ini, prefix](const std::wstring& section, const std::wstring& name, int defaultValue) {
        return ini.ReadInteger(prefix + section, name, defaultValue);
    };
    store.ReadString = [&ini, prefix](const std::wstring& section, const std::wstring& name,
                                      const std::wstring& defaultValue) {
        return ini.ReadString(prefix + section, name, defaultValue);
    };
    store.WriteInteger = [&ini, prefix](const std::wstring& section, const std::wstring& name, int value) {
        ini.WriteInteger(prefix + section, name, value);
    };
    store.WriteString = [&ini, prefix](const std::wstring& section, const std::wstring& name,
                                       const std::wstring& value) { ini.WriteString(prefix + section, name, value); };
    return store;
}

}  // namespace

void WriteToolWindowPositions(TForm* form, const TToolWindowPositionStore& store)
{
    for (TKyCustomToolWindow* window : ToolWindowsOf(form)) {
        if (window->Name().empty())
            throw Exception(kNoNameText);
        TKyDock* dock = window->DockedTo();
        if (dock && dock->AllowDrag() && dock->Name().empty())
            throw Exception(kNoDockNameText);
        WriteToolWindowPosition(store, window->Name(), PositionOf(window));
    }
}

void ReadToolWindowPositions(TForm* form, const TToolWindowPositionStore& store)
{
    const std::vector<TKyDock*> docks = DocksOf(form);
    const auto dockNamed = [&docks](const std::wstring& name) -> TKyDock* {
        for (TKyDock* dock : docks)
            if (dock->Name() == name)  // exact, as written
                return dock;
        return nullptr;
    };
    DockUpdates updates(docks);
    for (TKyCustomToolWindow* window : ToolWindowsOf(form)) {
        if (window->Name().empty())
            throw Exception(kNoNameRestoreText);
        const bool toolbar = dynamic_cast<TKyCustomToolbar*>(window) != nullptr;
        const auto position = ReadToolWindowPosition(store, window->Name(), PositionOf(window), toolbar);
        if (!position)
            continue;
        window->SetVisible(position->Visible);
        if (position->DockedTo.empty())
            continue;
        TKyDock* target = nullptr;
        if (position->DockedTo != kFloatingDockName) {
            target = dockNamed(position->DockedTo);
            if (!target || !target->AllowDrag())
                continue;
        }
        if (auto* bar = dynamic_cast<TKyCustomToolbar*>(window); bar && position->FloatRightX)
            bar->SetFloatingRightX(*position->FloatRightX);
        window->SetDockRow(position->DockRow);
        window->SetDockPos(position->DockPos);
        if (target) {
            // A toolbar that never floated is stored with the place 0, 0: it
            // keeps floating first where it is docked, not in the corner.
            if (position->FloatLeft != 0 || position->FloatTop != 0)
                window->SetFloatingPosition(POINT{position->FloatLeft, position->FloatTop});
            window->SetDockedTo(target);
            window->ArrangeControls();
            continue;
        }
        window->SetFloatingPosition(POINT{position->FloatLeft, position->FloatTop});
        window->SetParent(form);
        window->ArrangeControls();
        // A place on a monitor that is gone is brought back.
        window->MoveOnScreen(true);
        if (position->HasLastDock && window->UseLastDock() && !position->LastDock.empty())
            if (TKyDock* last = dockNamed(position->LastDock))
                window->SetLastDock(last);
    }
}

void IniReadToolWindowPositions(TForm* form, const std::wstring& fileName, const std::wstring& sectionPrefix)
{
    TMemIniFile ini(fileName);
    ReadToolWindowPositions(form, IniStore(ini, sectionPrefix));
}

void IniWriteToolWindowPositions(TForm* form, const std::wstring& fileName, const std::wstring& sectionPrefix)
{
    TMemIniFile ini(fileName);
    try {
        WriteToolWindowPositions(form, IniStore(ini, sectionPrefix));
    } catch (...) {
        ini.UpdateFile();
        throw;
    }
    ini.UpdateFile();
}

void RegReadToolWindowPositions(TForm* form, const std::wstring& baseKey)
{
    RegistrySections sections(baseKey, false);
    ReadToolWindowPositions(form, sections.Store());
}

void RegWriteToolWindowPositions(TForm* form, const std::wstring& baseKey)
{
    RegistrySections sections(baseKey, true);
    WriteToolWindowPositions(form, sections.Store());
}

}  // namespace qrv
