#pragma once
// TEasySelStrings: an editor's selection read as a list of lines, so the
// selection can be copied, saved or searched like any line list. The editor
// answers where the selection is through TEasySelectionView. Portable.

#include "editor/EasyStrings.h"

#include <string>

namespace qrv {

class TTabStopList;

class TEasySelectionView {
public:
    virtual ~TEasySelectionView() = default;
    virtual std::u16string Line(int index) const = 0;
    virtual int LineCount() const = 0;
    // Start and end of the selection: display columns and lines from 0; the
    // end is exclusive in its line.
    virtual int SelStartX() const = 0;
    virtual int SelStartY() const = 0;
    virtual int SelEndX() const = 0;
    virtual int SelEndY() const = 0;
    virtual bool BlockMode() const = 0;
    // The tab stops when the source keeps tabs (display columns then differ
    // from character indices), else nullptr.
    virtual const TTabStopList* TabStops() const { return nullptr; }
    virtual void ClearSelection() {}
    virtual bool Destroying() const { return false; }
};

class TEasySelStrings : public TEasyWideStrings {
public:
    explicit TEasySelStrings(TEasySelectionView& view) : view_(view) {}

    int GetCount() const override;
    std::u16string Get(int index) const override;
    // Clears the editor's selection (not while the editor goes).
    void Clear() override;
    // A view: lines are not inserted, deleted or exchanged.
    void Delete(int) override {}
    void Insert(int, std::u16string_view) override {}
    void Exchange(int, int) override {}

    std::vector<TEasyProperty> Properties() override { return {}; }

private:
    // The part of the line between two display columns (end exclusive,
    // EasyLineEnd for its end), padded with blanks to the width when asked.
    std::u16string Slice(int line, int fromColumn, int toColumn, bool pad) const;

    TEasySelectionView& view_;
};

}  // namespace qrv
