#include "engine/lists.h"

#include "engine/fatal.h"
#include "engine/paths.h"
#include "engine/pool.h"

#include <cstdlib>

namespace {

// The C library's case-insensitive comparison in the C locale, the same on
// every platform.
int CompareNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        unsigned char ca = static_cast<unsigned char>(*a);
        unsigned char cb = static_cast<unsigned char>(*b);
        ca = ca >= 'A' && ca <= 'Z' ? ca + 32 : ca;
        cb = cb >= 'A' && cb <= 'Z' ? cb + 32 : cb;
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
        if (ca == 0) {
            return 0;
        }
    }
}

const CStr& EmptyText() {
    static const CStr empty;
    return empty;
}

// The binary search shared by both name forms; compare tells item mid
// against the name.
template <typename CompareItem>
int32_t SearchSortedBy(const CVirtualArray& list, char first, int32_t hint, CompareItem compare) {
    int32_t hi = list.GetCount() - 1;
    if (hi < 0) {
        return -1;
    }
    if (first == '!') {
        hint = 0;
    }
    int32_t lo = 0;
    int32_t mid = hint >= 0 && hint <= hi ? hint : hi / 2;
    while (lo <= hi) {
        int c = compare(mid);
        if (c == 0) {
            return mid;
        }
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
        mid = (lo + hi) / 2;
    }
    return -1;
}

const char* const kReferrerParagraphA =
    "\r\n\r\n   A) You recently got a new file, some art or a new proram EXE, possible \"%s\", "
    "and the new file requires some other new file, \"%s\", to make them work.  You should be "
    "able to get these other files by doing a get.  It is also possable that someone else did "
    "not check these files in yet.  If doing a get doesn't fix the problem them find out who "
    "changed \"%s\" and ask them to add the new \"%s\" files.";

const char* const kReferrerParagraphB =
    "\r\n\r\n   B) You (or someone else) deleted \"%s\" but it is being used by \"%s\".  You "
    "need to un-delete \"%s\" or manually edit the text for \"%s\" to make it no longer "
    "reference \"%s\"";

// The report lists at most this many items.
constexpr int32_t kListedItems = 10;

} // namespace

CStr referrerName("Program.EXE");

void* CVirtualArray::operator new(size_t n) {
    return PoolAlloc(n);
}

void CVirtualArray::operator delete(void* p, size_t n) {
    PoolFree(p, n);
}

const CStr& CVirtualArray::GetItemData(int32_t) const {
    return EmptyText();
}

void CVirtualArray::SetItemData(int32_t, const CStr&) {}

int32_t CVirtualArray::FindOrFail(const CStr& name, int32_t hint) const {
    int32_t i = Find(name, hint);
    if (i == -1) {
        ReportNotFound(*this, name.GetText());
    }
    return i;
}

int32_t CVirtualArray::FindOrFail(const char* name, int32_t hint) const {
    int32_t i = Find(name, hint);
    if (i == -1) {
        ReportNotFound(*this, name);
    }
    return i;
}

CStr CVirtualArray::GetListName() const {
    return EmptyText();
}

const char* CVirtualArray::GetFolderName() const {
    return nullptr;
}

void CVirtualArray::RemoveAll() {}

int32_t CVirtualArray::Add(const CStr&) {
    return -1;
}

int32_t CVirtualArray::Add(const char*) {
    return -1;
}

void CVirtualArray::DeleteAt(int32_t) {}

void CVirtualArray::Swap(int32_t, int32_t) {}

uint8_t CVirtualArray::GetItemFlag(int32_t) const {
    return 1;
}

void CVirtualArray::SetItemFlag(int32_t, uint8_t) {}

int32_t CVirtualArray::SearchSorted(const CStr& name, int32_t hint) const {
    return SearchSortedBy(*this, name.GetText()[0], hint,
                          [&](int32_t mid) { return GetItemName(mid).Compare(name); });
}

int32_t CVirtualArray::SearchSorted(const char* name, int32_t hint) const {
    if (name == nullptr) {
        name = "";
    }
    return SearchSortedBy(*this, name[0], hint,
                          [&](int32_t mid) { return CompareNoCase(GetItemText(mid), name); });
}

int32_t CVirtualArray::FindSorted(const CStr& name, int32_t hint) const {
    int32_t i = SearchSorted(name, hint);
    return i != -1 ? i : FindByFileName(name);
}

int32_t CVirtualArray::FindSorted(const char* name, int32_t hint) const {
    int32_t i = SearchSorted(name, hint);
    return i != -1 ? i : FindByFileName(name);
}

int32_t CVirtualArray::FindByFileName(const CStr& path) const {
    return FindByFileName(path.GetText());
}

int32_t CVirtualArray::FindByFileName(const char* path) const {
    const char* name = FileNamePart(path);
    for (int32_t i = 0; i < GetCount(); ++i) {
        if (CompareNoCase(FileNamePart(GetItemText(i)), name) == 0) {
            return i;
        }
    }
    return -1;
}

