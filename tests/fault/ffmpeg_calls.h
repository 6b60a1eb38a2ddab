// The FFmpeg calls of the converter that the fault shim stands in for, one a line:
// KIND(name, return type, (parameters), (arguments)). CODE calls can be made to
// fail with a code, NULLABLE ones to return null; RELEASE calls are only logged;
// BY_HAND ones are written out in the shim. CMake reads the names from here.
NULLABLE(av_frame_alloc, AVFrame*, (), ())
NULLABLE(av_packet_alloc, AVPacket*, (), ())
CODE(avformat_alloc_output_context2, int, (AVFormatContext** a, const AVOutputFormat* b, const char* c, const char* d),
     (a, b, c, d))
NULLABLE(avcodec_find_encoder, const AVCodec*, (enum AVCodecID a), (a))
NULLABLE(avcodec_alloc_context3, AVCodecContext*, (const AVCodec* a), (a))
BY_HAND(avcodec_open2, int, (AVCodecContext* a, const AVCodec* b, AVDictionary** c), (a, b, c))
NULLABLE(avformat_new_stream, AVStream*, (AVFormatContext* a, const AVCodec* b), (a, b))
CODE(avcodec_parameters_from_context, int, (AVCodecParameters* a, const AVCodecContext* b), (a, b))
CODE(avio_open, int, (AVIOContext** a, const char* b, int c), (a, b, c))
CODE(avformat_write_header, int, (AVFormatContext* a, AVDictionary** b), (a, b))
CODE(av_channel_layout_copy, int, (AVChannelLayout* a, const AVChannelLayout* b), (a, b))
CODE(av_frame_get_buffer, int, (AVFrame* a, int b), (a, b))
CODE(av_frame_make_writable, int, (AVFrame* a), (a))
CODE(avcodec_send_frame, int, (AVCodecContext* a, const AVFrame* b), (a, b))
CODE(avcodec_receive_packet, int, (AVCodecContext* a, AVPacket* b), (a, b))
CODE(av_interleaved_write_frame, int, (AVFormatContext* a, AVPacket* b), (a, b))
CODE(av_write_trailer, int, (AVFormatContext* a), (a))
RELEASE(av_frame_free, void, (AVFrame** a), (a))
RELEASE(av_packet_free, void, (AVPacket** a), (a))
RELEASE(avcodec_free_context, void, (AVCodecContext** a), (a))
RELEASE(avio_closep, int, (AVIOContext** a), (a))
RELEASE(avformat_free_context, void, (AVFormatContext* a), (a))
