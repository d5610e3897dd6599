#include "text/stable_order.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vuni {
namespace {

struct Item {
    int key;
    int position; // the place in the input, to see that equal keys keep their order
};

// Lists of every small length and a few long ones, with many equal keys, give the same
// order as std::stable_sort.
TEST(StableOrder, SameOrderAsTheLibraryStableSort) {
    unsigned seed = 12345;
    for (size_t size : {0u, 1u, 2u, 3u, 4u, 5u, 7u, 8u, 9u, 16u, 17u, 31u, 100u, 1000u}) {
        for (int keys : {1, 3, 50}) {
            std::vector<Item> list;
            for (size_t i = 0; i < size; ++i) {
                seed = seed * 1103515245u + 12345u;
                list.push_back({static_cast<int>((seed >> 16) % static_cast<unsigned>(keys)),
                                static_cast<int>(i)});
            }
            std::vector<Item> expected = list;
            const auto byKey = [](const Item& a, const Item& b) { return a.key < b.key; };
            std::stable_sort(expected.begin(), expected.end(), byKey);
            StableSort(list, byKey);
            ASSERT_EQ(list.size(), expected.size());
            for (size_t i = 0; i < list.size(); ++i) {
                EXPECT_EQ(list[i].key, expected[i].key) << size << " items, at " << i;
                EXPECT_EQ(list[i].position, expected[i].position) << size << " items, at " << i;
            }
        }
    }
}

TEST(StableOrder, DescendingOrderAndMoveOnlyItems) {
    std::vector<std::unique_ptr<std::string>> list;
    for (const char* s : {"b", "a", "c", "a", "b"}) {
        list.push_back(std::make_unique<std::string>(s));
    }
    const std::string* firstA = list[1].get();
    StableSort(list, [](const auto& a, const auto& b) { return *a > *b; });
    std::string joined;
    for (const auto& p : list) {
        joined += *p;
    }
    EXPECT_EQ(joined, "cbbaa");
    EXPECT_EQ(list[3].get(), firstA);
}

TEST(StableOrder, IndicesOfASortedListAreUnchanged) {
    const int values[] = {1, 1, 2, 3, 3, 3};
    const auto less = [](const void* p, size_t a, size_t b) {
        return static_cast<const int*>(p)[a] < static_cast<const int*>(p)[b];
    };
    EXPECT_EQ(StableOrder(6, values, less), (std::vector<size_t>{0, 1, 2, 3, 4, 5}));
    const int reversed[] = {3, 2, 2, 1};
    EXPECT_EQ(StableOrder(4, reversed, less), (std::vector<size_t>{3, 1, 2, 0}));
}

} // namespace
} // namespace vuni
