#include "engine/lists.h"

#include "not_found_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void Fill(CStringItemArray& list, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        list.Add(name.c_str());
    }
}

// Records which items a search compares against, in order.
class CProbedList : public CStringItemArray {
  public:
    const char* GetItemText(int32_t i) const override {
        probes.push_back(i);
        return CStringItemArray::GetItemText(i);
    }
    CStr GetItemName(int32_t i) const override {
        probes.push_back(i);
        return CStringItemArray::GetItemName(i);
    }
    mutable std::vector<int32_t> probes;
};

TEST(StringItemArray, FindIgnoresCaseThenFallsBackToTheFileNamePart) {
    CStringItemArray list;
    Fill(list, {"Background.jpg", "art/Button.JPG", "c/x.jpg", "a/b/x.jpg", "same", "SAME"});
    struct Case {
        const char* name;
        int32_t hint;
        int32_t expected;
    };
    const Case cases[] = {
        {"background.JPG", -1, 0},
        {"ART/button.jpg", -1, 1},
        {"a/b/x.jpg", -1, 3},  // the whole name wins over an earlier file-name match
        {"q/r/X.JPG", -1, 2},  // only the file-name part matches: the first such item
        {"button.jpg", -1, 1}, // a bare name finds an item kept with its folder
        {"same", 5, 5},        // a matching hint is taken as it is
        {"same", 0, 4},        // a hint that does not match is ignored
        {"same", 99, 4},       // as is one beyond the list
        {"missing.jpg", -1, -1},
        {"x.jpg/", -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(list.Find(c.name, c.hint), c.expected);
        EXPECT_EQ(list.Find(CStr(c.name), c.hint), c.expected);
        if (c.expected != -1) {
            EXPECT_EQ(list.FindOrFail(c.name, c.hint), c.expected);
        }
    }
}

TEST(StringItemArray, AddDeleteSwapAndItemFields) {
    auto* list = new CStringItemArray;
    EXPECT_EQ(list->FindByTag(0), -1) << "empty list";
    EXPECT_EQ(list->GetItemText(0), nullptr);
    EXPECT_EQ(list->Add("one"), 0);
    EXPECT_EQ(list->Add(CStr("two")), 1);
    EXPECT_EQ(list->Add("one"), 2) << "duplicates are kept";
    EXPECT_EQ(list->GetItemText(3), nullptr);
    EXPECT_EQ(list->GetItemText(-1), nullptr);

    CStringItem* first = list->GetItemRecord(0);
    EXPECT_TRUE(first->text.IsEmpty());
    EXPECT_EQ(list->GetItemFlag(0), 1);
    EXPECT_EQ(first->tag, 0);
    EXPECT_EQ(list->FindByTag(0), 0);
    EXPECT_EQ(list->FindByTag(7), -1);
    list->GetItemRecord(1)->tag = 7;
    list->GetItemRecord(2)->tag = 7;
    EXPECT_EQ(list->FindByTag(7), 1);

    CStr data("payload");
    list->SetItemData(1, data);
    EXPECT_EQ(list->GetItemData(1).GetText(), data.GetText()) << "shared, not copied";
    list->SetItemFlag(1, 0);
    EXPECT_EQ(list->GetItemFlag(1), 0);

    list->Swap(0, 1);
    EXPECT_STREQ(list->GetItemText(0), "two");
    EXPECT_EQ(list->GetItemRecord(1), first);
    list->DeleteAt(0);
    EXPECT_EQ(list->GetCount(), 2);
    EXPECT_EQ(list->GetItemRecord(0), first);
    EXPECT_STREQ(list->GetItemName(1).GetText(), "one");

    // The list lives in the pool: freeing it hands its block back, so the next
    // list of the same size gets the very same block.
    CVirtualArray* freed = list;
    delete freed;
    auto* again = new CStringItemArray;
    EXPECT_EQ(static_cast<CVirtualArray*>(again), freed);
    delete again;
}

TEST(VirtualArray, BaseBehaviourOfAMinimalList) {
    // A list that supplies only what the base cannot.
    class CFixedNames : public CVirtualArray {
      public:
        const char* GetItemText(int32_t i) const override { return IsItemIndex(i) ? "x" : nullptr; }
        CStr GetItemName(int32_t) const override { return CStr("x"); }
        int32_t Find(const CStr& name, int32_t hint) const override {
            return Find(name.GetText(), hint);
        }
        int32_t Find(const char* name, int32_t) const override { return FindByFileName(name); }
        int32_t GetCount() const override { return 1; }
    } list;
    EXPECT_TRUE(list.GetItemData(0).IsEmpty());
    EXPECT_TRUE(list.GetListName().IsEmpty());
    EXPECT_EQ(list.GetFolderName(), nullptr);
    EXPECT_EQ(list.Add("y"), -1);
    EXPECT_EQ(list.GetItemFlag(0), 1);
    EXPECT_EQ(list.Find("dir/X", -1), 0);
    EXPECT_EQ(list.FindSorted("dir/x", -1), 0);
}

TEST(StringItemArray, SearchSortedProbesFromTheHint) {
    struct Case {
        std::vector<std::string> items;
        const char* name;
        int32_t hint;
        int32_t expected;
        std::vector<int32_t> probes;
    };
    const Case cases[] = {
        {{}, "alpha", -1, -1, {}},
        {{"alpha", "beta", "gamma"}, "gamma", -1, 2, {1, 2}},
        {{"alpha", "beta", "gamma"}, "GAMMA", 2, 2, {2}},
        {{"alpha", "beta", "gamma"}, "alpha", -1, 0, {1, 0}},
        {{"alpha", "beta", "gamma"}, "delta", -1, -1, {1, 2}},
        {{"alpha", "beta", "gamma"}, "beta", 7, 1, {1}}, // a hint beyond the list is no hint
        {{"!a", "!b", "m", "z"}, "!b", -1, 1, {0, 2, 1}},
        {{"!a", "!b", "m", "z"}, "!b", 3, 1, {0, 2, 1}}, // '!' overrides the hint
        {{"!a", "!b", "m", "z"}, "m", -1, 2, {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " hint " + std::to_string(c.hint));
        CProbedList list;
        Fill(list, c.items);
        EXPECT_EQ(list.SearchSorted(c.name, c.hint), c.expected);
        EXPECT_EQ(list.probes, c.probes) << "C string form";
        list.probes.clear();
        EXPECT_EQ(list.SearchSorted(CStr(c.name), c.hint), c.expected);
        EXPECT_EQ(list.probes, c.probes) << "string form";
    }
}

TEST(StringItemArray, FindSortedFallsBackToTheFileNamePart) {
    CStringItemArray list;
    Fill(list, {"art/a.jpg", "art/b.jpg", "art/c.jpg"});
    EXPECT_EQ(list.FindSorted("ART/C.jpg", -1), 2);
    EXPECT_EQ(list.FindSorted("other/b.jpg", -1), 1);
    EXPECT_EQ(list.FindSorted(CStr("b.jpg"), -1), 1);
    EXPECT_EQ(list.FindSorted("d.jpg", -1), -1);
}

TEST(MessageNames, IdentifiersFollowTheOrderOfFirstRegistration) {
    EXPECT_EQ(itemAddedToVirtualArrayMessage, 0);
    EXPECT_EQ(RegisterMessageName("CItemAddedToVirtualArrayMessage"), 0);
    int32_t first = RegisterMessageName("CTestFirstMessage");
    EXPECT_GT(first, 0);
    int32_t second = RegisterMessageName("CTestSecondMessage");
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(RegisterMessageName("ctestfirstmessage"), first);
    EXPECT_EQ(RegisterMessageName("CTestSecondMessage"), second);
    EXPECT_EQ(RegisterMessageName("CTestThirdMessage"), second + 1);
}

// A list that tells the report where its items belong.
class CPlacedList : public CStringItemArray {
  public:
    CPlacedList(const char* list, const char* folder) : listName(list), folderName(folder) {}
    CStr GetListName() const override { return CStr(listName); }
    const char* GetFolderName() const override { return folderName; }

  private:
    const char* listName;
    const char* folderName;
};

TEST(NotFoundReport, ListsAtMostTenItemsNumberedFromZero) {
    for (int count : {0, 1, 3, 10, 11, 25}) {
        SCOPED_TRACE(count);
        CStringItemArray list;
        Fill(list, not_found::ItemNames(count));
        EXPECT_EQ(BuildNotFoundReport(list, "missing.dat").GetText(),
                  not_found::ExpectedReport("missing.dat", not_found::ItemNames(count)));
    }
}

TEST(NotFoundReport, NamesTheListAndTheFolder) {
    struct Case {
        const char* list;
        const char* folder;
        const char* placement;
    };
    const Case cases[] = {
        {"", nullptr, ""},
        {"", "", ""},
        {"", "Art", " which should be in the \"Art\" folder"},
        {"Images", nullptr, " which should be in the \"Images\" list"},
        {"Images", "IMAGES", " which should be in the \"Images\" list"},
        {"Images", "art/images",
         " which should be in the \"Images\" list located in the "
         "\"art/images\" folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.list) + "|" + (c.folder ? c.folder : "null"));
        CPlacedList list(c.list, c.folder);
        list.Add("one.dat");
        EXPECT_EQ(BuildNotFoundReport(list, "two.dat").GetText(),
                  not_found::ExpectedReport("two.dat", {"one.dat"}, "Program.EXE", c.placement));
    }
}

TEST(NotFoundReport, WithoutAReferrerTheSourceIsUnknown) {
    EXPECT_STREQ(referrerName.GetText(), "Program.EXE");
    CStr kept = referrerName;
    referrerName.Empty();
    CStringItemArray list;
    EXPECT_EQ(BuildNotFoundReport(list, "x").GetText(), not_found::ExpectedReport("x", {}, ""));
    referrerName = kept;
}

TEST(NotFoundReport, LongNamesAreReportedInFull) {
    const std::string longName(5000, 'n');
    const std::string longList(3000, 'l');
    const std::string longItem = "dir/" + std::string(4000, 'i');
    CPlacedList list(longList.c_str(), nullptr);
    list.Add(longItem.c_str());
    list.Add("short");
    EXPECT_EQ(BuildNotFoundReport(list, longName.c_str()).GetText(),
              not_found::ExpectedReport(longName, {longItem, "short"}, "Program.EXE",
                                        " which should be in the \"" + longList + "\" list"));
}

TEST(NotFoundReport, NullNamesReadAsEmpty) {
    CStringItemArray list;
    list.Add("a");
    const char* none = nullptr;
    EXPECT_EQ(list.Find(none, -1), -1);
    EXPECT_EQ(list.SearchSorted(none, -1), -1);
    EXPECT_EQ(BuildNotFoundReport(list, none).GetText(), not_found::ExpectedReport("", {"a"}));
}

#ifndef _WIN32
// Extended regular expression matching exactly the text.
std::string Literally(const std::string& text) {
    std::string pattern;
    for (char c : text) {
        if (std::string(".[]()*+?{}|^$\\").find(c) != std::string::npos) {
            pattern += '\\';
        }
        pattern += c;
    }
    return pattern;
}

// The box becomes one line on standard error natively; the Windows box is
// read by the end-to-end tests.
TEST(NotFoundReportDeathTest, FindOrFailShowsTheReportAndExitsWithMinusOne) {
    for (int count : {0, 3, 10, 11}) {
        SCOPED_TRACE(count);
        CStringItemArray list;
        Fill(list, not_found::ItemNames(count));
        const std::string box =
            "\\[Fatal Not Found Error\\] " +
            Literally(not_found::ExpectedReport("lost.dat", not_found::ItemNames(count))) + "\n";
        EXPECT_EXIT(list.FindOrFail("lost.dat", -1), testing::ExitedWithCode(255), box);
        EXPECT_EXIT(list.FindOrFail(CStr("lost.dat"), -1), testing::ExitedWithCode(255), box);
    }
}
#endif

} // namespace
