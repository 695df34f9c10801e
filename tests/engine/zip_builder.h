// Builds zip archives byte by byte, so tests can make sound ones and damage
// them on purpose.
#pragma once

#include "engine/zip_format.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct ZipItem {
    ZipItem(std::string itemName, std::string itemData, uint16_t itemMethod = 0,
            std::string local = "", std::string central = "", std::string itemComment = "")
        : name(std::move(itemName)), data(std::move(itemData)), method(itemMethod),
          localExtra(std::move(local)), centralExtra(std::move(central)),
          comment(std::move(itemComment)) {}

    std::string name;
    std::string data;
    uint16_t method;
    std::string localExtra;
    std::string centralExtra;
    std::string comment;
};

inline void Append16(std::string& out, uint32_t v) {
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}

inline void Append32(std::string& out, uint32_t v) {
    Append16(out, v & 0xFFFF);
    Append16(out, v >> 16);
}

inline uint32_t Crc32(const std::string& data) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : data) {
        crc ^= b;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) != 0 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        }
    }
    return ~crc;
}

inline std::string BuildZip(const std::vector<ZipItem>& items,
                            uint32_t endSignature = zip::kEndSignature,
                            const std::string& archiveComment = "") {
    std::string out;
    std::string directory;
    for (const ZipItem& item : items) {
        uint32_t offset = uint32_t(out.size());
        uint32_t crc = Crc32(item.data);
        Append32(out, zip::kLocalSignature);
        Append16(out, 10);
        Append16(out, 0);
        Append16(out, item.method);
        Append32(out, 0);
        Append32(out, crc);
        Append32(out, uint32_t(item.data.size()));
        Append32(out, uint32_t(item.data.size()));
        Append16(out, uint32_t(item.name.size()));
        Append16(out, uint32_t(item.localExtra.size()));
        out += item.name + item.localExtra + item.data;

        Append32(directory, zip::kCentralSignature);
        Append16(directory, 20);
        Append16(directory, 10);
        Append16(directory, 0);
        Append16(directory, item.method);
        Append32(directory, 0);
        Append32(directory, crc);
        Append32(directory, uint32_t(item.data.size()));
        Append32(directory, uint32_t(item.data.size()));
        Append16(directory, uint32_t(item.name.size()));
        Append16(directory, uint32_t(item.centralExtra.size()));
        Append16(directory, uint32_t(item.comment.size()));
        Append16(directory, 0);
        Append16(directory, 0);
        Append32(directory, 0);
        Append32(directory, offset);
        directory += item.name + item.centralExtra + item.comment;
    }
    uint32_t start = uint32_t(out.size());
    out += directory;
    Append32(out, endSignature);
    Append32(out, 0);
    Append16(out, uint32_t(items.size()));
    Append16(out, uint32_t(items.size()));
    Append32(out, uint32_t(directory.size()));
    Append32(out, start);
    Append16(out, uint32_t(archiveComment.size()));
    return out + archiveComment;
}
