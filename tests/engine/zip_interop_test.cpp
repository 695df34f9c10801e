// Archives from tools nobody here wrote: Info-ZIP and Python's zipfile make
// them, and judge the archives after a rewrite and an append.
#include "engine/zip_archive.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string Content(int i) {
    std::string bytes;
    for (int n = 0; n < 1000 + 37 * i; ++n) {
        bytes += char((n * 7 + i) & 0xFF);
    }
    return bytes;
}

std::string ReadEntry(CZipArchive& archive, const char* name) {
    CFileStream stream;
    if (!stream.Attach(archive.OpenEntry(name, 0), 0)) {
        return "<none>";
    }
    std::string bytes(stream.GetSize(), '\0');
    bytes.resize(stream.Read(bytes.data(), uint32_t(bytes.size())));
    return bytes;
}

int RunQuietly(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str());
}

// Both tools accept the archive; the engine's own end signature is put back
// to the standard one for them first.
void ExpectToolsAccept(TempFolder& temp, const std::string& file) {
    std::string bytes = temp.Read(file);
    ASSERT_GE(bytes.size(), 22u);
    if (bytes.compare(bytes.size() - 22, 4, "TQ\x05\x06") == 0) {
        bytes.replace(bytes.size() - 22, 4, "PK\x05\x06");
    }
    temp.Write("check.zip", bytes);
    std::string path = temp.Path("check.zip");
    EXPECT_EQ(RunQuietly("unzip -t '" + path + "'"), 0);
    EXPECT_EQ(RunQuietly("python3 -c \"import sys, zipfile; "
                         "sys.exit(zipfile.ZipFile(sys.argv[1]).testzip() is not None)\" '" +
                         path + "'"),
              0);
}

class ZipInterop : public testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        std::filesystem::create_directory(temp.Path("in"));
        for (int i = 0; i < 3; ++i) {
            temp.Write("in/file" + std::to_string(i) + ".dat", Content(i));
        }
        std::string tool = GetParam();
        std::string in = temp.Path("in");
        std::string out = temp.Path("made.zip");
        int made =
            tool == "zip"
                ? RunQuietly("cd '" + in + "' && zip -0 -X '" + out +
                             "' file0.dat file1.dat file2.dat")
                : RunQuietly("cd '" + in +
                             "' && python3 -c \"import sys, zipfile; z = "
                             "zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_STORED); "
                             "[z.write(n) for n in ('file0.dat', 'file1.dat', 'file2.dat')]; "
                             "z.close()\" '" +
                             out + "'");
        ASSERT_EQ(made, 0);
        path = out;
    }
    TempFolder temp;
    std::string path;
};

TEST_P(ZipInterop, ReadsExactlyAndStaysValidAfterRewriteAndAppend) {
    {
        CZipArchive archive;
        ASSERT_TRUE(archive.Open(path.c_str(), true, "", false, 0));
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(ReadEntry(archive, ("FILE" + std::to_string(i) + ".DAT").c_str()),
                      Content(i));
        }
        CFileStream stream;
        ASSERT_TRUE(stream.Attach(archive.OpenEntry("file0.dat", kOpenCreate | kOpenWrite), 0));
        std::string replacement = Content(9);
        ASSERT_EQ(stream.Write(replacement.data(), uint32_t(replacement.size())),
                  replacement.size());
    }
    ExpectToolsAccept(temp, "made.zip");
    EXPECT_EQ(
        RunQuietly("unzip -Z1 '" + temp.Path("check.zip") + "' | tail -1 | grep -qx file0.dat"), 0);

    {
        CFileStream stream;
        ASSERT_TRUE(stream.Open((path + ";extra/added.bin").c_str(), kOpenCreate | kOpenWrite));
        std::string added = Content(5);
        ASSERT_EQ(stream.Write(added.data(), uint32_t(added.size())), added.size());
    }
    ExpectToolsAccept(temp, "made.zip");

    CZipArchive archive;
    ASSERT_TRUE(archive.Open(path.c_str(), false, "", false, 0));
    EXPECT_EQ(ReadEntry(archive, "file0.dat"), Content(9));
    EXPECT_EQ(ReadEntry(archive, "file1.dat"), Content(1));
    EXPECT_EQ(ReadEntry(archive, "file2.dat"), Content(2));
    EXPECT_EQ(ReadEntry(archive, "extra/added.bin"), Content(5));
}

INSTANTIATE_TEST_SUITE_P(Tools, ZipInterop, testing::Values("zip", "python"));

} // namespace
