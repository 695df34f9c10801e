#include "channel_archive.h"
#include "engine/temp_folder.h"
#include "engine/zip_archive.h"
#include "engine/zip_format.h"
#include "jpeg_header.h"
#include "package_check.h"
#include "package_files.h"
#include "package_request.h"
#include "package_writer.h"
#include "settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string Be16(unsigned value) {
    return {char(value >> 8), char(value & 0xFF)};
}

// A JPEG's markers up to its frame header; enough for the header reader.
std::string Jpeg(int width, int height, int components = 3, unsigned frame = 0xC0) {
    std::string bytes = "\xFF\xD8\xFF\xE0" + Be16(16) + std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14);
    std::string sof = Be16(unsigned(height)) + Be16(unsigned(width)) + char(components);
    for (int c = 0; c < components; ++c) {
        sof += std::string{char(c + 1), '\x11', '\0'};
    }
    bytes +=
        "\xFF" + std::string(1, char(frame)) + Be16(unsigned(2 + 1 + sof.size())) + '\x08' + sof;
    return bytes + "\xFF\xD9";
}

const std::string kProgram = "MZ" + std::string(62, '\0');

TEST(Settings, FindsValuesAsTheWrapperDoes) {
    struct Case {
        std::string text, key;
        bool found;
        std::string value;
    } cases[] = {
        {"Build X=300", "Build X=", true, "300"},
        {"Build X=300\r\n", "Build X=", true, "300"},
        {"Build X=300\n", "Build X=", true, "30"},
        {"Old Build X=3\r\nBuild X=77\r\n", "Build X=", true, "3"},
        {"Brand Y=-1\r\n", "Brand X=", false, ""},
        {"Application Name=" + std::string(300, 'n'), "Application Name=", true,
         std::string(254, 'n')},
        {std::string("A=1\r\n\0Build X=5\r\n", 17), "Build X=", false, ""},
        {"", "Application ID=", false, ""},
    };
    for (const Case& c : cases) {
        std::string value = "stale";
        EXPECT_EQ(FindSettingValue(c.text, c.key, &value), c.found) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(Settings, ChecksValuesOfEachKind) {
    struct Case {
        SettingKind kind;
        std::string value;
        bool good;
    } cases[] = {
        {SettingKind::Text, "Puzzle Quest", true},
        {SettingKind::Text, "", false},
        {SettingKind::Text, std::string(254, 'a'), true},
        {SettingKind::Text, std::string(255, 'a'), false},
        {SettingKind::Text, "two\r\nlines", false},
        {SettingKind::Integer, "-12", true},
        {SettingKind::Integer, "2147483647", true},
        {SettingKind::Integer, "2147483648", false},
        {SettingKind::Integer, "-2147483649", false},
        {SettingKind::Integer, "12a", false},
        {SettingKind::Integer, "-", false},
        {SettingKind::Integer, " 1", false},
        {SettingKind::Colour, "1d3F78", true},
        {SettingKind::Colour, "0x1D3F", false},
        {SettingKind::Colour, "1D3F7", false},
        {SettingKind::Colour, "1D3F7G", false},
        {SettingKind::Flag, "1", true},
        {SettingKind::Flag, "0", true},
        {SettingKind::Flag, "yes", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckSettingValue(c.kind, c.value).empty(), c.good) << c.value;
    }
}

TEST(Settings, InterpretsValuesAsTheWrapperDoes) {
    struct Case {
        SettingKind kind;
        std::string value, shown;
    } cases[] = {
        {SettingKind::Integer, " 300abc", "300"},
        {SettingKind::Integer, "x", "0"},
        {SettingKind::Colour, "0x00ff00", "00FF00"},
        {SettingKind::Colour, "zz", "000000"},
        {SettingKind::Colour, "1FF8000", "FF8000"},
        {SettingKind::Flag, "0", "false"},
        {SettingKind::Flag, "2", "true"},
        {SettingKind::Text, " a b", " a b"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InterpretSetting(c.kind, c.value), c.shown) << c.value;
    }
}

TEST(Settings, WritesOneCrLfLinePerSetting) {
    std::vector<Setting> settings = {{FindSettingOption("--name"), "Puzzle"},
                                     {FindSettingOption("--build-x"), "12"}};
    EXPECT_EQ(SettingsText(settings), "Application Name=Puzzle\r\nBuild X=12\r\n");
    EXPECT_EQ(FindSettingOption("--bogus"), nullptr);
}

TEST(JpegHeader, ReadsSizeOrNamesTheProblem) {
    std::string good = Jpeg(245, 120);
    std::string padded = good.substr(0, 2) + "\xFF\xFF" + good.substr(2);
    std::string noFrame = "\xFF\xD8\xFF\xDA" + Be16(4) + "xx";
    struct Case {
        std::string bytes;
        std::string problem;
        int width, height;
    } cases[] = {
        {good, "", 245, 120},
        {padded, "", 245, 120},
        {Jpeg(720, 540, 1, 0xC2), "", 720, 540},
        {Jpeg(64, 32, 3, 0xC1), "", 64, 32},
        {"GIF89a", "is not a JPEG file", 0, 0},
        {good.substr(0, 12), "ends inside a marker segment", 0, 0},
        {good.substr(0, 20), "ends before its frame header", 0, 0},
        {Jpeg(8, 8, 3, 0xC3), "uses a coding the wrapper cannot decode (lossless or arithmetic)", 0,
         0},
        {Jpeg(8, 8, 3, 0xC9), "uses a coding the wrapper cannot decode (lossless or arithmetic)", 0,
         0},
        {Jpeg(8, 8, 4), "is neither grey nor colour (4 components)", 0, 0},
        {Jpeg(0, 8), "has no width or height", 0, 0},
        {noFrame, "has no frame header", 0, 0},
        {"\xFF\xD8xx", "is damaged: no marker where one belongs", 0, 0},
    };
    for (const Case& c : cases) {
        JpegInfo info;
        EXPECT_EQ(ReadJpegHeader(c.bytes, &info), c.problem);
        if (c.problem.empty()) {
            EXPECT_EQ(info.width, c.width);
            EXPECT_EQ(info.height, c.height);
        }
    }
}

TEST(ChannelArchive, EngineReadsWhatItWrites) {
    TempFolder temp;
    std::string path = std::filesystem::absolute(temp.Path("Channel.dat")).string();
    ASSERT_TRUE(
        WriteStoredArchive(path, {{"Branding.jpg", "logo bytes"}, {"BrandingMask.jpg", ""}}));
    CZipArchive archive;
    ASSERT_TRUE(archive.Open(path.c_str(), false, "", false, 0));
    EXPECT_EQ(archive.GetCount(), 2u);
    EXPECT_EQ(archive.GetEndSignature(), zip::kAlternateEndSignature);
    std::string bytes;
    EXPECT_TRUE(ReadArchiveEntry(path, "Branding.jpg", &bytes));
    EXPECT_EQ(bytes, "logo bytes");
    EXPECT_TRUE(ReadArchiveEntry(path, "BrandingMask.jpg", &bytes));
    EXPECT_EQ(bytes, "");
    EXPECT_FALSE(ReadArchiveEntry(path, "Other.jpg", &bytes));
    EXPECT_FALSE(WriteStoredArchive(temp.Path("no/such/folder/Channel.dat"), {{"a", "b"}}));
}

// A publisher's inputs in a temporary folder.
class Packager : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(temp.Path("skin"));
        std::filesystem::create_directories(temp.Path("tools"));
        temp.Write("tools/GameWrapper.exe", kProgram + "wrapper");
        temp.Write("game.exe", kProgram + "game");
        temp.Write("services.dll", kProgram + "services");
        for (const char* skin : kSkinFiles) {
            temp.Write(std::string("skin/") + skin, Jpeg(720, 540));
        }
        temp.Write("logo.jpg", Jpeg(245, 120));
        temp.Write("mask.jpg", Jpeg(245, 120, 1));
    }

    std::vector<std::string> Args() const {
        return {"--game",     temp.Path("game.exe"),
                "--name",     "Puzzle",
                "--id",       "1001",
                "--channel",  "7",
                "--skin",     temp.Path("skin"),
                "--services", temp.Path("services.dll"),
                "--out",      temp.Path("out"),
                "--exe",      "Puzzle.exe",
                "--brand-x",  "30",
                "--logo",     temp.Path("logo.jpg"),
                "--mask",     temp.Path("mask.jpg")};
    }

    std::string Package(const std::vector<std::string>& args) const {
        PackageRequest request;
        std::string problem = ParseRequest(args, &request);
        return problem.empty() ? WritePackage(request, temp.Path("tools")) : problem;
    }

    TempFolder temp;
};

