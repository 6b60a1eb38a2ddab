#include "ogg/encoder_session.hpp"

EncoderSession::~EncoderSession() {
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec_context);
    if (format_context != nullptr) {
        if (format_context->pb != nullptr) {
            avio_closep(&format_context->pb);
        }
        avformat_free_context(format_context);
    }
}
