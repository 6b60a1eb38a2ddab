// A process that only loads the FFmpeg libraries the converter links.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

int main() {
    return avformat_version() && avcodec_version() && avutil_version() ? 0 : 1;
}
