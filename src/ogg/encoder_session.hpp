#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

// The four FFmpeg objects of one write. Making it allocates the frame and the
// packet without testing them (the writer reports a null later); the contexts
// start null and are filled by the writer. Destroying it frees whatever the
// members hold, in this order: frame, packet, codec context, then the muxer's
// I/O context (which closes the output file) and the muxer context.
struct EncoderSession {
    AVFormatContext* format_context = nullptr;
    AVCodecContext* codec_context = nullptr;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();

    EncoderSession() = default;
    ~EncoderSession();
    EncoderSession(const EncoderSession&) = delete;
    EncoderSession& operator=(const EncoderSession&) = delete;
};
