#include "ogg/drain_packets.hpp"

#include "ogg/check_av.hpp"

void drain_packets(EncoderSession& session) {
    int result = avcodec_receive_packet(session.codec_context, session.packet);
    while (result != AVERROR(EAGAIN) && result != AVERROR_EOF) {
        check_av(result);
        // Read from the stream each time: the muxer may change it when writing the header.
        av_packet_rescale_ts(session.packet, session.codec_context->time_base,
                             session.format_context->streams[0]->time_base);
        session.packet->stream_index = 0;
        check_av(av_interleaved_write_frame(session.format_context, session.packet));
        av_packet_unref(session.packet);
        result = avcodec_receive_packet(session.codec_context, session.packet);
    }
}
