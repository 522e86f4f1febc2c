#pragma once
// The editor's document object: the line list, the caret, the read-only and
// modified state and the file name, shared by the editor views attached to
// it, which it tells of every change. Portable.

#include "editor/EasyStrings.h"
#include "framework/Component.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qrv {

// What changed, as bits of TEasyEditSourceStates.
enum TEasyEditSourceState : uint16_t {
    csParagraphChanged = 1 << 0,
    csPositionChanged = 1 << 1,
    csParserChanged = 1 << 2,
    csEdit = 1 << 3,
    csCountChanged = 1 << 4,
    csUndo = 1 << 5,
    csBookMarkChanged = 1 << 6,
    csLineStyleChanged = 1 << 7,
    csReadOnlyChanged = 1 << 8,
    csBlockChanged = 1 << 9,
    csVisibleChanged = 1 << 10,
    csIncrementalSearchChanged = 1 << 11,
};
using TEasyEditSourceStates = uint16_t;
// Not a change: the source is being freed, its views must let go of it.
constexpr TEasyEditSourceStates csSourceFreed = 0x8000;

class TCustomEasyEditSource : public TComponent {
public:
    explicit TCustomEasyEditSource(TComponent* owner);
    ~TCustomEasyEditSource() override;

    TEasyStrings& Strings() { return strings_; }
    const TEasyStrings& Strings() const { return strings_; }

    const std::wstring& FileName() const { return fileName_; }
    void SetFileName(const std::wstring& name) { fileName_ = name; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

    // The caret: column X and line Y, both from 0.
    int CaretX() const { return caretX_; }
    int CaretY() const { return caretY_; }
    void SetCaretPos(int x, int y);

    // Stores the name, then loads the file: the caret goes to (0, 0) and the
    // document is unmodified. File errors reach the caller.
    void LoadFromFile(const std::wstring& name);
    // Stores the name and saves; Modified is not changed.
    void SaveToFile(const std::wstring& name);
    // Replaces the whole text as an edit of the document (it becomes modified).
    void ReplaceAllText(std::wstring_view text);

    // The views that show this document hear of every change.
    using TNotifier = std::function<void(TEasyEditSourceStates states)>;
    void AddNotifier(const void* view, TNotifier notifier);
    void RemoveNotifier(const void* view);

private:
    void StringsChanged();
    void Notify(TEasyEditSourceStates states);

    TEasyStrings strings_;
    std::wstring fileName_;
    bool readOnly_ = false;
    bool modified_ = false;
    int caretX_ = 0, caretY_ = 0;
    int ownEdit_ = 0;  // non-zero while this source changes its own lines
    int lastCount_ = 0;
    std::vector<std::pair<const void*, TNotifier>> notifiers_;
};

class TEasyEditSource : public TCustomEasyEditSource {
public:
    using TCustomEasyEditSource::TCustomEasyEditSource;
};

}  // namespace qrv
