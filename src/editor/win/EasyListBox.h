#pragma once
// TEasyListBox: the editor's pick list. Each item is a one-line RTF snippet
// (or plain text) drawn by an RTF painter; "|" separates columns, which
// AlignColumns lines up.

#include "editor/win/EasyRtfPainter.h"
#include "framework/win/ListBox.h"

#include <string>

namespace qrv {

class TEasyListBox : public TCustomListBox {
public:
    explicit TEasyListBox(TComponent* owner);

    // Adds an item; its object is its painter line.
    void AddItem(const std::wstring& rtf);
    // Removes every item and its line.
    void ClearItems();
    TEasyRtfLine* Line(int index) const;
    // The font's ascent plus descent.
    int ItemHeight() override;
    // Gives the "|" pieces of every item the widths that start each column
    // at one x; returns the width of all columns.
    int AlignColumns();

protected:
    void DrawItem(HDC dc, int index, const RECT& rect, UINT state) override;
    void FontChanged() override;

private:
    TEasyRtfPainter painter_;
};

}  // namespace qrv
