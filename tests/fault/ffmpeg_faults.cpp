// Linked only into the fault-injected copy of the tool, with -Wl,--wrap=NAME for
// every FFmpeg function below, so the writer's calls land here first.
//
// BRINDLEWOOD_FAULT="name:call:code" makes the call-th use of `name` fail without
// doing its work: an allocator or avcodec_find_encoder returns null, any other
// function returns `code`. "avcodec_send_frame(null)" names the end-of-stream
// signal, counted apart from the frames; "zero_frame_size" (call and code unused)
// lets avcodec_open2 succeed and then sets the encoder's frame_size to 0.
// BRINDLEWOOD_FAULT_LOG=path appends the name of every wrapped call, frees
// included, one per line, so a test can see how far the writer got.

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

struct Fault {
    std::string name;
    long call = 0;
    int code = 0;
};

Fault parse_fault(const char* text) {
    Fault fault;
    if (text == nullptr) {
        return fault;
    }
    const std::string setting = text;
    const std::size_t first = setting.find(':');
    const std::size_t second = setting.find(':', first + 1);
    fault.name = setting.substr(0, first);
    if (second != std::string::npos) {
        fault.call = std::stol(setting.substr(first + 1, second - first - 1));
        fault.code = std::stoi(setting.substr(second + 1));
    }
    return fault;
}

const Fault& planned_fault() {
    static const Fault fault = parse_fault(std::getenv("BRINDLEWOOD_FAULT"));
    return fault;
}

void log_call(const char* name) {
    if (const char* log = std::getenv("BRINDLEWOOD_FAULT_LOG")) {
        std::ofstream(log, std::ios::app) << name << '\n';
    }
}

// Logs the call and tells whether this use of `name` is the one planned to fail.
bool fails_now(const char* name) {
    log_call(name);
    static std::map<std::string, long> calls;
    const long call = ++calls[name];
    return planned_fault().name == name && planned_fault().call == call;
}

int injected_code() { return planned_fault().code; }

}  // namespace

