#include "engine/arrays.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Item {
    int id;
};

std::vector<int> destroyed;

struct RecordDestroy {
    void operator()(Item* p) const {
        destroyed.push_back(p->id);
        delete p;
    }
};

using ItemArray = CPointerArray<Item, RecordDestroy>;

TEST(PointerArray, ZeroFilledIsEmpty) {
    ItemArray a;
    std::memset(static_cast<void*>(&a), 0, sizeof a);
    EXPECT_EQ(a.count, 0u);
    a.RemoveAt(0);
    a.DeleteAll();
    EXPECT_EQ(a.capacity, 0u);
    EXPECT_EQ(a.items, nullptr);
}

TEST(PointerArray, CapacityGrowsByTheRule) {
    const uint32_t expected[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 12,  14, 16,
                                 19, 22, 26, 31, 37, 44, 52, 62, 74, 88, 105, 126};
    CPointerArray<Item, NeverDelete<Item>> a;
    Item item{0};
    std::vector<uint32_t> seen;
    while (a.count < 126) {
        uint32_t before = a.capacity;
        uint32_t index = a.Add(&item);
        EXPECT_EQ(index, a.count - 1);
        if (a.capacity != before) {
            seen.push_back(a.capacity);
        }
    }
    EXPECT_EQ(seen, std::vector<uint32_t>(std::begin(expected), std::end(expected)));
    a.FreeStorage();
}

TEST(PointerArray, FirstAppendTakesOneEntryFromThePool) {
    CPoolManager* m = GetPoolManager();
    int32_t before = m->ClassFor(sizeof(void*)).inUse;
    CPointerArray<Item, NeverDelete<Item>> a;
    Item item{0};
    a.Add(&item);
    EXPECT_EQ(a.capacity, 1u);
    EXPECT_EQ(m->ClassFor(sizeof(void*)).inUse, before + 1);
    a.FreeStorage();
    EXPECT_EQ(m->ClassFor(sizeof(void*)).inUse, before);
}

TEST(PointerArray, GrowthKeepsEntries) {
    CPointerArray<Item, NeverDelete<Item>> a;
    Item items[30];
    for (int i = 0; i < 30; ++i) {
        items[i].id = i;
        a.Add(&items[i]);
    }
    for (uint32_t i = 0; i < a.count; ++i) {
        EXPECT_EQ(a[i], &items[i]);
    }
    EXPECT_EQ(a.IndexOf(&items[17]), 17);
    Item other{99};
    EXPECT_EQ(a.IndexOf(&other), -1);
    a.FreeStorage();
}

TEST(PointerArray, RemoveAt) {
    Item x{1}, y{2}, z{3};
    struct Case {
        uint32_t index;
        std::vector<Item*> after;
    };
    const Case cases[] = {
        {0, {&y, &z}}, {1, {&x, &z}}, {2, {&x, &y}}, {3, {&x, &y, &z}}, {100, {&x, &y, &z}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        CPointerArray<Item, NeverDelete<Item>> a;
        a.Add(&x);
        a.Add(&y);
        a.Add(&z);
        a.RemoveAt(c.index);
        ASSERT_EQ(a.count, c.after.size());
        for (uint32_t i = 0; i < a.count; ++i) {
            EXPECT_EQ(a[i], c.after[i]);
        }
        EXPECT_EQ(a.capacity, 3u);
        a.FreeStorage();
    }
}

TEST(PointerArray, DeleteAllDestroysFromTheLast) {
    destroyed.clear();
    ItemArray a;
    for (int i = 0; i < 4; ++i) {
        a.Add(new Item{i});
    }
    a.Add(nullptr);
    a.DeleteAll();
    EXPECT_EQ(destroyed, (std::vector<int>{3, 2, 1, 0}));
    EXPECT_EQ(a.count, 0u);
    EXPECT_EQ(a.capacity, 0u);
    EXPECT_EQ(a.items, nullptr);
}

TEST(PointerArray, DeleteAtDestroysOneAndCloses) {
    destroyed.clear();
    ItemArray a;
    for (int i = 0; i < 3; ++i) {
        a.Add(new Item{i});
    }
    a.DeleteAt(1);
    EXPECT_EQ(destroyed, std::vector<int>{1});
    ASSERT_EQ(a.count, 2u);
    EXPECT_EQ(a[1]->id, 2);
    a.DeleteAt(5);
    EXPECT_EQ(a.count, 2u);
    a.DeleteAll();
}

TEST(ValueArray, AddAddNewAndRemoveAll) {
    struct Record {
        int a, b;
    };
    CValueArray<Record> v;
    EXPECT_EQ(v.Add({1, 2}), 0u);
    EXPECT_EQ(v.Add({3, 4}), 1u);
    Record* r = v.AddNew();
    r->a = 5;
    r->b = 6;
    ASSERT_EQ(v.GetCount(), 3u);
    EXPECT_EQ(v[1].a, 3);
    EXPECT_EQ(v[2].b, 6);
    EXPECT_EQ(v.GetCapacity(), 3u);
    for (int i = 0; i < 8; ++i) {
        v.Add({i, i});
    }
    EXPECT_EQ(v.GetCapacity(), 12u);
    EXPECT_EQ(v[0].b, 2);
    v.RemoveAll();
    EXPECT_EQ(v.GetCount(), 0u);
    EXPECT_EQ(v.GetCapacity(), 12u);
}

#ifndef _WIN32
TEST(PointerArrayDeathTest, ImpossibleCapacityEndsThroughTheFatalBox) {
    CPointerArray<Item, NeverDelete<Item>> a;
    EXPECT_EXIT(a.SetCapacity(UINT32_MAX), testing::ExitedWithCode(255), "Out of memory");
}
#endif

} // namespace
