// Growable arrays. Both grow to the larger of the count needed and 1.2 times
// the old capacity, so small arrays grow one entry at a time.
#pragma once

#include "engine/fatal.h"
#include "engine/pool.h"

#include <cstdint>
#include <cstring>
#include <new>

// The capacity that the 1.2 growth rule gives for at least n entries.
uint32_t GrownCapacity(uint32_t capacity, uint32_t n);

// How a pointer array destroys an element: plain heap objects by default.
template <typename T> struct DeleteWithDelete {
    void operator()(T* p) const { delete p; }
};

// Elements that the array never owns (window handles and the like).
template <typename T> struct NeverDelete {
    void operator()(T*) const {}
};

// A growable array of pointers with storage from the memory pool. A
// zero-filled array is a valid empty one; it owns its storage, not what the
// entries point to.
template <typename T, typename Destroy = DeleteWithDelete<T>> struct CPointerArray {
    T** items = nullptr;
    uint32_t count = 0;
    uint32_t capacity = 0;

    // Appends p and returns its index.
    uint32_t Add(T* p) {
        EnsureCapacity(count + 1);
        items[count] = p;
        return count++;
    }

    void EnsureCapacity(uint32_t n) {
        if (capacity >= n) {
            return;
        }
        SetCapacity(GrownCapacity(capacity, n));
    }

    void SetCapacity(uint32_t n) {
        if (capacity >= n) {
            return;
        }
        // A byte size that does not fit is as hopeless as a heap that is empty.
        FatalCheck(n <= UINT32_MAX / sizeof(T*), kOutOfMemoryText);
        auto** storage = static_cast<T**>(PoolAlloc(size_t(n) * sizeof(T*)));
        if (count != 0) {
            std::memcpy(storage, items, size_t(count) * sizeof(T*));
        }
        if (items != nullptr) {
            PoolFree(items, size_t(capacity) * sizeof(T*));
        }
        items = storage;
        capacity = n;
    }

    void RemoveAt(uint32_t i) {
        if (i >= count) {
            return;
        }
        std::memmove(items + i, items + i + 1, size_t(count - i - 1) * sizeof(T*));
        --count;
    }

    void DeleteAt(uint32_t i) {
        if (i < count && items[i] != nullptr) {
            Destroy()(items[i]);
        }
        RemoveAt(i);
    }

    // Destroys the elements from the last to the first, then frees the storage.
    void DeleteAll() {
        while (count != 0) {
            DeleteAt(count - 1);
        }
        FreeStorage();
    }

    // Frees the storage without destroying the elements.
    void FreeStorage() {
        if (items != nullptr) {
            PoolFree(items, size_t(capacity) * sizeof(T*));
        }
        items = nullptr;
        capacity = 0;
        count = 0;
    }

    // Index of p, or -1 when it is not in the array.
    int32_t IndexOf(const T* p) const {
        for (uint32_t i = 0; i < count; ++i) {
            if (items[i] == p) {
                return int32_t(i);
            }
        }
        return -1;
    }

    T* operator[](uint32_t i) const { return items[i]; }
};

// A growable array of records stored by value, with heap storage.
template <typename T> class CValueArray {
  public:
    CValueArray() = default;
    CValueArray(const CValueArray&) = delete;
    CValueArray& operator=(const CValueArray&) = delete;

    virtual ~CValueArray() {
        delete[] items;
        items = nullptr;
        capacity = 0;
        count = 0;
    }

    // Forgets the records; the storage stays for reuse.
    virtual void RemoveAll() { count = 0; }

    // Copies the record to the end and returns its index.
    virtual uint32_t Add(const T& record) {
        EnsureCapacity(count + 1);
        items[count] = record;
        return count++;
    }

    // Makes room for one more record and returns it, not set.
    T* AddNew() {
        EnsureCapacity(count + 1);
        return &items[count++];
    }

    void EnsureCapacity(uint32_t n) {
        if (capacity >= n) {
            return;
        }
        SetCapacity(GrownCapacity(capacity, n));
    }

    void SetCapacity(uint32_t n) {
        if (capacity >= n) {
            return;
        }
        FatalCheck(n <= SIZE_MAX / sizeof(T), kOutOfMemoryText);
        T* storage = static_cast<T*>(CheckAllocation(new (std::nothrow) T[n]));
        for (uint32_t i = 0; i < count; ++i) {
            storage[i] = items[i];
        }
        delete[] items;
        items = storage;
        capacity = n;
    }

    T& operator[](uint32_t i) { return items[i]; }
    const T& operator[](uint32_t i) const { return items[i]; }
    uint32_t GetCount() const { return count; }
    uint32_t GetCapacity() const { return capacity; }

  private:
    T* items = nullptr;
    uint32_t count = 0;
    uint32_t capacity = 0;
};
