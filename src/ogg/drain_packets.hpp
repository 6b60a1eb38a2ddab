#pragma once

#include "ogg/encoder_session.hpp"

// Writes every packet the encoder has ready into stream 0 of the muxer, with
// its timestamps rescaled to that stream's time base. Returns quietly when the
// encoder answers EAGAIN (needs more input) or EOF (finished); any other
// negative code, from the encoder or the muxer, throws as check_av does.
// Uses the session's format_context, codec_context and packet, never its frame.
void drain_packets(EncoderSession& session);
