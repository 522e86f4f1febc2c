#pragma once
// String lists: the abstract TStrings and the owning TStringList with sorting,
// duplicate handling, names and values, and loading and saving as text.
// Portable.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

class TEncoding;
class TStream;

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings {
public:
    virtual ~TStrings() = default;

    virtual int Count() const = 0;
    virtual const std::wstring& Get(int index) const = 0;
    virtual void Put(int index, const std::wstring& s) = 0;
    virtual void* GetObject(int index) const = 0;
    virtual void PutObject(int index, void* object) = 0;
    virtual void Insert(int index, const std::wstring& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    const std::wstring& operator[](int index) const { return Get(index); }
    virtual int Add(const std::wstring& s);
    int AddObject(const std::wstring& s, void* object);
    void InsertObject(int index, const std::wstring& s, void* object);
    void AddStrings(const TStrings& other);
    void Assign(const TStrings& other);
    void Move(int from, int to);
    void Exchange(int a, int b);
    virtual int IndexOf(const std::wstring& s) const;
    int IndexOfObject(const void* object) const;
    bool Equals(const TStrings& other) const;

    // "Name=Value" lines. Names compare as the list compares its strings.
    std::wstring Names(int index) const;
    std::wstring ValueFromIndex(int index) const;
    int IndexOfName(std::wstring_view name) const;
    std::wstring Values(std::wstring_view name) const;
    // Setting an empty value removes the line, as a missing value reads empty.
    void SetValue(std::wstring_view name, const std::wstring& value);
    wchar_t NameValueSeparator = L'=';

    // All lines, each followed by CR LF. Setting splits at CR LF, LF or CR.
    std::wstring Text() const;
    void SetText(std::wstring_view text);
    // Comma-separated, with quotes around items holding spaces, commas or quotes.
    std::wstring CommaText() const;
    void SetCommaText(std::wstring_view text);

    // Loading detects a byte-order mark (UTF-8, UTF-16 LE or BE); without one the
    // text is read as UTF-8 when it is valid UTF-8, else in the ANSI code page.
    // Saving uses the given encoding, else the one the list was loaded with,
    // else UTF-8 with a byte-order mark (so that no character is lost).
    void LoadFromFile(const std::wstring& fileName, const TEncoding* encoding = nullptr);
    void LoadFromStream(TStream& stream, const TEncoding* encoding = nullptr);
    void SaveToFile(const std::wstring& fileName, const TEncoding* encoding = nullptr) const;
    void SaveToStream(TStream& stream, const TEncoding* encoding = nullptr) const;
    const TEncoding* Encoding() const { return encoding_; }

    virtual bool CaseSensitive() const { return false; }
    int CompareStrings(std::wstring_view a, std::wstring_view b) const;

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

protected:
    virtual void SetUpdateState(bool /*updating*/) {}

private:
    const TEncoding* encoding_ = nullptr;
    int updateCount_ = 0;
};

class TStringList : public TStrings {
public:
    TStringList() = default;
    TStringList(const TStringList& other);
    TStringList& operator=(const TStringList& other);

    int Count() const override { return static_cast<int>(items_.size()); }
    const std::wstring& Get(int index) const override;
    void Put(int index, const std::wstring& s) override;
    void* GetObject(int index) const override;
    void PutObject(int index, void* object) override;
    void Insert(int index, const std::wstring& s) override;
    void Delete(int index) override;
    void Clear() override;
    int Add(const std::wstring& s) override;
    int IndexOf(const std::wstring& s) const override;

    // Bisection on a sorted list: true and the first match's index when s is
    // present, otherwise false and the index where s would be inserted.
    [[nodiscard]] bool Find(std::wstring_view s, int& index) const;
    void Sort();
    using TStringListSortCompare = std::function<int(const TStringList& list, int index1, int index2)>;
    void CustomSort(const TStringListSortCompare& compare);

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
    bool CaseSensitive() const override { return caseSensitive_; }
    void SetCaseSensitive(bool caseSensitive);

    std::function<void(TStringList&)> OnChange;
    std::function<void(TStringList&)> OnChanging;

protected:
    void SetUpdateState(bool updating) override;

private:
    struct TItem {
        std::wstring Text;
        void* Object = nullptr;
    };
    void CheckIndex(int index, bool allowEnd = false) const;
    void Changing();
    void Changed();
    void InsertItem(int index, const std::wstring& s, void* object);

    std::vector<TItem> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    TDuplicates duplicates_ = TDuplicates::dupIgnore;
};

}  // namespace qrv