std::vector<std::string> Plus(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST_F(Packager, AssemblesTheFolderTheWrapperReads) {
    ASSERT_EQ(Package(Args()), "");
    EXPECT_EQ(temp.Read("out/Puzzle.exe"), kProgram + "wrapper");
    EXPECT_EQ(temp.Read("out/Puzzle.QXG"), kProgram + "game");
    EXPECT_EQ(temp.Read("out/TarvelArcade/TarvelArcade.dll"), kProgram + "services");
    EXPECT_EQ(temp.Read("out/TarvelArcade/QOX_002.wdt"),
              "Application Name=Puzzle\r\nApplication ID=1001\r\nDeveloper Channel ID=7\r\n"
              "Brand X=30\r\n");
    for (const char* skin : kSkinFiles) {
        EXPECT_EQ(temp.Read(std::string("out/TarvelArcade/") + skin), Jpeg(720, 540));
    }
    std::string channel =
        std::filesystem::absolute(temp.Path("out/TarvelArcade/Channel.dat")).string();
    std::string bytes;
    EXPECT_TRUE(ReadArchiveEntry(channel, "Branding.jpg", &bytes));
    EXPECT_EQ(bytes, Jpeg(245, 120));
    EXPECT_TRUE(ReadArchiveEntry(channel, "BrandingMask.jpg", &bytes));
    EXPECT_EQ(bytes, Jpeg(245, 120, 1));
    EXPECT_FALSE(std::filesystem::exists(temp.Path("out.partial")));
}

TEST_F(Packager, ZipsTheFolderAsStoredEntries) {
    std::string zip = std::filesystem::absolute(temp.Path("out.zip")).string();
    ASSERT_EQ(Package(Plus(Args(), {"--zip", zip})), "");
    CZipArchive archive;
    ASSERT_TRUE(archive.Open(zip.c_str(), false, "", false, 0));
    EXPECT_EQ(archive.GetCount(), 9u);
    const char* names[] = {"Puzzle.exe", "Puzzle.QXG", "TarvelArcade/QOX_002.wdt",
                           "TarvelArcade/Channel.dat", "TarvelArcade/button_hover.jpg"};
    for (const char* name : names) {
        std::string bytes;
        EXPECT_TRUE(ReadArchiveEntry(zip, name, &bytes)) << name;
        EXPECT_EQ(bytes, temp.Read(std::string("out/") + name)) << name;
    }
}

std::vector<std::string> Without(std::vector<std::string> args, const std::string& option) {
    for (size_t i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == option) {
            args.erase(args.begin() + long(i), args.begin() + long(i) + 2);
            break;
        }
    }
    return args;
}

