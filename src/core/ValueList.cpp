#include "core/ValueList.h"

#include "core/Cp1252.h"
#include "core/RecordIdentity.h"
#include "core/ValueListImpl.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <unicode/ucol.h>
#include <unordered_map>

namespace {

struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// One collator for the process: the default locale's, comparing at secondary
// strength (letter case ignored, accents significant). Some locales (the
// POSIX one behind LANG=C) order the letters by case at the primary level; for
// them the root collation is used, so that "c++" still finds "C++".
class Collator {
public:
    Collator() {
        coll_ = open(nullptr);
        if (!coll_ || !ignoresCase()) {
            if (coll_)
                ucol_close(coll_);
            coll_ = open("");
        }
        if (!coll_)
            throw std::runtime_error("ICU-Sortierung nicht verfügbar");
    }
    ~Collator() { ucol_close(coll_); }
    Collator(const Collator&) = delete;
    Collator& operator=(const Collator&) = delete;

    [[nodiscard]] std::string SortKey(std::string_view bytes) const {
        const std::u16string text = cp1252::ToUtf16(bytes);
        uint8_t buffer[256];
        const auto length = static_cast<int32_t>(text.size());
        int32_t size = ucol_getSortKey(coll_, text.data(), length, buffer, sizeof buffer);
        if (size <= static_cast<int32_t>(sizeof buffer))
            return std::string(reinterpret_cast<const char*>(buffer),
                               static_cast<std::size_t>(size));
        std::string key(static_cast<std::size_t>(size), '\0');
        size = ucol_getSortKey(coll_, text.data(), length, reinterpret_cast<uint8_t*>(key.data()),
                               size);
        key.resize(static_cast<std::size_t>(size));
        return key;
    }

private:
    static UCollator* open(const char* locale) {
        UErrorCode status = U_ZERO_ERROR;
        UCollator* coll = ucol_open(locale, &status);
        if (U_FAILURE(status)) {
            if (coll)
                ucol_close(coll);
            return nullptr;
        }
        ucol_setStrength(coll, UCOL_SECONDARY);
        return coll;
    }

    [[nodiscard]] bool ignoresCase() const {
        static constexpr UChar lower[] = {u'a', u'z'};
        static constexpr UChar upper[] = {u'A', u'Z'};
        return ucol_strcoll(coll_, lower, 2, upper, 2) == UCOL_EQUAL;
    }

    UCollator* coll_ = nullptr;
};

const Collator& TheCollator() {
    static const Collator collator;
    return collator;
}

} // namespace

// The exact spellings once more, in a flat open-addressing table: the loader
// looks up three per entry. A slot is one cache line holding the hash, the
// length and, for all but long spellings, the bytes themselves, so that a hit
// reads nothing but its slot. Inserts and removals go in at once; a table
// that grows past half full is rebuilt larger at the next lookup.
class SpellingTable {
public:
    [[nodiscard]] bool Valid() const { return valid_; }

    template <typename Map> void Rebuild(const Map& spellings) {
        std::size_t capacity = 64;
        while (capacity < spellings.size() * 2 + 2)
            capacity *= 2;
        slots_.assign(capacity, Slot{});
        size_ = 0;
        valid_ = true; // before the inserts, which skip a stale table
        for (const auto& entry : spellings)
            Insert(entry.second.get());
    }

    void Insert(TSpelling* spelling) {
        if (!valid_)
            return;
        if ((size_ + 1) * 2 > slots_.size()) {
            valid_ = false; // rebuilt larger at the next lookup
            return;
        }
        const std::string_view text = spelling->text;
        const std::uint64_t hash = Hash(text);
        std::size_t i = hash & (slots_.size() - 1);
        while (slots_[i].spelling)
            i = (i + 1) & (slots_.size() - 1);
        Slot& slot = slots_[i];
        slot.hash = hash;
        slot.spelling = spelling;
        slot.size = static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), UINT32_MAX));
        if (text.size() <= kInline)
            std::memcpy(slot.text, text.data(), text.size());
        ++size_;
    }

    // Removes exactly this spelling; backward-shift deletion keeps every
    // probe run whole without tombstones.
    void Erase(const TSpelling* spelling) {
        if (!valid_)
            return;
        const std::size_t mask = slots_.size() - 1;
        std::size_t gap = Hash(spelling->text) & mask;
        while (slots_[gap].spelling && slots_[gap].spelling != spelling)
            gap = (gap + 1) & mask;
        if (!slots_[gap].spelling)
            return;
        for (std::size_t j = (gap + 1) & mask; slots_[j].spelling; j = (j + 1) & mask) {
            const std::size_t home = slots_[j].hash & mask;
            // The slot at j may move to the gap when its home is not in (gap, j].
            if (gap <= j ? (home <= gap || home > j) : (home <= gap && home > j)) {
                slots_[gap] = slots_[j];
                gap = j;
            }
        }
        slots_[gap] = Slot{};
        --size_;
    }

    [[nodiscard]] TSpelling* Find(std::string_view text) const {
        const std::uint64_t hash = Hash(text);
        for (std::size_t i = hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
            const Slot& slot = slots_[i];
            if (!slot.spelling)
                return nullptr;
            if (slot.hash != hash || slot.size != text.size())
                continue;
            if (text.size() <= kInline ? std::string_view(slot.text, text.size()) == text
                                       : slot.spelling->text == text)
                return slot.spelling;
        }
    }

