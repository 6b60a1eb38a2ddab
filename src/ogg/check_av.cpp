#include "ogg/check_av.hpp"

#include <stdexcept>

extern "C" {
#include <libavutil/error.h>
}

void check_av(int result) {
    if (result >= 0) {
        return;
    }
    char description[64] = {};
    av_strerror(result, description, sizeof description);
    throw std::runtime_error(description);
}