TEST_F(Packager, WithoutLogoWritesNoChannelArchiveAndKeepsTheWrapperName) {
    ASSERT_EQ(Package(Without(Without(Without(Args(), "--logo"), "--mask"), "--exe")), "");
    EXPECT_TRUE(std::filesystem::exists(temp.Path("out/GameWrapper.exe")));
    EXPECT_TRUE(std::filesystem::exists(temp.Path("out/GameWrapper.QXG")));
    EXPECT_FALSE(std::filesystem::exists(temp.Path("out/TarvelArcade/Channel.dat")));
}

// Replaces option's value, or appends the option when it is not there.
std::vector<std::string> With(std::vector<std::string> args, const std::string& option,
                              const std::string& value) {
    for (size_t i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == option) {
            args[i + 1] = value;
            return args;
        }
    }
    args.push_back(option);
    args.push_back(value);
    return args;
}

TEST_F(Packager, RefusesEachBadInputAndWritesNothing) {
    temp.Write("wide.jpg", Jpeg(246, 120));
    temp.Write("text.jpg", "not a picture");
    std::filesystem::create_directories(temp.Path("taken"));
    std::filesystem::create_directories(temp.Path("skin-bad"));
    for (const char* skin : kSkinFiles) {
        temp.Write(std::string("skin-bad/") + skin, Jpeg(720, 540));
    }
    temp.Write("skin-bad/button_hover.jpg", "plain text");
    std::vector<std::string> all = Args();
    std::vector<std::string> noLogo(all.begin(), all.end() - 4);
    noLogo = With(noLogo, "--mask", temp.Path("mask.jpg"));
    struct Case {
        std::vector<std::string> args;
        std::string problem;
    } cases[] = {
        {With(Args(), "--id", "12x"), "option --id: \"12x\" is not a whole decimal number"},
        {With(Args(), "--font-color-app", "red"),
         "option --font-color-app: \"red\" is not a colour of six hexadecimal digits RRGGBB"},
        {With(Args(), "--name", std::string(255, 'n')),
         "option --name: \"" + std::string(255, 'n') + "\" is longer than 254 characters"},
        {With(Args(), "--colour", "FFFFFF"), "unknown option --colour"},
        {With(Args(), "--game", temp.Path("none.exe")),
         "game " + temp.Path("none.exe") + ": no such file"},
        {With(Args(), "--game", temp.Path("logo.jpg")),
         "game " + temp.Path("logo.jpg") + ": is not a Windows program"},
        {With(Args(), "--services", temp.Path("none.dll")),
         "services module " + temp.Path("none.dll") + ": no such file"},
        {With(Args(), "--wrapper", temp.Path("none.exe")),
         "wrapper " + temp.Path("none.exe") + ": no such file"},
        {With(Args(), "--exe", "Puzzle.bin"),
         "option --exe: \"Puzzle.bin\" is not a file name ending in .exe"},
        {With(Args(), "--skin", temp.Path("skin-bad")),
         "skin file " +
             (std::filesystem::path(temp.Path("skin-bad")) / "button_hover.jpg").string() +
             ": is not a JPEG file"},
        {With(Args(), "--skin", temp.Path("nothing")),
         "skin file " + (std::filesystem::path(temp.Path("nothing")) / "Background.jpg").string() +
             ": no such file"},
        {With(Args(), "--logo", temp.Path("wide.jpg")),
         "logo " + temp.Path("wide.jpg") + ": is 246x120, not 245x120"},
        {With(Args(), "--mask", temp.Path("text.jpg")),
         "mask " + temp.Path("text.jpg") + ": is not a JPEG file"},
        {noLogo, "option --mask needs --logo"},
        {Plus(Args(), {"--zip", temp.Path("logo.jpg")}),
         "archive " + temp.Path("logo.jpg") + ": exists already"},
        {Plus(Args(), {"--zip", temp.Path("no/out.zip")}),
         "archive " + temp.Path("no/out.zip") + ": its folder does not exist"},
        {With(Args(), "--out", temp.Path("taken")),
         "output folder " + temp.Path("taken") + ": exists already"},
        {With(Args(), "--out", temp.Path("no/parent")),
         "output folder " + temp.Path("no/parent") + ": its parent folder does not exist"},
        {With(With(Args(), "--name", "Puzzle Build X=5"), "--build-x", "7"),
         "option --build-x: the wrapper would read \"5\" instead, because another value holds its "
         "key "
         "\"Build X=\""},
        {{"--game", temp.Path("game.exe"), "--name"}, "option --name needs a value"},
        {Plus(Args(), {"--id", "2"}), "option --id is given twice"},
        {{"--game", temp.Path("game.exe")}, "option --skin is missing"},
        {Without(all, "--game"), "option --game is missing"},
        {Without(all, "--name"), "option --name is missing"},
        {Without(all, "--channel"), "option --channel is missing"},
        {{"--check", temp.Path("out"), "--id", "1"}, "option --check takes no other options"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Package(c.args), c.problem);
        EXPECT_FALSE(std::filesystem::exists(temp.Path("out")));
        EXPECT_FALSE(std::filesystem::exists(temp.Path("out.partial")));
        EXPECT_FALSE(std::filesystem::exists(temp.Path("no")));
    }
}

