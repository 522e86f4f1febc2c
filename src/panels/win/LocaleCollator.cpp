#include "panels/win/LocaleCollator.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
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
    explicit TPlainWeights(const std::wstring& locale) : locale_(locale)
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
        LearnProbe();
    }

    // Letters and signs beyond the plain ones (see ExtraCandidate) whose
    // key is their own: primary weights, then diacritic weights, which the
    // locale lists after all primary weights of a text, its trailing plain
    // ones (2) left out. A text of plain characters and such letters keys
    // as all their primary weights, 1, all their diacritic weights but the
    // trailing 2s, and the empty sections. Each letter is asked of the
    // locale when a text first holds it (once per process), and taken only
    // when it keys so alone, twice, beside "ä" and beside every plain
    // character (an ideograph beside a few: no locale contracts them); a
    // contraction or a weight bound to its neighbours keys otherwise and
    // leaves the letter to the locale.
    struct TExtraLetter {
        std::atomic<uint8_t> State{0};  // 0 not asked, 1 keyed from the table, 2 by the locale
        uint8_t PrimaryLength = 0;
        uint8_t DiacriticLength = 0;
        std::array<char, 8> Primary{};
        std::array<char, 4> Diacritic{};
    };
    using TExtraPage = std::array<TExtraLetter, 256>;

    // The letter's entry, asked of the locale the first time; nullptr when
    // the table does not key it.
    const TExtraLetter* Extra(wchar_t c) const
    {
        if (!ExtraUsable || !ExtraCandidate(c))
            return nullptr;
        std::atomic<TExtraPage*>& slot = pages_[static_cast<size_t>(c) >> 8];
        TExtraPage* page = slot.load(std::memory_order_acquire);
        if (!page) {
            const std::lock_guard<std::mutex> lock(resolving_);
            page = slot.load(std::memory_order_relaxed);
            if (!page) {
                ownedPages_.push_back(std::make_unique<TExtraPage>());
                page = ownedPages_.back().get();
                slot.store(page, std::memory_order_release);
            }
        }
        TExtraLetter& letter = (*page)[static_cast<size_t>(c) & 0xFF];
        uint8_t state = letter.State.load(std::memory_order_acquire);
        if (state == 0) {
            const std::lock_guard<std::mutex> lock(resolving_);
            state = letter.State.load(std::memory_order_relaxed);
            if (state == 0) {
                state = Resolve(c, letter) ? 1 : 2;
                letter.State.store(state, std::memory_order_release);
            }
        }
        return state == 1 ? &letter : nullptr;
    }

    bool ExtraUsable = false;

    // The compact key: each plain character's place among the distinct
    // weights, from 1. When every weight has the same length, comparing two
    // keys of weights byte by byte compares them weight by weight, and so
    // does comparing their places; with weights of several lengths there
    // are no places.
    TSortCollator::TCompactBytes Rank{};
    bool HasRanks = false;

