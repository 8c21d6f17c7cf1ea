#pragma once

// The sort that keeps a worksheet's rows in order of their Start, shared by
// the worksheet's commands and the grid's sorter, so that both give equal
// keys the same order.

#include <algorithm>
#include <QChar>
#include <QStringView>
#include <vector>

template<typename Key> struct SortEntry
{
    int index; // the row (column) the key belongs to
    Key key;
};

// The quicksort with the middle element as pivot, and for text ranges of at
// most five entries a bubble sort instead, which keeps equal keys in order.
// Equal keys end up in the order this very sort gives them, so a library sort
// must not replace it.
template<typename Key, typename Less> class EntrySorter
{
public:
    EntrySorter(std::vector<SortEntry<Key>> &entries, Less less, bool bubbleSortSmallRanges)
        : m_entries(entries)
        , m_less(less)
        , m_bubbleSortSmallRanges(bubbleSortSmallRanges)
    { }

    void quickSort(int lo, int hi)
    {
        // The two parts left after a partition do not overlap, so sorting the
        // smaller one first and then the larger gives the same result as
        // sorting them in order, while the recursion stays log2(n) deep.
        for (;;) {
            if (m_bubbleSortSmallRanges && hi - lo < 5) {
                bubbleSort(lo, hi);
                return;
            }
            if (lo >= hi)
                return;
            int i = lo;
            int j = hi;
            const Key pivot = m_entries[(lo + hi) / 2].key;
            while (i <= j) {
                while (m_less(m_entries[i].key, pivot))
                    ++i;
                while (m_less(pivot, m_entries[j].key))
                    --j;
                if (i <= j)
                    std::swap(m_entries[i++], m_entries[j--]);
            }
            if (j - lo < hi - i) {
                quickSort(lo, j);
                lo = i;
            } else {
                quickSort(i, hi);
                hi = j;
            }
        }
    }

private:
    void bubbleSort(int lo, int hi)
    {
        for (bool swapped = true; swapped;) {
            swapped = false;
            for (int i = lo; i < hi; ++i) {
                if (m_less(m_entries[i + 1].key, m_entries[i].key)) {
                    std::swap(m_entries[i], m_entries[i + 1]);
                    swapped = true;
                }
            }
        }
    }

    std::vector<SortEntry<Key>> &m_entries;
    Less m_less;
    bool m_bubbleSortSmallRanges;
};

// The indices of entries, sorted by their keys.
template<typename Key, typename Less>
std::vector<int> sortedIndices(std::vector<SortEntry<Key>> entries, Less less, bool bubbleSortSmallRanges)
{
    EntrySorter<Key, Less>(entries, less, bubbleSortSmallRanges).quickSort(0, int(entries.size()) - 1);
    std::vector<int> order;
    order.reserve(entries.size());
    for (const SortEntry<Key> &entry : entries)
        order.push_back(entry.index);
    return order;
}

// Texts compare by their UTF-16 code units, a prefix before the longer text.
// Without case sensitivity only a-z count as A-Z; other letters keep their case.
struct TextLess
{
    bool caseSensitive;

    char16_t unit(QChar c) const
    {
        const char16_t u = c.unicode();
        return !caseSensitive && u >= u'a' && u <= u'z' ? char16_t(u - u'a' + u'A') : u;
    }

    bool operator()(QStringView a, QStringView b) const
    {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(), [this](QChar x, QChar y) { return unit(x) < unit(y); });
    }
};