extern "C" {

int __real_avformat_alloc_output_context2(AVFormatContext** context, const AVOutputFormat* format,
                                          const char* format_name, const char* filename);
const AVCodec* __real_avcodec_find_encoder(enum AVCodecID id);
AVFrame* __real_av_frame_alloc();
AVPacket* __real_av_packet_alloc();
AVCodecContext* __real_avcodec_alloc_context3(const AVCodec* codec);
int __real_avcodec_open2(AVCodecContext* context, const AVCodec* codec, AVDictionary** options);
AVStream* __real_avformat_new_stream(AVFormatContext* context, const AVCodec* codec);
int __real_avcodec_parameters_from_context(AVCodecParameters* parameters, const AVCodecContext* context);
int __real_avio_open(AVIOContext** io, const char* url, int flags);
int __real_avformat_write_header(AVFormatContext* context, AVDictionary** options);
int __real_av_channel_layout_copy(AVChannelLayout* destination, const AVChannelLayout* source);
int __real_av_frame_get_buffer(AVFrame* frame, int align);
int __real_av_frame_make_writable(AVFrame* frame);
int __real_avcodec_send_frame(AVCodecContext* context, const AVFrame* frame);
int __real_avcodec_receive_packet(AVCodecContext* context, AVPacket* packet);
int __real_av_interleaved_write_frame(AVFormatContext* context, AVPacket* packet);
int __real_av_write_trailer(AVFormatContext* context);
void __real_av_frame_free(AVFrame** frame);
void __real_av_packet_free(AVPacket** packet);
void __real_avcodec_free_context(AVCodecContext** context);
int __real_avio_closep(AVIOContext** io);
void __real_avformat_free_context(AVFormatContext* context);

int __wrap_avformat_alloc_output_context2(AVFormatContext** context, const AVOutputFormat* format,
                                          const char* format_name, const char* filename) {
    if (fails_now("avformat_alloc_output_context2")) {
        *context = nullptr;
        return injected_code();
    }
    return __real_avformat_alloc_output_context2(context, format, format_name, filename);
}

const AVCodec* __wrap_avcodec_find_encoder(enum AVCodecID id) {
    return fails_now("avcodec_find_encoder") ? nullptr : __real_avcodec_find_encoder(id);
}

AVFrame* __wrap_av_frame_alloc() { return fails_now("av_frame_alloc") ? nullptr : __real_av_frame_alloc(); }

AVPacket* __wrap_av_packet_alloc() { return fails_now("av_packet_alloc") ? nullptr : __real_av_packet_alloc(); }

AVCodecContext* __wrap_avcodec_alloc_context3(const AVCodec* codec) {
    return fails_now("avcodec_alloc_context3") ? nullptr : __real_avcodec_alloc_context3(codec);
}

int __wrap_avcodec_open2(AVCodecContext* context, const AVCodec* codec, AVDictionary** options) {
    if (fails_now("avcodec_open2")) {
        return injected_code();
    }
    const int result = __real_avcodec_open2(context, codec, options);
    if (result >= 0 && planned_fault().name == "zero_frame_size") {
        context->frame_size = 0;
    }
    return result;
}

AVStream* __wrap_avformat_new_stream(AVFormatContext* context, const AVCodec* codec) {
    return fails_now("avformat_new_stream") ? nullptr : __real_avformat_new_stream(context, codec);
}

int __wrap_avcodec_parameters_from_context(AVCodecParameters* parameters, const AVCodecContext* context) {
    return fails_now("avcodec_parameters_from_context") ? injected_code()
                                                         : __real_avcodec_parameters_from_context(parameters, context);
}

int __wrap_avio_open(AVIOContext** io, const char* url, int flags) {
    return fails_now("avio_open") ? injected_code() : __real_avio_open(io, url, flags);
}

int __wrap_avformat_write_header(AVFormatContext* context, AVDictionary** options) {
    return fails_now("avformat_write_header") ? injected_code() : __real_avformat_write_header(context, options);
}

int __wrap_av_channel_layout_copy(AVChannelLayout* destination, const AVChannelLayout* source) {
    return fails_now("av_channel_layout_copy") ? injected_code() : __real_av_channel_layout_copy(destination, source);
}

int __wrap_av_frame_get_buffer(AVFrame* frame, int align) {
    return fails_now("av_frame_get_buffer") ? injected_code() : __real_av_frame_get_buffer(frame, align);
}

int __wrap_av_frame_make_writable(AVFrame* frame) {
    return fails_now("av_frame_make_writable") ? injected_code() : __real_av_frame_make_writable(frame);
}

int __wrap_avcodec_send_frame(AVCodecContext* context, const AVFrame* frame) {
    const char* name = frame == nullptr ? "avcodec_send_frame(null)" : "avcodec_send_frame";
    return fails_now(name) ? injected_code() : __real_avcodec_send_frame(context, frame);
}

int __wrap_avcodec_receive_packet(AVCodecContext* context, AVPacket* packet) {
    return fails_now("avcodec_receive_packet") ? injected_code() : __real_avcodec_receive_packet(context, packet);
}

int __wrap_av_interleaved_write_frame(AVFormatContext* context, AVPacket* packet) {
    return fails_now("av_interleaved_write_frame") ? injected_code() : __real_av_interleaved_write_frame(context, packet);
}

int __wrap_av_write_trailer(AVFormatContext* context) {
    return fails_now("av_write_trailer") ? injected_code() : __real_av_write_trailer(context);
}

void __wrap_av_frame_free(AVFrame** frame) {
    log_call("av_frame_free");
    __real_av_frame_free(frame);
}

void __wrap_av_packet_free(AVPacket** packet) {
    log_call("av_packet_free");
    __real_av_packet_free(packet);
}

void __wrap_avcodec_free_context(AVCodecContext** context) {
    log_call("avcodec_free_context");
    __real_avcodec_free_context(context);
}

int __wrap_avio_closep(AVIOContext** io) {
    log_call("avio_closep");
    return __real_avio_closep(io);
}

void __wrap_avformat_free_context(AVFormatContext* context) {
    log_call("avformat_free_context");
    __real_avformat_free_context(context);
}

}  // extern "C"
