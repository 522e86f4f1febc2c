#include "panels/win/LocaleCollator.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <mutex>
#include <string_view>
#include <vector>

namespace qrv {

namespace {

constexpr DWORD kKeyFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
constexpr wchar_t kFirstPlain = 0x20;
constexpr wchar_t kEndPlain = 0x7F;
// What follows the primary weights in the key of a text without
// diacritic, case or special weights: the section separators and the end.
constexpr char kPlainTail[] = {1, 1, 1, 1, 0};
constexpr size_t kMaxWeight = 4;

const wchar_t* LocaleArgument(const std::wstring& locale)
{
    return locale.empty() ? LOCALE_NAME_USER_DEFAULT : locale.c_str();
}

std::string SystemKey(const std::wstring& locale, std::wstring_view text)
{
    char buffer[64];
    const int size = LCMapStringEx(LocaleArgument(locale), kKeyFlags, text.data(), static_cast<int>(text.size()),
                                   reinterpret_cast<LPWSTR>(buffer), sizeof buffer, nullptr, nullptr, 0);
    return size > 0 ? std::string(buffer, static_cast<size_t>(size)) : std::string();
}

}  // namespace

struct TLocaleCollator::TPlainWeights {
    std::array<std::array<char, kMaxWeight>, kEndPlain> Weight{};
    std::array<uint8_t, kEndPlain> Length{};  // 0: not plain

    // Asks the locale for the key of every character and of every pair:
    // a character is plain when its key is its weight followed by the plain
    // tail, and every pair of plain characters keys as their two weights
    // (no contraction such as "ch" in Czech). A pair that does not takes
    // both characters out of the table.
    explicit TPlainWeights(const std::wstring& locale)
    {
        const std::string_view tail(kPlainTail, sizeof kPlainTail);
        for (wchar_t c = kFirstPlain; c < kEndPlain; ++c) {
            const std::string key = SystemKey(locale, std::wstring_view(&c, 1));
            if (key.size() <= tail.size() || key.size() - tail.size() > kMaxWeight ||
                std::string_view(key).substr(key.size() - tail.size()) != tail)
                continue;
            const std::string_view weight = std::string_view(key).substr(0, key.size() - tail.size());
            if (weight.find('\x01') != std::string_view::npos)
                continue;
            std::copy(weight.begin(), weight.end(), Weight[c].begin());
            Length[c] = static_cast<uint8_t>(weight.size());
        }
        std::string expected;
        for (wchar_t a = kFirstPlain; a < kEndPlain; ++a)
            for (wchar_t b = kFirstPlain; b < kEndPlain && Length[a]; ++b) {
                if (!Length[b])
                    continue;
                const wchar_t pair[2] = {a, b};
                expected.assign(Weight[a].data(), Length[a]).append(Weight[b].data(), Length[b]).append(tail);
                if (SystemKey(locale, std::wstring_view(pair, 2)) != expected)
                    Length[a] = Length[b] = 0;
            }
        RankWeights();
    }

    // The compact key: each plain character's place among the distinct
    // weights, from 1. When every weight has the same length, comparing two
    // keys of weights byte by byte compares them weight by weight, and so
    // does comparing their places; with weights of several lengths there
    // are no places.
    TSortCollator::TCompactBytes Rank{};
    bool HasRanks = false;

private:
    void RankWeights()
    {
        std::vector<std::string_view> weights;
        for (wchar_t c = kFirstPlain; c < kEndPlain; ++c)
            if (Length[c])
                weights.emplace_back(Weight[c].data(), Length[c]);
        if (weights.empty() || std::any_of(weights.begin(), weights.end(), [&](std::string_view weight) {
                return weight.size() != weights.front().size();
            }))
            return;
        // Byte order (as the keys compare), not the order of signed chars.
        const auto bytewise = [](std::string_view a, std::string_view b) {
            return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
                return static_cast<uint8_t>(x) < static_cast<uint8_t>(y);
            });
        };
        std::sort(weights.begin(), weights.end(), bytewise);
        weights.erase(std::unique(weights.begin(), weights.end()), weights.end());
        for (wchar_t c = kFirstPlain; c < kEndPlain; ++c) {
            if (!Length[c])
                continue;
            const std::string_view weight(Weight[c].data(), Length[c]);
            const auto place = std::lower_bound(weights.begin(), weights.end(), weight, bytewise);
            Rank[c] = static_cast<uint8_t>(place - weights.begin() + 1);
        }
        HasRanks = true;
    }
};

