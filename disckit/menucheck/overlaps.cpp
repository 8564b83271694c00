#include "disckit/menucheck/overlaps.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::size_t None = std::numeric_limits<std::size_t>::max();

bool Overlap(const Rect& a, const Rect& b)
{
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

bool SameEdges(const Rect& a, const Rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// For each rectangle, the first of the identical ones (itself when it is
// the first): identical lines are the common way to have thousands of
// overlaps, and they need no comparing.
std::vector<std::size_t> FirstOfIdentical(const std::vector<Rect>& rects)
{
    std::vector<std::size_t> order(rects.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&rects](std::size_t a, std::size_t b) {
        const Rect& x = rects[a];
        const Rect& y = rects[b];
        if (x.left != y.left)
            return x.left < y.left;
        if (x.top != y.top)
            return x.top < y.top;
        if (x.right != y.right)
            return x.right < y.right;
        if (x.bottom != y.bottom)
            return x.bottom < y.bottom;
        return a < b;
    });
    std::vector<std::size_t> first(rects.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        const bool same = k > 0 && SameEdges(rects[order[k]], rects[order[k - 1]]);
        first[order[k]] = same ? first[order[k - 1]] : order[k];
    }
    return first;
}

struct Axis {
    std::int32_t Rect::*low;
    std::int32_t Rect::*high;
};
constexpr Axis Horizontal{&Rect::left, &Rect::right};
constexpr Axis Vertical{&Rect::top, &Rect::bottom};

// How many pairs of `distinct` overlap along one axis: all pairs but those
// where one lies wholly before the other.
std::uint64_t PairsAlong(const std::vector<Rect>& rects, const std::vector<std::size_t>& distinct, Axis axis)
{
    std::vector<std::int32_t> highs;
    highs.reserve(distinct.size());
    for (std::size_t i : distinct)
        highs.push_back(rects[i].*axis.high);
    std::sort(highs.begin(), highs.end());
    const std::uint64_t n = distinct.size();
    std::uint64_t apart = 0;
    for (std::size_t i : distinct)
        apart += static_cast<std::uint64_t>(std::upper_bound(highs.begin(), highs.end(), rects[i].*axis.low) -
                                            highs.begin());
    return n * (n - 1) / 2 - apart;
}

// The first earlier distinct rectangle each distinct one overlaps: a sweep
// along `axis` compares only the pairs that overlap along it.
std::vector<std::size_t> SweepFirstEarlier(const std::vector<Rect>& rects, std::vector<std::size_t> distinct, Axis axis)
{
    std::vector<std::size_t> firstEarlier(rects.size(), None);
    std::sort(distinct.begin(), distinct.end(), [&](std::size_t a, std::size_t b) {
        return std::make_pair(rects[a].*axis.low, a) < std::make_pair(rects[b].*axis.low, b);
    });
    std::vector<std::size_t> active;
    for (std::size_t k : distinct) {
        for (std::size_t j = 0; j < active.size();) {
            const std::size_t a = active[j];
            if (rects[a].*axis.high <= rects[k].*axis.low) {
                active[j] = active.back();
                active.pop_back();
                continue;
            }
            if (Overlap(rects[a], rects[k])) {
                const std::size_t later = std::max(a, k);
                firstEarlier[later] = std::min(firstEarlier[later], std::min(a, k));
            }
            ++j;
        }
        active.push_back(k);
    }
    return firstEarlier;
}

// Adds rectangle `i` with the first earlier one it overlaps, if any; false
// once a finding beyond the limit has been seen.
bool Note(OverlapSearch& search, std::size_t i, std::size_t earlier, std::size_t limit)
{
    if (earlier == None)
        return true;
    if (search.found.size() == limit) {
        search.more = true;
        return false;
    }
    search.found.emplace_back(i, earlier);
    return true;
}

}  // namespace

OverlapSearch FindOverlaps(const std::vector<Rect>& rects, std::size_t limit, std::uint64_t workBound)
{
    OverlapSearch search;
    const std::vector<std::size_t> firstOf = FirstOfIdentical(rects);
    std::vector<std::size_t> distinct;
    for (std::size_t i = 0; i < rects.size(); ++i) {
        if (firstOf[i] == i)
            distinct.push_back(i);
    }
    // The earliest rectangle over a copy is the earliest over its original,
    // else the original itself.
    const auto firstOverCopy = [&](const std::vector<std::size_t>& firstEarlier, std::size_t i) {
        const std::size_t original = firstOf[i];
        return original == i || firstEarlier[original] != None ? firstEarlier[original] : original;
    };

    const std::uint64_t across = PairsAlong(rects, distinct, Horizontal);
    const std::uint64_t down = PairsAlong(rects, distinct, Vertical);
    if (std::min(across, down) <= workBound) {
        const std::vector<std::size_t> firstEarlier =
            SweepFirstEarlier(rects, distinct, across <= down ? Horizontal : Vertical);
        for (std::size_t i = 0; i < rects.size(); ++i) {
            if (!Note(search, i, firstOverCopy(firstEarlier, i), limit))
                break;
        }
        return search;
    }

    // Most pairs overlap along both axes: in line order, each rectangle is
    // compared with the earlier ones until the first that it overlaps, and
    // the search ends with the first finding beyond the limit.
    std::vector<std::size_t> firstEarlier(rects.size(), None);
    std::vector<std::size_t> earlierDistinct;
    std::uint64_t work = 0;
    for (std::size_t i = 0; i < rects.size(); ++i) {
        if (firstOf[i] == i) {
            for (std::size_t e : earlierDistinct) {
                if (++work > workBound) {
                    search.complete = false;
                    search.stoppedAt = i;
                    return search;
                }
                if (Overlap(rects[e], rects[i])) {
                    firstEarlier[i] = e;
                    break;
                }
            }
            earlierDistinct.push_back(i);
        }
        if (!Note(search, i, firstOverCopy(firstEarlier, i), limit))
            break;
    }
    return search;
}
