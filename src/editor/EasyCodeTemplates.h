#pragma once
// TEasyCodeTemplates: the editor's code templates (a name, a description
// and the lines to insert), found by a typed prefix and listed for the
// template popup. Portable.

#include "editor/EasyEditorLink.h"
#include "editor/EasyPersistent.h"

#include <string>
#include <utility>
#include <vector>

namespace qrv {

struct TEasyCodeTemplate {
    std::wstring Name;
    std::wstring Desc;
    std::vector<std::wstring> Code;
    bool operator==(const TEasyCodeTemplate&) const = default;
};

class TEasyCodeTemplates : public TEasyPersistent {
public:
    int Count() const { return static_cast<int>(templates_.size()); }
    const TEasyCodeTemplate& Items(int index) const { return templates_.at(static_cast<size_t>(index)); }
    int Add(TEasyCodeTemplate item);
    void Clear() { templates_.clear(); }

    // The indices of the templates for a prefix (compared without case): a
    // template named exactly so, wherever it is listed, alone with exact
    // set; else every template whose name starts with the prefix; else (and
    // without a prefix) every template.
    void FindTemplates(std::vector<int>& list, const std::wstring& prefix, bool& exact) const;
    // One popup line per template found: the description, "|", and the name
    // in bold markup; the second of each pair is the template's index.
    // Braces, backslashes and bars of the texts are escaped with "\". 0 for
    // an exact match, else -1.
    int FillTemplateList(std::vector<std::pair<std::wstring, int>>& items, const std::wstring& prefix) const;

    std::vector<TEasyProperty> Properties() override;

private:
    std::vector<TEasyCodeTemplate> templates_;
};

// The text with "{", "}", "\" and "|" escaped by a backslash.
std::wstring EscapeTemplateMarkup(const std::wstring& text);

}  // namespace qrv
