// Replays inputs through a fuzz target without fuzzing: every file named on
// the command line, and every file in each folder named, so that seeds and
// kept crash inputs run as ordinary tests.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool ReplayFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    std::fprintf(stderr, "replay %s (%zu bytes)\n", path.c_str(), bytes.size());
    // An empty vector's data() may be null; the fuzzer never passes null.
    static const uint8_t none = 0;
    LLVMFuzzerTestOneInput(bytes.empty() ? &none : bytes.data(), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path path(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            for (const auto& item : std::filesystem::directory_iterator(path)) {
                if (item.is_regular_file()) {
                    if (!ReplayFile(item.path())) {
                        return 1;
                    }
                    ++replayed;
                }
            }
        } else {
            if (!ReplayFile(path)) {
                return 1;
            }
            ++replayed;
        }
    }
    // A folder that lost its files would otherwise pass without testing anything.
    if (replayed == 0) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    return 0;
}
