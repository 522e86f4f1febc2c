#include "editor/EasyCodeTemplates.h"

#include "editor/EasyEditorSubObjects.h"

#include <cwctype>

namespace qrv {

namespace {

wchar_t Fold(wchar_t ch)
{
    return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(ch)));
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix)
{
    if (prefix.size() > text.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (Fold(text[i]) != Fold(prefix[i]))
            return false;
    }
    return true;
}

class TCodeTemplateItem : public TEasyPersistent {
public:
    explicit TCodeTemplateItem(TEasyCodeTemplate& item) : item_(item) {}
    std::vector<TEasyProperty> Properties() override
    {
        return {
            StringProperty(
                L"Name", [this] { return item_.Name; }, [this](const std::wstring& v) { item_.Name = v; }),
            StringProperty(
                L"Desc", [this] { return item_.Desc; }, [this](const std::wstring& v) { item_.Desc = v; }),
            StringsProperty(
                L"Code", [this] { return item_.Code; }, [this](const TEasyStringsValue& v) { item_.Code = v; }),
        };
    }

private:
    TEasyCodeTemplate& item_;
};

}  // namespace

int TEasyCodeTemplates::Add(TEasyCodeTemplate item)
{
    templates_.push_back(std::move(item));
    return Count() - 1;
}

void TEasyCodeTemplates::FindTemplates(std::vector<int>& list, const std::wstring& prefix, bool& exact) const
{
    list.clear();
    exact = false;
    if (!prefix.empty()) {
        for (int i = 0; i < Count(); ++i) {
            const std::wstring& name = templates_[size_t(i)].Name;
            if (name.size() == prefix.size() && StartsWithNoCase(name, prefix)) {
                list.push_back(i);
                exact = true;
                return;
            }
        }
        for (int i = 0; i < Count(); ++i) {
            if (StartsWithNoCase(templates_[size_t(i)].Name, prefix))
                list.push_back(i);
        }
    }
    if (list.empty()) {
        for (int i = 0; i < Count(); ++i)
            list.push_back(i);
    }
}

std::wstring EscapeTemplateMarkup(const std::wstring& text)
{
    std::wstring escaped;
    escaped.reserve(text.size());
    for (wchar_t ch : text) {
        if (ch == L'{' || ch == L'}' || ch == L'\\' || ch == L'|')
            escaped += L'\\';
        escaped += ch;
    }
    return escaped;
}

int TEasyCodeTemplates::FillTemplateList(std::vector<std::pair<std::wstring, int>>& items,
                                         const std::wstring& prefix) const
{
    std::vector<int> found;
    bool exact = false;
    FindTemplates(found, prefix, exact);
    items.clear();
    for (int index : found) {
        const TEasyCodeTemplate& item = templates_[size_t(index)];
        items.emplace_back(EscapeTemplateMarkup(item.Desc) + L"|{\\b " + EscapeTemplateMarkup(item.Name) + L"}", index);
    }
    return exact ? 0 : -1;
}

std::vector<TEasyProperty> TEasyCodeTemplates::Properties()
{
    return {StringsProperty(
        L"Items",
        [this] {
            TEasyStringsValue items;
            for (TEasyCodeTemplate& entry : templates_) {
                TCodeTemplateItem item(entry);
                items.push_back(EncodeEasyItem(item));
            }
            return items;
        },
        [this](const TEasyStringsValue& items) {
            std::vector<TEasyCodeTemplate> read(items.size());
            for (size_t i = 0; i < items.size(); ++i) {
                TCodeTemplateItem item(read[i]);
                DecodeEasyItem(items[i], item);
            }
            templates_ = std::move(read);
        })};
}

}  // namespace qrv
