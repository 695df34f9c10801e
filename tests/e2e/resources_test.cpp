// The built wrapper's resources read back from the file: the icon, the
// version and the manifest Windows reads before the program runs.
#include "harness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace harness;

namespace {

std::string WrapperPath() {
    return BuildFolder() + "GameWrapper.exe";
}

class WrapperResources : public testing::Test {
  protected:
    void SetUp() override {
        module = LoadLibraryExA(WrapperPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << SystemErrorText(GetLastError());
    }
    void TearDown() override {
        if (module != nullptr) {
            FreeLibrary(module);
        }
    }

    std::string Resource(const char* name, const char* type) const {
        HRSRC found = FindResourceA(module, name, type);
        if (found == nullptr) {
            return "";
        }
        const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
        return data != nullptr ? std::string(data, SizeofResource(module, found)) : "";
    }

    HMODULE module = nullptr;
};

TEST_F(WrapperResources, CarriesTheMainIcon) {
    EXPECT_FALSE(Resource("MAINICON", MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */).empty());
}

TEST_F(WrapperResources, ManifestRunsAsInvokerOnEverySupportedSystem) {
    std::string manifest = Resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24) /* RT_MANIFEST */);
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
    const struct {
        const char* system;
        const char* id;
    } systems[] = {
        {"Vista", "{e2011457-1546-43c5-a5fe-008deee3d3f0}"},
        {"7", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"},
        {"8", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"},
        {"8.1", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}"},
        {"10", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"},
    };
    for (const auto& system : systems) {
        EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + system.id + "\"/>"),
                  std::string::npos)
            << system.system;
    }
}

TEST_F(WrapperResources, VersionNumbersAndTextsAgree) {
    std::string path = WrapperPath();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof *fixed);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
    std::string numbers = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                          std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                          std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                          std::to_string(LOWORD(fixed->dwFileVersionLS));

    auto text = [&](const char* key) {
        char* value = nullptr;
        UINT chars = 0;
        std::string query = std::string("\\StringFileInfo\\040904B0\\") + key;
        if (!VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &chars) ||
            value == nullptr) {
            return std::string();
        }
        return std::string(value);
    };
    EXPECT_EQ(text("FileVersion"), numbers);
    EXPECT_EQ(text("ProductVersion"), numbers);
    EXPECT_EQ(text("OriginalFilename"), "GameWrapper.exe");
    EXPECT_FALSE(text("FileDescription").empty());
    EXPECT_FALSE(text("ProductName").empty());
}

} // namespace