namespace {

// One table per locale for the whole process.
std::shared_ptr<const TLocaleCollator::TPlainWeights> PlainWeightsOf(const std::wstring& locale)
{
    std::wstring name = locale;
    if (name.empty()) {
        wchar_t buffer[LOCALE_NAME_MAX_LENGTH];
        if (!GetUserDefaultLocaleName(buffer, LOCALE_NAME_MAX_LENGTH))
            return nullptr;
        name = buffer;
    }
    static std::mutex mutex;
    static std::map<std::wstring, std::shared_ptr<const TLocaleCollator::TPlainWeights>> tables;
    const std::lock_guard<std::mutex> lock(mutex);
    auto& table = tables[name];
    if (!table)
        table = std::make_shared<const TLocaleCollator::TPlainWeights>(locale);
    return table;
}

}  // namespace

TLocaleCollator::TLocaleCollator() : plain_(PlainWeightsOf(locale_)) {}

TLocaleCollator::TLocaleCollator(std::wstring LocaleName)
    : locale_(std::move(LocaleName)), plain_(PlainWeightsOf(locale_))
{}

std::string TLocaleCollator::SortKey(std::wstring_view Text) const
{
    std::string key;
    AppendSortKey(Text, key);
    return key;
}

void TLocaleCollator::AppendSortKey(std::wstring_view Text, std::string& Out) const
{
    if (Text.empty())
        return;
    if (plain_) {
        size_t length = sizeof kPlainTail;
        for (const wchar_t c : Text) {
            if (c >= kEndPlain || !plain_->Length[c]) {
                length = 0;
                break;
            }
            length += plain_->Length[c];
        }
        if (length > 0) {
            // Every weight is copied as its whole table row and the end moved
            // on by its length (no loop per byte); the room the last row
            // needs beyond the key is cut off again.
            const size_t at = Out.size();
            Out.resize(at + length + kMaxWeight);
            char* end = Out.data() + at;
            for (const wchar_t c : Text) {
                std::memcpy(end, plain_->Weight[c].data(), kMaxWeight);
                end += plain_->Length[c];
            }
            std::memcpy(end, kPlainTail, sizeof kPlainTail);
            Out.resize(at + length);
            return;
        }
    }
    AppendLocaleKey(Text, Out);
}

const TSortCollator::TCompactBytes* TLocaleCollator::CompactBytes() const
{
    return plain_ && plain_->HasRanks ? &plain_->Rank : nullptr;
}

void TLocaleCollator::AppendLocaleKey(std::wstring_view Text, std::string& Out) const
{
    const wchar_t* locale = LocaleArgument(locale_);
    const int length = static_cast<int>(Text.size());
    // One call into a buffer on the stack serves nearly every file name;
    // only a longer key asks for its size first.
    char buffer[512];
    int size = LCMapStringEx(locale, kKeyFlags, Text.data(), length, reinterpret_cast<LPWSTR>(buffer), sizeof buffer,
                             nullptr, nullptr, 0);
    if (size > 0) {
        Out.append(buffer, static_cast<size_t>(size));
        return;
    }
    size = LCMapStringEx(locale, kKeyFlags, Text.data(), length, nullptr, 0, nullptr, nullptr, 0);
    if (size <= 0) {
        TFoldCollator().AppendSortKey(Text, Out);
        return;
    }
    const size_t start = Out.size();
    Out.resize(start + static_cast<size_t>(size));
    LCMapStringEx(locale, kKeyFlags, Text.data(), length, reinterpret_cast<LPWSTR>(Out.data() + start), size, nullptr,
                  nullptr, 0);
}

}  // namespace qrv
