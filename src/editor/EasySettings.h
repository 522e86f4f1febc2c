#pragma once
// TEasySettings: the base of the editor family's persistent settings
// objects. Each keeps its properties in the settings file (one name=value
// line per settings class, the value the streamed property block) or in the
// registry (one key per class below SettingsKey), as EditorSettings.h says.
// The process-wide objects are loaded when first asked for and saved by
// SaveEasySettings, which the host calls at shutdown: nothing is saved from
// a destructor, where nobody could be told of a failure. Portable.

#include "editor/EasyPersistent.h"

#include <functional>
#include <memory>
#include <string>

namespace qrv {

class TComponent;

class TEasySettings : public TEasyPersistent {
public:
    TEasySettings() = default;
    ~TEasySettings() override = default;
    TEasySettings(const TEasySettings&) = delete;
    TEasySettings& operator=(const TEasySettings&) = delete;

    // Reads the settings from where they live. A section or key that holds
    // nothing keeps the defaults; so does a damaged block or a value of the
    // wrong kind or range, which is traced: then every property is the
    // default, none half-read.
    void Load();
    // Writes the settings; raises the store's error on failure.
    void Save();

    // The name of the file's line and of the registry key: the class name
    // without its first letter.
    virtual std::wstring SectionName() const { return L"EasySettings"; }
    virtual void SetDefaults() = 0;
    // After the outermost EndUpdate.
    virtual void Changed() {}
    // Applies the settings to a component they are registered for.
    virtual void ApplyTo(TComponent* /*component*/) {}

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

private:
    int updateCount_ = 0;
};

// The settings classes of components: the first registration whose test
// accepts a component names its global settings object, made (and loaded)
// when first asked for.
using TEasySettingsTest = std::function<bool(TComponent* component)>;
using TEasySettingsFactory = std::function<std::unique_ptr<TEasySettings>()>;
// Returns the registration's number for UnregisterEasySettings.
int RegisterEasySettings(TEasySettingsTest test, TEasySettingsFactory create);
// Forgets the registration; its object goes unsaved.
void UnregisterEasySettings(int registration);
// The global settings object of the component, or nullptr.
TEasySettings* ComponentSettings(TComponent* component);

// Saves every process-wide settings object made so far (the search settings
// included); a failure is traced and the others are still saved. False when
// any failed.
bool SaveEasySettings() noexcept;
// Saves as SaveEasySettings, then frees them all (the registrations stay);
// the next request makes and loads them anew.
bool ReleaseEasySettings() noexcept;

namespace detail {
// The search settings' slot, kept beside the component settings so that one
// save walks them all.
std::unique_ptr<TEasySettings>& SearchSettingsSlot();
}  // namespace detail

}  // namespace qrv
