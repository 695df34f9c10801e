// packager: assembles a wrapped-game folder, or reports on one (--check).
#include "package_check.h"
#include "package_request.h"
#include "package_writer.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help") {
        std::fputs(kUsage, args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    PackageRequest request;
    std::string problem = ParseRequest(args, &request);
    if (!problem.empty()) {
        std::fprintf(stderr, "packager: %s\n%s", problem.c_str(), kUsage);
        return 2;
    }
    if (!request.check.empty()) {
        CheckReport report = CheckPackage(request.check);
        std::fputs(report.text.c_str(), stdout);
        return report.wouldStart ? 0 : 1;
    }
    std::error_code error;
    std::string folder = std::filesystem::absolute(argv[0], error).parent_path().string();
    problem = WritePackage(request, folder);
    if (!problem.empty()) {
        std::fprintf(stderr, "packager: %s; nothing was written\n", problem.c_str());
        return 1;
    }
    std::printf("packager: wrote %s\n", request.out.c_str());
    return 0;
}
