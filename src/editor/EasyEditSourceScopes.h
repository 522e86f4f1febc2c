#pragma once
// Brackets the edit source's operations share: its own-edit mark, the update
// bracket and running a step at another position. Included by the edit
// source's sources only.

#include "editor/EasyEditSource.h"
#include "framework/ScopeExit.h"

namespace qrv {

// Marks a text operation of this source, so the change handler does not take
// the change for one from outside.
struct TCustomEasyEditSource::TOwnEdit {
    explicit TOwnEdit(TCustomEasyEditSource& source) : source_(source) { ++source_.ownEdit_; }
    ~TOwnEdit() { --source_.ownEdit_; }
    TOwnEdit(const TOwnEdit&) = delete;
    TOwnEdit& operator=(const TOwnEdit&) = delete;
    TCustomEasyEditSource& source_;
};

// BeginUpdate/EndUpdate on every way out.
struct TCustomEasyEditSource::TUpdate {
    TUpdate(TCustomEasyEditSource& source, uint8_t kind) : source_(source) { source_.BeginUpdate(kind); }
    ~TUpdate() { source_.EndUpdate(); }
    TUpdate(const TUpdate&) = delete;
    TUpdate& operator=(const TUpdate&) = delete;
    TCustomEasyEditSource& source_;
};

template <typename Step>
void TCustomEasyEditSource::AtPosition(TEasyPoint point, Step step)
{
    const TEasyPoint saved = caret_;
    caret_ = point;
    ++positioned_;
    const ScopeExit back([&] {
        --positioned_;
        caret_ = saved;
    });
    step();
}

// Blanks as trimming and unindenting see them: code 32 or less, except 1.
inline bool IsEditBlank(char16_t c)
{
    return c <= 32 && c != 1;
}

// The style of a character without one.
constexpr uint16_t NoStyle = 0xFFFF;

}  // namespace qrv
