#pragma once
// TKySplitter: a thin bar between two aligned controls; dragging it with the
// mouse resizes one of them (which one follows from their alignments).

#include "framework/win/Controls.h"

#include <functional>

namespace qrv {

using TSplitterMoveEvent = std::function<void(TComponent* Sender, int X, int Y, bool& AllowChange)>;

class TKySplitter : public TWinControl {
public:
    explicit TKySplitter(TComponent* owner);
    ~TKySplitter() override;

    // The controls on either side; the splitter itself and forms are refused.
    // A control freed while set is forgotten.
    TControl* ControlFirst() const { return first_; }
    void SetControlFirst(TControl* control);
    TControl* ControlSecond() const { return second_; }
    void SetControlSecond(TControl* control);
    // Pixels the bar keeps from the parent's top/left and bottom/right edges.
    int TopLeftLimit = 20;
    int BottomRightLimit = 20;

    // Aligning a new splitter makes it 3 pixels thick and, when no control
    // is set, takes the control just before its leading edge as ControlFirst.
    void SetAlign(TAlign align);

    // 0: no resizing; 1, 2: a height changes; 3, 4: a width changes.
    int SplitKind() const;
    // The control whose size the splitter changes, or nullptr.
    TControl* ResizedControl() const;
    bool Dragging() const { return dragging_; }

    // Each move while dragging; AllowChange false keeps the last allowed line.
    TSplitterMoveEvent OnPosChanging;
    // After a drag changed the size.
    TNotifyEvent OnPosChanged;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void FreeNotified(TComponent* component) override;

private:
    static bool Refused(const TControl* self, const TControl* control);
    void Replace(TControl*& slot, TControl* control);
    // Escape cancels a drag wherever the focus is; the focus stays there.
    void ListenForEscape();
    void StopListening();
    void UpdateDragCursor(bool refused);
    bool Vertical() const;  // the bar runs across a height (kinds 1 and 2)
    int ParentPos(LPARAM lParam) const;
    int ClampedLine(int mousePos) const;
    void DrawLine();
    void EndDrag(bool accept);

    TControl* first_ = nullptr;
    TControl* second_ = nullptr;
    bool dragging_ = false;
    bool dragVertical_ = false;  // the direction, fixed while dragging
    int pressPos_ = 0;           // mouse along the split direction, parent coordinates
    int startLine_ = 0;          // leading edge of the bar at the press
    int line_ = 0;               // leading edge of the drawn line
    bool lineDrawn_ = false;
    TWinControl* escapeSource_ = nullptr;  // the focused control while dragging
    int escapeListener_ = 0;
};

}  // namespace qrv
