// The not-found report as a real box: its caption and text read from the
// window, answered with OK, and the process's exit code.
#include "harness.h"
#include "not_found_report.h"

#include <gtest/gtest.h>

#include <string>

using namespace harness;

namespace {

TEST(NotFoundReport, BoxShowsTheReportAndTheProgramExitsWithMinusOne) {
    struct Case {
        int count;
        std::string name;
    };
    const Case cases[] = {
        {0, "missing.dat"},
        {3, "missing.dat"},
        {10, "art/Missing Picture.jpg"},
        {11, "missing.dat"},
        {2, std::string(300, 'n') + ".dat"}, // longer than a path buffer
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        Process probe(BuildFolder() + "not_found_probe.exe",
                      std::to_string(c.count) + " \"" + c.name + "\"", BuildFolder());
        MessageBoxSeen box = probe.WaitForMessageBox();
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.caption, "Fatal Not Found Error");
        EXPECT_EQ(box.text, not_found::ExpectedReport(c.name, not_found::ItemNames(c.count)));
        EXPECT_TRUE(probe.IsRunning()) << "the box waits for its answer";
        probe.Answer(box, IDOK);
        EXPECT_EQ(probe.WaitForExit(), 0xFFFFFFFFu);
    }
}

} // namespace
