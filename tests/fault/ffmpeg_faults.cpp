// The fault shim: the fault-injected tool's converter calls fault_<name> for each function of
// ffmpeg_calls.h. BRINDLEWOOD_FAULT="name:call:code" makes the call-th use of `name` fail without
// doing its work, returning the code named as in errno.h or FFmpeg's AVERROR_ names, in this
// platform's numbers ("none" for allocators; "zero_frame_size:0:none": the opened encoder
// reports a frame size of 0). BRINDLEWOOD_FAULT_LOG=path gets the name of every call, one a
// line, after "planted: " and FFmpeg's description of a code it returns.

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

const std::string fault = std::getenv("BRINDLEWOOD_FAULT") ? std::getenv("BRINDLEWOOD_FAULT") : "";

void log_call(const std::string& name) {
    const char* log = std::getenv("BRINDLEWOOD_FAULT_LOG");
    if (log != nullptr) std::ofstream(log, std::ios::app | std::ios::binary) << name << '\n';
}

int fault_code() {
    static const std::map<std::string, int> codes = {
        {"none", 0}, {"EACCES", AVERROR(EACCES)}, {"EAGAIN", AVERROR(EAGAIN)}, {"EINVAL", AVERROR(EINVAL)},
        {"EIO", AVERROR(EIO)}, {"ENOMEM", AVERROR(ENOMEM)}, {"ENOSPC", AVERROR(ENOSPC)},
        {"EOF", AVERROR_EOF}, {"MUXER_NOT_FOUND", AVERROR_MUXER_NOT_FOUND}};
    return codes.at(fault.substr(fault.rfind(':') + 1));
}

// Logs the call and tells whether this use of `name` is the one planned to fail.
bool fails_now(const std::string& name) {
    static std::map<std::string, int> calls;
    const bool planned = fault.starts_with(name + ":" + std::to_string(++calls[name]) + ":");
    if (planned && fault_code() != 0) {
        char description[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(fault_code(), description, sizeof description);
        log_call(std::string("planted: ") + description);
    }
    log_call(name);
    return planned;
}

}  // namespace

// CODE calls fail with the fault's code, NULLABLE ones with null, BY_HAND ones are written out
// below; RELEASE calls are only logged.
#define CODE(name, type, params, args) \
    extern "C" type fault_##name params { return fails_now(#name) ? fault_code() : name args; }
#define NULLABLE(name, type, params, args) \
    extern "C" type fault_##name params { return fails_now(#name) ? nullptr : name args; }
#define RELEASE(name, type, params, args) \
    extern "C" type fault_##name params { return log_call(#name), name args; }
#define BY_HAND(name, type, params, args) extern "C" type fault_##name params;
#include "ffmpeg_calls.h"

int fault_avcodec_open2(AVCodecContext* context, const AVCodec* codec, AVDictionary** options) {
    if (fails_now("avcodec_open2")) return fault_code();
    const int result = avcodec_open2(context, codec, options);
    if (result >= 0 && fault.starts_with("zero_frame_size:")) context->frame_size = 0;
    return result;
}
