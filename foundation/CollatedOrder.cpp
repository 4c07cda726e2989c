#include "foundation/CollatedOrder.h"

#include <QCollator>

#include <algorithm>
#include <bitset>
#include <cstring>
#include <functional>
#include <memory>
#include <numeric>

namespace {

constexpr size_t kUnits = 0x10000;  // UTF-16 code units

// Where two runs of n units first differ (n when they do not), four units at
// a time: the texts sorted side by side share long beginnings (their folders).
qsizetype firstDifference(const QChar* a, const QChar* b, qsizetype n) {
    qsizetype i = 0;
    for (; i + 4 <= n; i += 4) {
        quint64 wa;
        quint64 wb;
        std::memcpy(&wa, a + i, sizeof wa);
        std::memcpy(&wb, b + i, sizeof wb);
        if (wa != wb) break;
    }
    while (i < n && a[i] == b[i]) ++i;
    return i;
}

// For each UTF-16 unit of the texts, where the collator puts it on its own:
// the high half counts the groups of units that differ only in accents
// (e and é), the low half the units that differ at all to the collator (a
// and A do not, to one that ignores case). Comparing texts by the first half
// of their units, then by the second, is the collator's order for texts
// whose characters it reads one by one.
class UnitWeights {
public:
    UnitWeights(int count, const std::function<QStringView(int)>& textOf, const QCollator& collator)
        : m_weights(new quint32[kUnits]) {
        auto seen = std::make_unique<std::bitset<kUnits>>();
        for (int i = 0; i < count; ++i)
            for (const QChar c : textOf(i)) seen->set(c.unicode());
        std::vector<char16_t> units;
        for (size_t u = 0; u < kUnits; ++u)
            if (seen->test(u)) units.push_back(char16_t(u));
        const auto one = [](const char16_t& u) { return QStringView(&u, 1); };
        std::stable_sort(units.begin(), units.end(),
                         [&](char16_t a, char16_t b) { return collator.compare(one(a), one(b)) < 0; });
        quint32 group = 0;
        quint32 rank = 0;
        for (size_t i = 0; i < units.size(); ++i) {
            if (i > 0 && collator.compare(one(units[i - 1]), one(units[i])) != 0) {
                ++rank;
                // Two units of one group sort by what follows them.
                const char16_t before[] = {units[i - 1], u'9'};
                const char16_t after[] = {units[i], u'0'};
                if (collator.compare(QStringView(before, 2), QStringView(after, 2)) <= 0) ++group;
            }
            m_weights[units[i]] = group << 16 | rank;
        }
    }

    // Below 0 when a sorts before b, 0 when they sort together.
    int compare(QStringView a, QStringView b) const {
        const qsizetype common = std::min(a.size(), b.size());
        const qsizetype from = firstDifference(a.data(), b.data(), common);
        for (qsizetype i = from; i < common; ++i) {
            const quint32 wa = m_weights[a[i].unicode()] >> 16;
            const quint32 wb = m_weights[b[i].unicode()] >> 16;
            if (wa != wb) return wa < wb ? -1 : 1;
        }
        if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
        for (qsizetype i = from; i < common; ++i) {
            const quint32 wa = m_weights[a[i].unicode()] & 0xffff;
            const quint32 wb = m_weights[b[i].unicode()] & 0xffff;
            if (wa != wb) return wa < wb ? -1 : 1;
        }
        return 0;
    }

private:
    std::unique_ptr<quint32[]> m_weights;
};

}  // namespace

std::vector<int> CollatedOrder(int count, const std::function<QStringView(int)>& textOf, const QCollator& collator,
                               bool descending) {
    std::vector<int> order(size_t(std::max(count, 0)));
    std::iota(order.begin(), order.end(), 0);
    if (count < 2) return order;
    // Equal texts go by their index, which makes the order a strict one:
    // a plain sort gives what a stable one would, and faster.
    const auto before = [&](const auto& compare) {
        return [&, compare](int a, int b) {
            const int c = compare(textOf(a), textOf(b));
            return (descending ? c > 0 : c < 0) || (c == 0 && a < b);
        };
    };
    {
        const UnitWeights weights(count, textOf, collator);
        std::sort(order.begin(), order.end(),
                  before([&](QStringView a, QStringView b) { return weights.compare(a, b); }));
    }
    // The order is the collator's when every neighbour is. Where a
    // neighbour is not, a run of texts in the collator's order ends; the runs
    // are merged through the collator, two by two. Few runs, few rounds.
    const auto collated = before([&](QStringView a, QStringView b) { return collator.compare(a, b); });
    std::vector<int> runStarts{0};
    for (int i = 0; i + 1 < count; ++i)
        if (!collated(order[size_t(i)], order[size_t(i + 1)])) runStarts.push_back(i + 1);
    runStarts.push_back(count);
    while (runStarts.size() > 2) {
        const size_t runs = runStarts.size() - 1;
        std::vector<int> merged{0};
        size_t r = 0;
        for (; r + 2 <= runs; r += 2) {
            const auto at = [&](size_t k) { return order.begin() + runStarts[k]; };
            std::inplace_merge(at(r), at(r + 1), at(r + 2), collated);
            merged.push_back(runStarts[r + 2]);
        }
        if (r < runs) merged.push_back(count);
        runStarts.swap(merged);
    }
    return order;
}