TEST_F(Packager, CheckReportsWhatTheWrapperWouldDo) {
    ASSERT_EQ(Package(Args()), "");
    CheckReport report = CheckPackage(temp.Path("out"));
    EXPECT_TRUE(report.wouldStart) << report.text;
    EXPECT_EQ(report.text, "wrapper Puzzle.exe starts Puzzle.QXG\n"
                           "settings TarvelArcade\\QOX_002.wdt:\n"
                           "  Application Name=Puzzle\n"
                           "  Application ID=1001\n"
                           "  Developer Channel ID=7\n"
                           "  Font Color App Name=000000 (default)\n"
                           "  Font Color Wrapper Description=000000 (default)\n"
                           "  Font Color Buttons=000000 (default)\n"
                           "  Font Color Build=C3C3C3 (default)\n"
                           "  Build X=450 (default)\n"
                           "  Build Y=510 (default)\n"
                           "  Brand X=30\n"
                           "  Brand Y=22 (default)\n"
                           "  Multithreaded Game UI=false (default)\n"
                           "skin Background.jpg: 720x540\n"
                           "skin button_normal.jpg: 720x540\n"
                           "skin button_hover.jpg: 720x540\n"
                           "skin button_pressed.jpg: 720x540\n"
                           "branding Channel.dat: Branding.jpg shown through BrandingMask.jpg\n"
                           "services TarvelArcade.dll: present\n");
}

