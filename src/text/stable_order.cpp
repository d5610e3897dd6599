#include "text/stable_order.h"

namespace vuni {

std::vector<size_t> StableOrder(size_t count, const void* items, IndexLess less) {
    std::vector<size_t> order(count);
    for (size_t i = 0; i < count; ++i) {
        order[i] = i;
    }
    // Bottom-up merge sort: runs of `width` are merged in pairs. On a tie the left run's
    // item goes first, which keeps equal items in their original order.
    std::vector<size_t> merged(count);
    for (size_t width = 1; width < count; width *= 2) {
        for (size_t start = 0; start < count; start += 2 * width) {
            const size_t middle = start + width < count ? start + width : count;
            const size_t end = middle + width < count ? middle + width : count;
            size_t left = start;
            size_t right = middle;
            for (size_t out = start; out < end; ++out) {
                if (left < middle && (right >= end || !less(items, order[right], order[left]))) {
                    merged[out] = order[left++];
                } else {
                    merged[out] = order[right++];
                }
            }
        }
        order.swap(merged);
    }
    return order;
}

} // namespace vuni
