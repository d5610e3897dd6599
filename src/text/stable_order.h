// A stable sort shared by every list of the product. Each std::stable_sort instantiation
// brings its own merge, rotate and buffer code (about three kilobytes in the installer);
// here one index merge sort does the work and a small per-type wrapper moves the items.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace vuni {

// Whether item `a` must come before item `b`; `items` is the caller's context.
using IndexLess = bool (*)(const void* items, size_t a, size_t b);

// The indices 0..count-1 in sorted order; items that compare equal keep their order.
std::vector<size_t> StableOrder(size_t count, const void* items, IndexLess less);

// Sorts `list` stably by `less`, as std::stable_sort does.
template <class T, class Less> void StableSort(std::vector<T>& list, Less less) {
    struct Context {
        const std::vector<T>* list;
        Less* less;
    };
    const Context ctx{&list, &less};
    const std::vector<size_t> order =
        StableOrder(list.size(), &ctx, [](const void* p, size_t a, size_t b) {
            const Context& c = *static_cast<const Context*>(p);
            return static_cast<bool>((*c.less)((*c.list)[a], (*c.list)[b]));
        });
    std::vector<T> sorted;
    sorted.reserve(list.size());
    for (size_t i : order) {
        sorted.push_back(std::move(list[i]));
    }
    list.swap(sorted);
}

} // namespace vuni