TEST_F(Packager, CheckNamesWhatWouldFail) {
    ASSERT_EQ(Package(Args()), "");
    std::string data = temp.Path("out/TarvelArcade/");
    std::string channel = std::filesystem::absolute(data + "Channel.dat").string();
    struct Case {
        std::string file, bytes;
        bool remove, wouldStart;
        std::string line;
    } cases[] = {
        {"out/Puzzle.QXG", "", true, false,
         "wrapper Puzzle.exe finds no Puzzle.QXG and no QOX_001.exe: the game cannot start\n"},
        {"out/TarvelArcade/QOX_002.wdt", "", true, false,
         "settings TarvelArcade\\QOX_002.wdt: missing, the wrapper stops with \"Could not get file "
         "size\"\n"},
        {"out/TarvelArcade/QOX_002.wdt", "Build X=300\nFont Color Build=0x00ff00", false, true,
         "  Font Color Build=00FF00\n  Build X=30\n"},
        {"out/TarvelArcade/button_hover.jpg", "", true, false,
         "skin button_hover.jpg: missing, the wrapper stops with \"Can't Load "
         "'button_hover.jpg'\"\n"},
        {"out/TarvelArcade/Background.jpg", "GIF", false, false,
         "skin Background.jpg: is not a JPEG file, the wrapper stops with \"Can't Load "
         "'Background.jpg'\"\n"},
        {"out/TarvelArcade/Channel.dat", "", true, true,
         "branding Channel.dat: missing, no branding\n"},
        {"out/TarvelArcade/TarvelArcade.dll", "", true, false,
         "services TarvelArcade.dll: missing\n"},
    };
    for (const Case& c : cases) {
        std::string saved = temp.Read(c.file);
        if (c.remove) {
            std::filesystem::remove(temp.Path(c.file));
        } else {
            temp.Write(c.file, c.bytes);
        }
        CheckReport report = CheckPackage(temp.Path("out"));
        EXPECT_EQ(report.wouldStart, c.wouldStart) << c.file;
        EXPECT_NE(report.text.find(c.line), std::string::npos) << report.text;
        temp.Write(c.file, saved);
    }
    struct Branding {
        ArchiveEntries entries;
        std::string line;
    } brandings[] = {
        {{{"Branding.jpg", Jpeg(245, 121)}}, "Branding.jpg is 245x121, not 245x120, no branding"},
        {{{"Other.jpg", Jpeg(245, 120)}}, "no entry Branding.jpg, no branding"},
        {{{"Branding.jpg", Jpeg(245, 120)}, {"BrandingMask.jpg", "x"}},
         "Branding.jpg shown, unmasked (BrandingMask.jpg is not a JPEG file)"},
    };
    for (const Branding& b : brandings) {
        std::filesystem::remove(channel);
        ASSERT_TRUE(WriteStoredArchive(channel, b.entries));
        CheckReport report = CheckPackage(temp.Path("out"));
        EXPECT_TRUE(report.wouldStart);
        EXPECT_NE(report.text.find("branding Channel.dat: " + b.line + "\n"), std::string::npos)
            << report.text;
    }
    EXPECT_FALSE(CheckPackage(temp.Path("none")).wouldStart);
}

} // namespace
