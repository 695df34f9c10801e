// The file moves of the services update, on real files: a file that cannot
// be moved keeps the one it would have replaced, and sub-folders stay.
#include "services/services_update.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <windows.h>

namespace {

class Folder {
  public:
    Folder() {
        char temp[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, temp);
        path = std::string(temp) + "services-update-" + std::to_string(GetTickCount()) + "-" +
               std::to_string(serial++) + "\\";
        CreateDirectoryA(path.c_str(), nullptr);
    }
    ~Folder() { DeleteFolderTree(path.c_str()); }
    void Put(const std::string& relative, const std::string& text) const {
        std::string full = path + relative;
        CreateDirectoryA(full.substr(0, full.find_last_of('\\')).c_str(), nullptr);
        std::ofstream(full, std::ios::binary) << text;
    }
    std::string Read(const std::string& relative) const {
        std::ifstream in(path + relative, std::ios::binary);
        return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "(missing)";
    }
    std::string path;

  private:
    static inline int serial = 0;
};

TEST(MoveFolderFiles, ReplacesReadOnlyFilesAndLeavesSubFolders) {
    Folder f;
    f.Put("Update\\a.bin", "new a");
    f.Put("Update\\sub\\inner.txt", "stays");
    f.Put("a.bin", "old a");
    SetFileAttributesA((f.path + "a.bin").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(MoveFolderFiles(f.path.c_str(), (f.path + "Update\\").c_str()));
    EXPECT_EQ(f.Read("a.bin"), "new a");
    EXPECT_EQ(f.Read("Update\\sub\\inner.txt"), "stays");
    EXPECT_EQ(f.Read("sub\\inner.txt"), "(missing)");
    EXPECT_EQ(f.Read("Update\\a.bin"), "(missing)");
}

TEST(MoveFolderFiles, AMissingSourceMovesNothingAndIsNoFailure) {
    Folder f;
    EXPECT_TRUE(MoveFolderFiles(f.path.c_str(), (f.path + "Update\\").c_str()));
}

// A source held open cannot be moved: the file it would replace must not be
// lost on the way, and the other files still move.
TEST(MoveFolderFiles, AFileThatCannotBeMovedKeepsItsNamesake) {
    Folder f;
    f.Put("Update\\held.bin", "new held");
    f.Put("Update\\other.bin", "new other");
    f.Put("held.bin", "old held");
    f.Put("other.bin", "old other");
    HANDLE held = CreateFileA((f.path + "Update\\held.bin").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    bool moved = MoveFolderFiles(f.path.c_str(), (f.path + "Update\\").c_str());
    CloseHandle(held);
    EXPECT_FALSE(moved);
    EXPECT_EQ(f.Read("held.bin"), "old held");
    EXPECT_EQ(f.Read("other.bin"), "new other");
}

TEST(DeleteFolderTree, RemovesReadOnlyFilesAndNestedFolders) {
    Folder f;
    f.Put("Arcade\\a.bin", "a");
    f.Put("Arcade\\deep\\deeper\\b.bin", "b");
    SetFileAttributesA((f.path + "Arcade\\a.bin").c_str(),
                       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    f.Put("keep.bin", "keep");
    EXPECT_TRUE(DeleteFolderTree((f.path + "Arcade").c_str()));
    EXPECT_EQ(GetFileAttributesA((f.path + "Arcade").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(f.Read("keep.bin"), "keep");
    EXPECT_FALSE(DeleteFolderTree((f.path + "Missing").c_str()));
}

} // namespace
