// A fresh folder for one test's files, removed again with everything in it.
#pragma once

#include "engine/paths.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class TempFolder {
  public:
    TempFolder() {
        static std::atomic<unsigned> serial{0};
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        root = std::filesystem::temp_directory_path() /
               ("engine-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
        std::filesystem::create_directories(root);
    }
    ~TempFolder() {
        // Read-only files would stop the removal on Windows.
        std::error_code error;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error)) {
            SetReadOnly(entry.path().string().c_str(), false);
        }
        std::filesystem::remove_all(root, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string Path(const std::string& name = "") const { return (root / name).string(); }

    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream out(root / name, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
    }

    std::string Read(const std::string& name) const {
        std::ifstream in(root / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

  private:
    std::filesystem::path root;
};
