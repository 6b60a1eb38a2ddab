// ogg_packets lists the packets of an Ogg file with one logical stream, one line each:
// packet number, granule position, size and a 64-bit FNV-1a hash of the bytes. Two
// encodings hold the same packets exactly when their listings are equal, whatever the
// stream's serial number and so the pages' checksums.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <vector>

#include <ogg/ogg.h>

namespace {

std::uint64_t fnv1a(const unsigned char* bytes, long size) {
    std::uint64_t hash = 0xcbf29ce484222325;
    for (long i = 0; i < size; ++i) {
        hash = (hash ^ bytes[i]) * 0x100000001b3;
    }
    return hash;
}

// Prints the packets of `file`; false, with a message, when it is not one whole Ogg stream.
bool list_packets(std::istream& file) {
    ogg_sync_state sync;
    ogg_stream_state stream;
    ogg_sync_init(&sync);
    bool started = false;
    bool whole = true;
    long count = 0;
    while (whole && file) {
        char* buffer = ogg_sync_buffer(&sync, 65536);
        file.read(buffer, 65536);
        ogg_sync_wrote(&sync, static_cast<long>(file.gcount()));
        ogg_page page;
        while (whole && ogg_sync_pageout(&sync, &page) == 1) {
            if (!started) {
                ogg_stream_init(&stream, ogg_page_serialno(&page));
                started = true;
            }
            whole = ogg_stream_pagein(&stream, &page) == 0;
            ogg_packet packet;
            int result;
            while (whole && (result = ogg_stream_packetout(&stream, &packet)) != 0) {
                whole = result == 1;
                if (whole) {
                    std::printf("%ld %lld %ld %016llx\n", count++, static_cast<long long>(packet.granulepos),
                                packet.bytes, static_cast<unsigned long long>(fnv1a(packet.packet, packet.bytes)));
                }
            }
        }
    }
    if (started) {
        ogg_stream_clear(&stream);
    }
    ogg_sync_clear(&sync);
    if (!whole || !started) {
        std::cerr << "ogg_packets: not one whole Ogg stream\n";
    }
    return whole && started;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::cerr << "Usage: ogg_packets file.ogg\n";
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::cerr << "ogg_packets: cannot open " << argv[1] << '\n';
        return 1;
    }
    return list_packets(file) ? 0 : 1;
}
