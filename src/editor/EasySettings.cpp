#include "editor/EasySettings.h"

#include "editor/EasyPersistence.h"
#include "editor/EditorSettings.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"

#include <chrono>
#include <exception>
#include <thread>
#include <vector>

namespace qrv {

namespace {

constexpr int kSaveAttempts = 5;

std::wstring RegistryKeyOf(const TEasySettings& settings)
{
    return SettingsKey() + L"\\" + settings.SectionName();
}

struct TRegistration {
    int Id = 0;
    TEasySettingsTest Test;
    TEasySettingsFactory Create;
    std::unique_ptr<TEasySettings> Instance;
};

std::vector<TRegistration>& Registrations()
{
    static std::vector<TRegistration> registrations;
    return registrations;
}

bool SaveTraced(TEasySettings& settings) noexcept
{
    try {
        settings.Save();
        return true;
    } catch (const std::exception&) {
        TraceIgnoredException(L"saving the editor settings " + settings.SectionName());
        return false;
    }
}

}  // namespace

void TEasySettings::Load()
{
    BeginUpdate();
    const ScopeExit end([this] { EndUpdate(); });
    try {
        if (SettingsUseRegistry()) {
            TEasyRegistryStore* store = SettingsRegistryStore();
            if (!store) {
                TraceIgnoredFailure(L"reading the editor settings " + SectionName() + L": no registry");
                return;
            }
            LoadFromRegistry(*store, *this, RegistryKeyOf(*this));
        } else {
            LoadFromIniFile(*this, SettingsFileName(), SectionName());
        }
    } catch (const std::exception&) {
        TraceIgnoredException(L"reading the editor settings " + SectionName());
        SetDefaults();  // nothing half-read stays
    }
}

void TEasySettings::Save()
{
    if (SettingsUseRegistry()) {
        TEasyRegistryStore* store = SettingsRegistryStore();
        if (!store) {
            TraceIgnoredFailure(L"saving the editor settings " + SectionName() + L": no registry");
            return;
        }
        SaveToRegistry(*store, *this, RegistryKeyOf(*this));
    } else {
        // Another copy saving the same file at this moment holds it for a
        // few milliseconds, reading it whole or swapping its new one in
        // (refused while this one reads): a file error is tried again a
        // few times before it counts.
        for (int attempt = 1;; ++attempt) {
            try {
                SaveToIniFile(*this, SettingsFileName(), SectionName());
                return;
            } catch (const EFileStreamError&) {
                if (attempt >= kSaveAttempts)
                    throw;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
}

void TEasySettings::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0)
        Changed();
}

int RegisterEasySettings(TEasySettingsTest test, TEasySettingsFactory create)
{
    static int lastId = 0;
    Registrations().push_back({++lastId, std::move(test), std::move(create), nullptr});
    return lastId;
}

void UnregisterEasySettings(int registration)
{
    std::erase_if(Registrations(), [registration](const TRegistration& r) { return r.Id == registration; });
}

TEasySettings* ComponentSettings(TComponent* component)
{
    for (TRegistration& registration : Registrations()) {
        if (!registration.Test(component))
            continue;
        if (!registration.Instance) {
            registration.Instance = registration.Create();
            registration.Instance->Load();
        }
        return registration.Instance.get();
    }
    return nullptr;
}

namespace detail {
std::unique_ptr<TEasySettings>& SearchSettingsSlot()
{
    static std::unique_ptr<TEasySettings> slot;
    return slot;
}
}  // namespace detail

bool SaveEasySettings() noexcept
{
    bool saved = true;
    if (auto& search = detail::SearchSettingsSlot())
        saved = SaveTraced(*search) && saved;
    for (TRegistration& registration : Registrations())
        if (registration.Instance)
            saved = SaveTraced(*registration.Instance) && saved;
    return saved;
}

bool ReleaseEasySettings() noexcept
{
    const bool saved = SaveEasySettings();
    detail::SearchSettingsSlot().reset();
    for (TRegistration& registration : Registrations())
        registration.Instance.reset();
    return saved;
}

}  // namespace qrv
