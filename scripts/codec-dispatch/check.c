/* Tells which copy of a joined libvorbis the library's own names run. The same two
   seconds of sound are encoded through those names and through each copy named on the
   command line (x86_64, x86_64_v3: the copies this CPU can run), and the program prints
   the copy whose packets the plain names' packets equal, "none" if no copy's do, or
   "alike" if two copies write the same packets, which would prove nothing. */
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "vorbis/vorbisenc.h"

/* The calls of one encode, under a copy's prefix (or none: the library's names). */
#define DECLARE(p)                                                                  \
    void p##vorbis_info_init(vorbis_info *);                                        \
    void p##vorbis_info_clear(vorbis_info *);                                       \
    int p##vorbis_encode_init_vbr(vorbis_info *, long, long, float);                \
    int p##vorbis_analysis_init(vorbis_dsp_state *, vorbis_info *);                 \
    int p##vorbis_block_init(vorbis_dsp_state *, vorbis_block *);                   \
    float **p##vorbis_analysis_buffer(vorbis_dsp_state *, int);                     \
    int p##vorbis_analysis_wrote(vorbis_dsp_state *, int);                          \
    int p##vorbis_analysis_blockout(vorbis_dsp_state *, vorbis_block *);            \
    int p##vorbis_analysis(vorbis_block *, ogg_packet *);                           \
    int p##vorbis_bitrate_addblock(vorbis_block *);                                 \
    int p##vorbis_bitrate_flushpacket(vorbis_dsp_state *, ogg_packet *);            \
    int p##vorbis_block_clear(vorbis_block *);                                      \
    void p##vorbis_dsp_clear(vorbis_dsp_state *);

enum { rate = 44100, frames = 2 * rate, chunk = 1024 };

/* Chords that change every half second over a little noise: the same on every CPU. */
static float sample(int channel, int i)
{
    uint32_t noise = (uint32_t)(i * 2 + channel) * 2654435761u;
    int chord = i / (rate / 2);
    float t = (float)i / rate, value = 0.f;
    int voice;
    for (voice = 1; voice <= 3; voice++)
        value += 0.2f * sinf(6.2831853f * t * (110.f + 55.f * (float)((chord + voice * 3) % 7) * voice + channel));
    noise ^= noise >> 15;
    return value + (float)(noise >> 8) / 16777216.f * 0.02f - 0.01f;
}

static uint64_t hash_bytes(uint64_t hash, const unsigned char *bytes, long size)
{
    long i;
    for (i = 0; i < size; i++) hash = (hash ^ bytes[i]) * 0x100000001b3u;
    return hash;
}

#define ENCODER(p)                                                                  \
    DECLARE(p)                                                                      \
    static uint64_t encode_##p(void)                                                \
    {                                                                               \
        vorbis_info vi;                                                             \
        vorbis_dsp_state vd;                                                        \
        vorbis_block vb;                                                            \
        ogg_packet packet;                                                          \
        uint64_t hash = 0xcbf29ce484222325u;                                        \
        int done = 0, i, c;                                                         \
        p##vorbis_info_init(&vi);                                                   \
        if (p##vorbis_encode_init_vbr(&vi, 2, rate, 0.5f)) return 0;                \
        p##vorbis_analysis_init(&vd, &vi);                                          \
        p##vorbis_block_init(&vd, &vb);                                             \
        for (;;) {                                                                  \
            int n = frames - done < chunk ? frames - done : chunk;                  \
            if (n > 0) {                                                            \
                float **buffer = p##vorbis_analysis_buffer(&vd, n);                 \
                for (c = 0; c < 2; c++)                                             \
                    for (i = 0; i < n; i++) buffer[c][i] = sample(c, done + i);     \
            }                                                                       \
            p##vorbis_analysis_wrote(&vd, n);                                       \
            done += n;                                                              \
            while (p##vorbis_analysis_blockout(&vd, &vb) == 1) {                    \
                p##vorbis_analysis(&vb, NULL);                                      \
                p##vorbis_bitrate_addblock(&vb);                                    \
                while (p##vorbis_bitrate_flushpacket(&vd, &packet))                 \
                    hash = hash_bytes(hash, packet.packet, packet.bytes);           \
            }                                                                       \
            if (n == 0) break;                                                      \
        }                                                                           \
        p##vorbis_block_clear(&vb);                                                 \
        p##vorbis_dsp_clear(&vd);                                                   \
        p##vorbis_info_clear(&vi);                                                  \
        return hash;                                                                \
    }

ENCODER()
ENCODER(x86_64__)
ENCODER(x86_64_v3__)

int main(int argc, char **argv)
{
    uint64_t plain = encode_(), copies[2];
    const char *names[2];
    int count = 0, i;
    for (i = 1; i < argc && count < 2; i++) {
        names[count] = argv[i];
        if (!strcmp(argv[i], "x86_64")) copies[count++] = encode_x86_64__();
        else if (!strcmp(argv[i], "x86_64_v3")) copies[count++] = encode_x86_64_v3__();
    }
    if (count == 2 && copies[0] == copies[1]) {
        puts("alike");
        return 0;
    }
    for (i = 0; i < count; i++)
        if (copies[i] == plain) {
            puts(names[i]);
            return 0;
        }
    puts("none");
    return 0;
}
