// ogg_packets decides whether the codec patches changed an encoding: its listings of two
// files must be equal exactly when their packets are, whatever the streams' serials.

#include <gtest/gtest.h>
#include <ogg/ogg.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "support.hpp"

namespace {

struct Packet {
    std::vector<unsigned char> bytes;
    std::int64_t granule = 0;
};

const std::vector<Packet> packets = {
    {.bytes = {1, 'v', 'o', 'r'}}, {.bytes = {3, 'v'}}, {.bytes = {0x42, 0x17, 0x99}, .granule = 128},
    {.bytes = {0x10, 0x20}, .granule = 576}, {.bytes = {0x7f}, .granule = 1000}};

// An Ogg file of `contents` in one stream with serial number `serial`, one page per packet.
std::vector<char> ogg_file(const std::vector<Packet>& contents, int serial) {
    ogg_stream_state stream;
    ogg_stream_init(&stream, serial);
    std::vector<char> file;
    for (std::size_t i = 0; i < contents.size(); ++i) {
        std::vector<unsigned char> bytes = contents[i].bytes;
        ogg_packet packet{bytes.data(), static_cast<long>(bytes.size()), i == 0, i + 1 == contents.size(),
                          contents[i].granule, static_cast<ogg_int64_t>(i)};
        ogg_stream_packetin(&stream, &packet);
        ogg_page page;
        while (ogg_stream_flush(&stream, &page) != 0) {
            file.insert(file.end(), page.header, page.header + page.header_len);
            file.insert(file.end(), page.body, page.body + page.body_len);
        }
    }
    ogg_stream_clear(&stream);
    return file;
}

ProcessResult list(const TempDir& dir, const std::string& name, const std::vector<char>& content) {
    std::ofstream(dir / name, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
    return run_process({OGG_PACKETS, utf8_text(dir / name)}, dir.path);
}

TEST(OggPackets, ListingsAreEqualExactlyWhenThePacketsAre) {
    struct Row {
        const char* change;
        std::vector<Packet> other;
        bool equal;
    };
    std::vector<Packet> byte = packets, granule = packets, missing = packets;
    byte[2].bytes[1] ^= 1;
    granule[3].granule += 1;
    missing.pop_back();
    const Row rows[] = {{.change = "another serial only", .other = packets, .equal = true},
                        {.change = "one bit of a packet", .other = byte, .equal = false},
                        {.change = "one granule position", .other = granule, .equal = false},
                        {.change = "the last packet missing", .other = missing, .equal = false}};
    TempDir dir;
    const ProcessResult reference = list(dir, "reference.ogg", ogg_file(packets, 1));
    ASSERT_EQ(reference.status, 0) << reference.err;
    for (const Row& row : rows) {
        const ProcessResult other = list(dir, "other.ogg", ogg_file(row.other, 2));
        EXPECT_EQ(other.status, 0) << row.change << ": " << other.err;
        EXPECT_EQ(other.out == reference.out, row.equal) << row.change << ":\n" << other.out;
    }
}

TEST(OggPackets, RefusesWhatIsNotOneOggStream) {
    TempDir dir;
    std::vector<char> two_streams = ogg_file(packets, 1);
    const std::vector<char> second = ogg_file(packets, 2);
    two_streams.insert(two_streams.end(), second.begin(), second.end());
    for (const auto& [name, content] : {std::pair{"text.ogg", std::vector<char>{'n', 'o'}}, {"two.ogg", two_streams}}) {
        EXPECT_EQ(list(dir, name, content).status, 1) << name;
    }
}

}  // namespace