void* CStringItem::operator new(size_t n) {
    return PoolAlloc(n);
}

void CStringItem::operator delete(void* p, size_t n) {
    PoolFree(p, n);
}

CStringItemArray::~CStringItemArray() {
    CStringItemArray::RemoveAll();
    items.FreeStorage();
}

const char* CStringItemArray::GetItemText(int32_t i) const {
    return IsItemIndex(i) ? items[uint32_t(i)]->name.GetText() : nullptr;
}

CStr CStringItemArray::GetItemName(int32_t i) const {
    return items[uint32_t(i)]->name;
}

const CStr& CStringItemArray::GetItemData(int32_t i) const {
    return items[uint32_t(i)]->text;
}

void CStringItemArray::SetItemData(int32_t i, const CStr& text) {
    items[uint32_t(i)]->text = text;
}

int32_t CStringItemArray::Find(const CStr& name, int32_t hint) const {
    if (IsItemIndex(hint) && items[uint32_t(hint)]->name.Compare(name) == 0) {
        return hint;
    }
    for (uint32_t i = 0; i < items.count; ++i) {
        if (items[i]->name.Compare(name) == 0) {
            return int32_t(i);
        }
    }
    return CVirtualArray::FindByFileName(name);
}

int32_t CStringItemArray::Find(const char* name, int32_t hint) const {
    return Find(CStr(name), hint);
}

void CStringItemArray::RemoveAll() {
    while (items.count != 0) {
        DeleteAt(int32_t(items.count) - 1);
    }
}

int32_t CStringItemArray::Add(const CStr& name) {
    auto* item = new CStringItem;
    item->name = name;
    return int32_t(items.Add(item));
}

int32_t CStringItemArray::Add(const char* name) {
    return Add(CStr(name));
}

void CStringItemArray::DeleteAt(int32_t i) {
    items.DeleteAt(uint32_t(i));
}

void CStringItemArray::Swap(int32_t i, int32_t j) {
    CStringItem* kept = items.items[i];
    items.items[i] = items.items[j];
    items.items[j] = kept;
}

uint8_t CStringItemArray::GetItemFlag(int32_t i) const {
    return items[uint32_t(i)]->flag;
}

void CStringItemArray::SetItemFlag(int32_t i, uint8_t value) {
    items[uint32_t(i)]->flag = value;
}

int32_t CStringItemArray::FindByTag(int32_t tag) const {
    for (uint32_t i = 0; i < items.count; ++i) {
        if (items[i]->tag == tag) {
            return int32_t(i);
        }
    }
    return -1;
}

int32_t RegisterMessageName(const char* name) {
    static CMessageNameArray registry;
    int32_t id = registry.Find(name, -1);
    return id != -1 ? id : registry.Add(name);
}

const int32_t itemAddedToVirtualArrayMessage =
    RegisterMessageName("CItemAddedToVirtualArrayMessage");

CStr BuildNotFoundReport(const CVirtualArray& list, const char* name) {
    if (name == nullptr) {
        name = "";
    }
    CStr report;
    report.Format("The game is looking for some data or a file but can not find it.  The item "
                  "we are looking for is \"%s\"",
                  name);
    CStr listName = list.GetListName();
    const char* folder = list.GetFolderName();
    bool hasFolder = folder != nullptr && folder[0] != 0;
    if (!listName.IsEmpty()) {
        report.AppendFormat(" which should be in the \"%s\" list", listName.GetText());
        if (hasFolder && CompareNoCase(folder, listName.GetText()) != 0) {
            report.AppendFormat(" located in the \"%s\" folder", folder);
        }
    } else if (hasFolder) {
        report.AppendFormat(" which should be in the \"%s\" folder", folder);
    }
    int32_t count = list.GetCount();
    if (count > 0) {
        report.AppendFormat(
            "\r\n\r\nThat list does contain the following items but \"%s\" is missing:", name);
        for (int32_t i = 0; i < count && i < kListedItems; ++i) {
            report.AppendFormat("\r\n %d) %s", i, list.GetItemText(i));
        }
        if (count > kListedItems) {
            report.Append("\r\n ...");
        }
    } else {
        report.Append("\r\n\r\n***List contains no items*** ");
    }
    const char* referrer = referrerName.GetText();
    if (referrerName.IsEmpty()) {
        report.Append("\r\n\r\nThe item was referenced by an unknown source");
    } else {
        report.AppendFormat("\r\n\r\nThe item was referenced by \"%s\"", referrer);
    }
    report.Append("\r\n\r\nThis could mean:");
    report.AppendFormat(kReferrerParagraphA, referrer, name, referrer, name);
    report.Append("\r\n\r\n or");
    report.AppendFormat(kReferrerParagraphB, name, referrer, name, referrer, name);
    return report;
}

void ReportNotFound(const CVirtualArray& list, const char* name) {
    {
        CStr report = BuildNotFoundReport(list, name);
        ShowErrorBox("Fatal Not Found Error", report.GetText());
    }
    std::exit(-1);
}