private:
    // The letters and signs the table may learn: Latin-1 and the Latin
    // extensions, spacing marks, punctuation, currency and letter-like signs
    // (names read in a single-byte code page are full of them), box drawing
    // (the OEM code pages'), and CJK ideographs. The combining marks and the
    // kana, whose weights join their neighbours', stay with the locale.
    static bool ExtraCandidate(wchar_t c)
    {
        return (c >= 0xA0 && c <= 0x2FF) || (c >= 0x2010 && c <= 0x214F) || (c >= 0x2500 && c <= 0x259F) ||
               IsIdeograph(c);
    }
    static bool IsIdeograph(wchar_t c) { return c >= 0x4E00 && c <= 0x9FFF; }

    // The sections of a key of the plain form: primary weights (whole
    // weights, no 1 among them), 1, diacritic weights, 1, 1, 1, 0; false for
    // any other.
    static bool SplitPlainForm(const std::string& key, std::string_view& primary, std::string_view& diacritic)
    {
        const size_t first = key.find('\x01');
        if (first == std::string::npos)
            return false;
        const size_t second = key.find('\x01', first + 1);
        if (second == std::string::npos ||
            std::string_view(key).substr(second) != std::string_view("\x01\x01\x01\0", 4))
            return false;
        primary = std::string_view(key).substr(0, first);
        diacritic = std::string_view(key).substr(first + 1, second - first - 1);
        return !primary.empty() && primary.size() % 2 == 0 && diacritic.find('\0') == std::string_view::npos;
    }

    // The key the table gives a text of plain and extra letters.
    std::string ModelKey(std::initializer_list<std::pair<std::string_view, std::string_view>> letters) const
    {
        std::string key, diacritics;
        for (const auto& [primary, diacritic] : letters) {
            key += primary;
            diacritics += diacritic;
        }
        while (!diacritics.empty() && diacritics.back() == '\x02')
            diacritics.pop_back();
        return key + '\x01' + diacritics + std::string("\x01\x01\x01\0", 4);
    }

    std::pair<std::string_view, std::string_view> PlainParts(wchar_t c) const
    {
        return {std::string_view(Weight[c].data(), Length[c]), std::string_view("\x02", 1)};
    }

    // Asks the locale for the keys of the letter alone, after "ä" and
    // before it, and beside the plain characters (all of them for a Latin
    // letter, where contractions are; a few for an ideograph).
    bool Resolve(wchar_t c, TExtraLetter& letter) const
    {
        std::string_view primary, trimmed;
        const std::string alone = SystemKey(locale_, std::wstring_view(&c, 1));
        if (!SplitPlainForm(alone, primary, trimmed) || primary.size() > letter.Primary.size())
            return false;
        // The untrimmed diacritic weights: those before "ä"'s last one.
        const wchar_t withProbe[2] = {c, kProbe};
        std::string_view pairPrimary, pairDiacritic;
        const std::string pair = SystemKey(locale_, std::wstring_view(withProbe, 2));
        if (!SplitPlainForm(pair, pairPrimary, pairDiacritic) || pairDiacritic.size() < probeDiacritic_.size() ||
            pairDiacritic.substr(pairDiacritic.size() - probeDiacritic_.size()) != probeDiacritic_)
            return false;
        const std::string_view diacritic = pairDiacritic.substr(0, pairDiacritic.size() - probeDiacritic_.size());
        if (diacritic.size() > letter.Diacritic.size() || pairPrimary != std::string(primary) + probePrimary_)
            return false;
        const std::pair<std::string_view, std::string_view> self{primary, diacritic};
        const std::pair<std::string_view, std::string_view> probe{probePrimary_, probeDiacritic_};
        if (ModelKey({self}) != alone)
            return false;
        const wchar_t probeFirst[2] = {kProbe, c};
        if (SystemKey(locale_, std::wstring_view(probeFirst, 2)) != ModelKey({probe, self}))
            return false;
        const wchar_t twice[2] = {c, c};
        if (SystemKey(locale_, std::wstring_view(twice, 2)) != ModelKey({self, self}))
            return false;
        const bool ideograph = IsIdeograph(c);
        for (wchar_t p = kFirstPlain; p < kEndPlain; ++p) {
            if (!Length[p] || (ideograph && p != L' ' && p != L'_' && p != L'.' && p != L'1' && p != L'a'))
                continue;
            const wchar_t before[2] = {p, c};
            const wchar_t after[2] = {c, p};
            if (SystemKey(locale_, std::wstring_view(before, 2)) != ModelKey({PlainParts(p), self}) ||
                SystemKey(locale_, std::wstring_view(after, 2)) != ModelKey({self, PlainParts(p)}))
                return false;
        }
        std::copy(primary.begin(), primary.end(), letter.Primary.begin());
        std::copy(diacritic.begin(), diacritic.end(), letter.Diacritic.begin());
        letter.PrimaryLength = static_cast<uint8_t>(primary.size());
        letter.DiacriticLength = static_cast<uint8_t>(diacritic.size());
        return true;
    }

    // "ä": a letter whose diacritic weight is not the plain one, after which
    // a letter's own diacritic weights show whole.
    static constexpr wchar_t kProbe = 0xE4;

    // Whether every plain character keys beside "ä" as the table says
    // (one plain diacritic weight each): then the extra letters can be used.
    void LearnProbe()
    {
        std::string_view primary, diacritic;
        const std::string alone = SystemKey(locale_, std::wstring_view(&kProbe, 1));
        if (!SplitPlainForm(alone, primary, diacritic) || diacritic.empty() || diacritic.back() == '\x02')
            return;
        probePrimary_ = primary;
        probeDiacritic_ = diacritic;
        const std::pair<std::string_view, std::string_view> probe{probePrimary_, probeDiacritic_};
        for (wchar_t p = kFirstPlain; p < kEndPlain; ++p) {
            if (!Length[p])
                continue;
            const wchar_t after[2] = {p, kProbe};
            if (SystemKey(locale_, std::wstring_view(after, 2)) != ModelKey({PlainParts(p), probe}))
                return;
        }
        ExtraUsable = true;
    }

    std::wstring locale_;
    std::string probePrimary_, probeDiacritic_;
    mutable std::mutex resolving_;
    mutable std::array<std::atomic<TExtraPage*>, 256> pages_{};
    mutable std::vector<std::unique_ptr<TExtraPage>> ownedPages_;

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
        if (AppendExtraKey(Text, Out))
            return;
    }
    AppendLocaleKey(Text, Out);
}

bool TLocaleCollator::AppendExtraKey(std::wstring_view Text, std::string& Out) const
{
    const size_t at = Out.size();
    std::string diacritics;
    for (const wchar_t c : Text) {
        if (c < kEndPlain && plain_->Length[c]) {
            Out.append(plain_->Weight[c].data(), plain_->Length[c]);
            diacritics += '\x02';
        } else if (const TPlainWeights::TExtraLetter* letter = plain_->Extra(c)) {
            Out.append(letter->Primary.data(), letter->PrimaryLength);
            diacritics.append(letter->Diacritic.data(), letter->DiacriticLength);
        } else {
            Out.resize(at);
            return false;
        }
    }
    while (!diacritics.empty() && diacritics.back() == '\x02')
        diacritics.pop_back();
    Out += '\x01';
    Out += diacritics;
    Out.append(kPlainTail + 1, sizeof kPlainTail - 1);
    return true;
}

bool TLocaleCollator::KeyedByTable(std::wstring_view Text) const
{
    std::string key;
    return plain_ && AppendExtraKey(Text, key);
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
