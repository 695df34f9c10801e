// Indexed lists of named items: lookup by name, by binary search over a
// sorted list or by the file-name part of a path, and a find-or-fail lookup
// that ends the program with a report of what was missing and where.
#pragma once

#include "engine/arrays.h"
#include "engine/str.h"

#include <cstddef>
#include <cstdint>

// Indices are signed: -1 stands for "none", both in results and in hints.
class CVirtualArray {
  public:
    // Instances live in the memory pool and give their own size back to it.
    static void* operator new(size_t n);
    static void operator delete(void* p, size_t n);

    CVirtualArray() = default;
    CVirtualArray(const CVirtualArray&) = delete;
    CVirtualArray& operator=(const CVirtualArray&) = delete;
    virtual ~CVirtualArray() = default;

    // Null when i is not below the count.
    virtual const char* GetItemText(int32_t i) const = 0;
    virtual CStr GetItemName(int32_t i) const = 0;
    virtual const CStr& GetItemData(int32_t i) const;
    virtual void SetItemData(int32_t i, const CStr& text);

    virtual int32_t Find(const CStr& name, int32_t hint) const = 0;
    virtual int32_t Find(const char* name, int32_t hint) const = 0;
    // Like Find, but a missing item ends the program through ReportNotFound.
    virtual int32_t FindOrFail(const CStr& name, int32_t hint) const;
    virtual int32_t FindOrFail(const char* name, int32_t hint) const;

    // What the not-found report names as the list and its folder.
    virtual CStr GetListName() const;
    virtual const char* GetFolderName() const;

    virtual void RemoveAll();
    virtual int32_t Add(const CStr& name);
    virtual int32_t Add(const char* name);
    virtual void DeleteAt(int32_t i);
    virtual void Swap(int32_t i, int32_t j);
    virtual int32_t GetCount() const = 0;
    virtual uint8_t GetItemFlag(int32_t i) const;
    virtual void SetItemFlag(int32_t i, uint8_t value);

    // Binary search over names in ascending case-insensitive order; the hint
    // only chooses the first probe. A name starting with '!' probes item 0
    // first.
    virtual int32_t SearchSorted(const CStr& name, int32_t hint) const;
    virtual int32_t SearchSorted(const char* name, int32_t hint) const;
    // SearchSorted, falling back to FindByFileName.
    virtual int32_t FindSorted(const CStr& name, int32_t hint) const;
    virtual int32_t FindSorted(const char* name, int32_t hint) const;
    // The first item whose file-name part equals that of the path.
    virtual int32_t FindByFileName(const CStr& path) const;
    virtual int32_t FindByFileName(const char* path) const;

  protected:
    // Whether a hint names an item; others mean "no hint".
    bool IsItemIndex(int32_t i) const { return i >= 0 && i < GetCount(); }
};

struct CStringItem {
    static void* operator new(size_t n);
    static void operator delete(void* p, size_t n);

    CStr name;
    CStr text;
    uint8_t flag = 1;
    int32_t tag = 0;
};

// A list that owns its items, kept in the order they were added.
class CStringItemArray : public CVirtualArray {
  public:
    ~CStringItemArray() override;

    const char* GetItemText(int32_t i) const override;
    CStr GetItemName(int32_t i) const override;
    const CStr& GetItemData(int32_t i) const override;
    void SetItemData(int32_t i, const CStr& text) override;

    // Exact name ignoring case, the hint first, then the file-name part.
    int32_t Find(const CStr& name, int32_t hint) const override;
    int32_t Find(const char* name, int32_t hint) const override;

    void RemoveAll() override;
    // Appends without testing for duplicates or keeping an order.
    int32_t Add(const CStr& name) override;
    int32_t Add(const char* name) override;
    void DeleteAt(int32_t i) override;
    void Swap(int32_t i, int32_t j) override;
    int32_t GetCount() const override { return int32_t(items.count); }
    uint8_t GetItemFlag(int32_t i) const override;
    void SetItemFlag(int32_t i, uint8_t value) override;

    CStringItem* GetItemRecord(int32_t i) const { return items[uint32_t(i)]; }
    // The first item carrying the tag, or -1.
    int32_t FindByTag(int32_t tag) const;

  private:
    CPointerArray<CStringItem> items;
};

// The process-wide registry of message names.
class CMessageNameArray : public CStringItemArray {};

// A message's identifier: the index of its name in the registry, given out
// in the order of first registration and stable for the life of the process.
int32_t RegisterMessageName(const char* name);

// Registered before main; nothing sends it.
extern const int32_t itemAddedToVirtualArrayMessage;

// What referred to a missing item, as the not-found report names it.
extern CStr referrerName;

// The text of the not-found report for a name missing from the list.
CStr BuildNotFoundReport(const CVirtualArray& list, const char* name);

// Shows the "Fatal Not Found Error" box for a name missing from the list and
// ends the process with -1.
[[noreturn]] void ReportNotFound(const CVirtualArray& list, const char* name);