private:
    static constexpr std::size_t kInline = 44;
    struct alignas(64) Slot {
        std::uint64_t hash = 0;
        TSpelling* spelling = nullptr;
        std::uint32_t size = 0;
        char text[kInline];
    };
    static_assert(sizeof(Slot) == 64);

    static std::uint64_t Load64(const char* p) {
        std::uint64_t v = 0;
        std::memcpy(&v, p, 8);
        return v;
    }
    static std::uint64_t Load32(const char* p) {
        std::uint32_t v = 0;
        std::memcpy(&v, p, 4);
        return v;
    }

    // Eight bytes at a time, the last eight overlapping the others; the
    // length seeds it.
    static std::uint64_t Hash(std::string_view text) {
        const char* p = text.data();
        const std::size_t n = text.size();
        std::uint64_t h = 0x9E3779B97F4A7C15ull ^ n;
        std::uint64_t last = 0;
        if (n >= 8) {
            for (std::size_t i = 0; i + 8 < n; i += 8) {
                h = (h ^ Load64(p + i)) * 0xFF51AFD7ED558CCDull;
                h ^= h >> 32;
            }
            last = Load64(p + n - 8);
        } else if (n >= 4) {
            last = Load32(p) | Load32(p + n - 4) << 32;
        } else if (n > 0) {
            last = static_cast<unsigned char>(p[0]) |
                   static_cast<std::uint64_t>(static_cast<unsigned char>(p[n / 2])) << 8 |
                   static_cast<std::uint64_t>(static_cast<unsigned char>(p[n - 1])) << 16;
        }
        h = (h ^ last) * 0xC4CEB9FE1A85EC53ull;
        h ^= h >> 29;
        return h;
    }

    std::vector<Slot> slots_;
    std::size_t size_ = 0;
    bool valid_ = false;
};

struct TValueList::Impl {
    std::map<std::string, std::unique_ptr<Node>> byKey;
    // Exact spellings seen before, so that most lookups skip the collator;
    // entries refer to them. A key views the text of its own spelling.
    std::unordered_map<std::string_view, std::unique_ptr<TSpelling>, TextHash, std::equal_to<>>
        bySpelling;
    mutable SpellingTable flat;
    // Nodes in list order, rebuilt on demand after inserts and removals.
    mutable std::vector<Node*> order;
    mutable bool orderValid = true;
    // The values of the last resetTo, and whether no value was inserted or
    // removed since: then they are still the whole list.
    std::span<const char* const> resetValues;
    bool unchangedSinceReset = false;

    const std::vector<Node*>& Order() const {
        if (!orderValid) {
            order.clear();
            order.reserve(byKey.size());
            for (const auto& entry : byKey)
                order.push_back(entry.second.get());
            orderValid = true;
        }
        return order;
    }

    TSpelling* Remember(std::string_view spelling, Node* node) {
        if (const auto hit = bySpelling.find(spelling); hit != bySpelling.end())
            return hit->second.get();
        auto kept = std::make_unique<TSpelling>();
        kept->text = std::string(spelling);
        kept->node = node;
        kept->foldedHash = identity::FoldedHash(spelling);
        node->spellings.reserve(node->spellings.size() + 1);
        TSpelling* added = kept.get();
        bySpelling.emplace(std::string_view(added->text), std::move(kept));
        node->spellings.push_back(added);
        flat.Insert(added);
        return added;
    }
};

TValueList::TValueList() : d_(std::make_unique<Impl>()) {
    (void)TheCollator();
}

TValueList::~TValueList() = default;

int TValueList::Count() const {
    return static_cast<int>(d_->byKey.size());
}

const std::string& TValueList::Value(int index) const {
    return d_->Order().at(static_cast<std::size_t>(index))->value;
}

