#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "ild/ps_adpcm.hpp"

namespace {

std::array<std::uint8_t, 16> block_from_hex(const std::string& hex) {
    std::array<std::uint8_t, 16> block{};
    std::istringstream in(hex);
    for (std::uint8_t& byte : block) {
        unsigned value = 0;
        in >> std::hex >> value;
        byte = static_cast<std::uint8_t>(value);
    }
    return block;
}

std::vector<std::int32_t> repeat(std::int32_t value, std::size_t count) {
    return std::vector<std::int32_t>(count, value);
}

std::vector<std::int32_t> join(std::vector<std::int32_t> head, const std::vector<std::int32_t>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

struct DecodeCase {
    std::string name;
    AdpcmChannelState start;
    std::vector<std::string> blocks;      // decoded one after another on one channel
    std::vector<std::int32_t> expected;   // 16-bit samples of all blocks
    AdpcmChannelState end;

    friend void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }
};

const std::string zeros14 = "00 00 00 00 00 00 00 00 00 00 00 00 00 00";
const std::string nibble_ramp = "10 32 54 76 98 BA DC FE 00 00 00 00 00 00";
const std::vector<std::int32_t> clipping_block = {
    28672,  32767,  32767,  31743,  -2977,  -32768, -32768, -32768, -32768, -32768,
    -31744, -29792, -27031, -23598, -19642, -15319, -10787, -6201,  -1708,  2558,
    6477,   9949,   12893,  15250,  16983,  18077,  18538,  18391};
const std::vector<std::int32_t> decaying_block = {
    17678, 16457, 14798, 12780, 10489, 8013,  5441,  2860,   351,    -2012,
    -4164, -6051, -7631, -8874, -9762, -10289, -10462, -10297, -9821, -9068,
    -8079, -6899, -5577, -4163, -2707, -1257, 142,    1449};
// Codes 0..7 then -8..-1 (the nibble ramp) at shift 12 and at shift 0.
const std::vector<std::int32_t> codes_at_shift_12 =
    join({0, 1, 2, 3, 4, 5, 6, 7, -8, -7, -6, -5, -4, -3, -2, -1}, repeat(0, 12));
const std::vector<std::int32_t> codes_at_shift_0 =
    join({0, 4096, 8192, 12288, 16384, 20480, 24576, 28672, -32768, -28672, -24576, -20480, -16384,
          -12288, -8192, -4096}, repeat(0, 12));
const std::string clipping_hex = "40 00 77 00 88 88 88 00 00 00 00 00 00 00 00 00";
const std::string predict_only_hex = "4C 00 " + zeros14;

const std::vector<DecodeCase> decode_cases = {
    {"silence", {}, {"00 00 " + zeros14}, repeat(0, 28), {0, 0}},
    {"codes_low_nibble_first_and_signed", {}, {"0C 00 " + nibble_ramp}, codes_at_shift_12, {0, 0}},
    {"shift_zero_full_scale", {}, {"00 06 " + nibble_ramp}, codes_at_shift_0, {0, 0}},
    {"flags_below_seven_change_nothing", {}, {"00 00 " + nibble_ramp}, codes_at_shift_0, {0, 0}},
    {"negative_prediction_rounds_down",
     {}, {"1C 00 9F 00 00 00 00 00 00 00 00 00 00 00 00 00"},
     join({-1, -8}, repeat(-7, 26)), {-7, -7}},
    {"clamps_both_ways", {}, {clipping_hex}, clipping_block, {18391, 18538}},
    {"history_carries_into_next_block",
     {}, {clipping_hex, predict_only_hex}, join(clipping_block, decaying_block), {1449, 142}},
    {"predictor_zero_ignores_history", {18391, 18538}, {"0C 00 " + nibble_ramp}, codes_at_shift_12, {0, 0}},
    {"flag_seven_silences_and_resets_history",
     {18391, 18538}, {"4C 07 77 77 77 77 77 77 77 77 77 77 77 77 77 77", predict_only_hex},
     repeat(0, 56), {0, 0}},
};

class DecodeBlocks : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeBlocks, GivesExactSamplesAndState) {
    const DecodeCase& c = GetParam();
    AdpcmChannelState state = c.start;
    std::vector<float> samples = {0.5f};  // decoding appends after what is there
    for (const std::string& hex : c.blocks) {
        decode_ps_adpcm_block(block_from_hex(hex), state, samples);
    }
    std::vector<float> expected = {0.5f};
    for (std::int32_t sample : c.expected) {
        expected.push_back(static_cast<float>(sample) / 32768.0f);
    }
    EXPECT_EQ(samples, expected);
    EXPECT_EQ(state.hist1, c.end.hist1);
    EXPECT_EQ(state.hist2, c.end.hist2);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, DecodeBlocks, testing::ValuesIn(decode_cases),
                         [](const auto& info) { return info.param.name; });

struct HeaderCase {
    std::string header;  // bytes 0 and 1
    bool accepted;

    friend void PrintTo(const HeaderCase& c, std::ostream* os) { *os << c.header; }
};

class BlockHeaders : public testing::TestWithParam<HeaderCase> {};

TEST_P(BlockHeaders, RejectBeforeTouchingAnything) {
    const HeaderCase& c = GetParam();
    AdpcmChannelState state{123, -456};
    std::vector<float> samples = {0.25f};
    const auto block = block_from_hex(c.header + " " + zeros14);
    if (c.accepted) {
        decode_ps_adpcm_block(block, state, samples);
        EXPECT_EQ(samples.size(), 29u);
        return;
    }
    try {
        decode_ps_adpcm_block(block, state, samples);
        FAIL() << "block " << c.header << " was accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Invalid PS ADPCM block");
    }
    EXPECT_EQ(samples, std::vector<float>{0.25f});
    EXPECT_EQ(state.hist1, 123);
    EXPECT_EQ(state.hist2, -456);
}

INSTANTIATE_TEST_SUITE_P(Validation, BlockHeaders,
                         testing::Values(HeaderCase{"4C 07", true}, HeaderCase{"4C 00", true},
                                         HeaderCase{"50 00", false}, HeaderCase{"0D 00", false},
                                         HeaderCase{"F0 00", false}, HeaderCase{"00 08", false},
                                         HeaderCase{"00 FF", false}));

}  // namespace
