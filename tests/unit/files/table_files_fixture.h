#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "files/table_file.h"
#include "image/default_tables.h"
#include "temp_folder.h"

namespace kxp40s::testing {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class TableFiles : public TempFolderTest {
  protected:
    fs::path path(const char* name) const { return folder_ / name; }

    static void writeBytes(const fs::path& p, const Bytes& bytes) {
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    static Bytes readBytes(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static Bytes imageBytes(const Image& image) {
        return Bytes(image.bytes().begin(), image.bytes().end());
    }

    // A table of `size` bytes: the default image's bytes, then a counting pattern.
    static Bytes tableOfSize(std::size_t size) {
        Bytes bytes = imageBytes(defaultImage());
        bytes.resize(size);
        for (std::size_t i = 2048; i < size; ++i)
            bytes[i] = static_cast<std::uint8_t>(i * 7);
        return bytes;
    }

    // A file the program must refuse, and the warning it must give.
    struct Refusal {
        const char* name;
        fs::path file;
        std::string message;
    };
    static void expectRefused(std::span<const Refusal> refusals) {
        for (const auto& r : refusals) {
            SCOPED_TRACE(r.name);
            const TableRead read = readTableFile(r.file);
            EXPECT_FALSE(read.image);
            ASSERT_TRUE(read.message);
            EXPECT_EQ(read.message->text, r.message);
            EXPECT_EQ(read.message->title, "KXP40S V05.12");
            EXPECT_EQ(read.message->icon, Icon::Exclamation);
        }
    }
};

}  // namespace kxp40s::testing