TFilter& TValueList::Filter(int index) {
    return d_->Order().at(static_cast<std::size_t>(index))->filter;
}

const TFilter& TValueList::Filter(int index) const {
    return d_->Order().at(static_cast<std::size_t>(index))->filter;
}

int TValueList::UseCount(int index) const {
    return static_cast<int>(d_->Order().at(static_cast<std::size_t>(index))->uses);
}

int TValueList::IndexOf(std::string_view value) const {
    const Node* node = find(value);
    if (!node)
        return -1;
    const auto& order = d_->Order();
    const auto it = std::lower_bound(order.begin(), order.end(), node,
                                     [](const Node* a, const Node* b) { return a->key < b->key; });
    return static_cast<int>(it - order.begin());
}

TValueList::Node* TValueList::find(std::string_view value) const {
    if (const auto hit = d_->bySpelling.find(value); hit != d_->bySpelling.end())
        return hit->second->node;
    const auto it = d_->byKey.find(TheCollator().SortKey(value));
    if (it == d_->byKey.end())
        return nullptr;
    d_->Remember(value, it->second.get());
    return it->second.get();
}

const TSpelling* TValueList::findSpelling(std::string_view exact) const {
    if (!d_->flat.Valid())
        d_->flat.Rebuild(d_->bySpelling);
    return d_->flat.Find(exact);
}

const TSpelling* TValueList::intern(std::string_view value) {
    if (const auto hit = d_->bySpelling.find(value); hit != d_->bySpelling.end())
        return hit->second.get();
    Node* node = findOrInsert(value);
    return d_->Remember(value, node);
}

TValueList::Node* TValueList::findOrInsert(std::string_view value) {
    if (const auto hit = d_->bySpelling.find(value); hit != d_->bySpelling.end())
        return hit->second->node;
    std::string key = TheCollator().SortKey(value);
    auto it = d_->byKey.find(key);
    if (it == d_->byKey.end()) {
        auto node = std::make_unique<Node>();
        node->value = std::string(value);
        node->key = key;
        it = d_->byKey.emplace(std::move(key), std::move(node)).first;
        d_->orderValid = false;
        d_->unchangedSinceReset = false;
    }
    d_->Remember(value, it->second.get());
    return it->second.get();
}

bool TValueList::Add(std::string_view value) {
    const int before = Count();
    findOrInsert(value);
    return Count() != before;
}

void TValueList::remove(Node* node) {
    for (const TSpelling* spelling : node->spellings) {
        d_->flat.Erase(spelling);
        if (const auto hit = d_->bySpelling.find(spelling->text); hit != d_->bySpelling.end())
            d_->bySpelling.erase(hit);
    }
    d_->orderValid = false;
    d_->unchangedSinceReset = false;
    const auto it = d_->byKey.find(node->key);
    if (it != d_->byKey.end() && it->second.get() == node)
        d_->byKey.erase(it); // releases the node
}

void TValueList::Delete(int index) {
    Node* node = d_->Order().at(static_cast<std::size_t>(index));
    if (node->uses == 0)
        remove(node);
}

void TValueList::Clear() {
    std::vector<Node*> unused;
    for (const auto& entry : d_->byKey)
        if (entry.second->uses == 0)
            unused.push_back(entry.second.get());
    for (Node* node : unused)
        remove(node);
}

void TValueList::resetTo(std::span<const char* const> values) {
    if (d_->unchangedSinceReset && d_->resetValues.data() == values.data() &&
        d_->resetValues.size() == values.size()) {
        for (const auto& entry : d_->byKey) {
            entry.second->filter = TFilter();
            entry.second->uses = 0;
        }
        return;
    }
    // The nodes that already hold one of the values in that spelling stay.
    std::vector<Node*> kept;
    kept.reserve(values.size());
    for (const char* value : values) {
        const auto hit = d_->bySpelling.find(std::string_view(value));
        if (hit != d_->bySpelling.end() && hit->second->node->value == value)
            kept.push_back(hit->second->node);
    }
    if (kept.size() != d_->byKey.size()) {
        std::sort(kept.begin(), kept.end());
        std::vector<Node*> others;
        for (const auto& entry : d_->byKey)
            if (!std::binary_search(kept.begin(), kept.end(), entry.second.get()))
                others.push_back(entry.second.get());
        for (Node* node : others)
            remove(node);
    }
    for (Node* node : kept) {
        node->filter = TFilter();
        node->uses = 0;
    }
    if (kept.size() != values.size())
        for (const char* value : values)
            findOrInsert(value);
    d_->resetValues = values;
    d_->unchangedSinceReset = true;
}
