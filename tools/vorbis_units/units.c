/* The driver: an encoder set up per rate and quality, then each case on
   inputs_per_setup inputs of each set-up, one line per call:
   "case rate quality input hash". */
#include <stdio.h>
#include <string.h>

#include "units.h"
#include "vorbis/vorbisenc.h"

extern const struct unit_case psy_cases[], floor1_cases[], res0_cases[];
static const struct unit_case *const files[] = {psy_cases, floor1_cases, res0_cases};

/* The table's rates and others between them, up to what the reader takes. */
static const long rates[] = {8000,  8001,  11025, 16000, 22050, 24000,  32000,  37800,
                             44056, 44100, 48000, 88200, 96000, 176400, 191999, 192000};
static const float qualities[] = {0.1f, 0.65f, 1.0f};
enum { inputs_per_setup = 24 };

static uint64_t hash;

static void hash_bytes(const void *bytes, size_t size)
{
  const unsigned char *byte = bytes;
  size_t i;
  for (i = 0; i < size; i++) hash = (hash ^ byte[i]) * 0x100000001b3u;
}

void unit_output(const void *bytes, size_t size)
{
  hash_bytes(bytes, size);
}

static uint32_t next(struct unit_random *random)
{
  uint32_t x = random->state;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  return random->state = x;
}

int unit_integer(struct unit_random *random, int low, int high)
{
  return low + (int)(next(random) % (uint32_t)(high - low + 1));
}

float unit_uniform(struct unit_random *random, float low, float high)
{
  /* 24 bits: exact as a float */
  float fraction = (float)(next(random) >> 8) / 16777216.0f;
  return low + (high - low) * fraction;
}

void unit_levels(struct unit_random *random, float *levels, int n, float low, float high)
{
  float level = unit_uniform(random, low, high);
  float slope = unit_uniform(random, -40.f, 10.f) / (float)n;
  float spread = unit_uniform(random, 0.f, 20.f);
  int peaks = unit_integer(random, 0, 16), i;
  for (i = 0; i < n; i++)
    levels[i] = level + slope * (float)i + unit_uniform(random, -spread, spread);
  for (i = 0; i < peaks; i++)
    levels[unit_integer(random, 0, n - 1)] += unit_uniform(random, 0.f, 60.f);
  if (unit_integer(random, 0, 3) == 0)
    for (i = 0; i < 4; i++)
      levels[unit_integer(random, 0, n - 1)] = unit_uniform(random, -400.f, 200.f);
}

vorbis_look_psy *unit_psy_look(struct unit_setup *setup, struct unit_random *random)
{
  private_state *state = setup->vd.backend_state;
  codec_setup_info *info = setup->vi.codec_setup;
  return state->psy + unit_integer(random, 0, info->psys - 1);
}

vorbis_look_floor1 *unit_floor1_look(struct unit_setup *setup, struct unit_random *random)
{
  private_state *state = setup->vd.backend_state;
  codec_setup_info *info = setup->vi.codec_setup;
  int floor = unit_integer(random, 0, info->floors - 1);
  while (info->floor_type[floor] != 1) floor = (floor + 1) % info->floors;
  return (vorbis_look_floor1 *)state->flr[floor];
}

static int set_up(struct unit_setup *setup, long rate, float quality)
{
  setup->rate = rate;
  setup->quality = quality;
  vorbis_info_init(&setup->vi);
  if (vorbis_encode_init_vbr(&setup->vi, 2, rate, quality)) return 0;
  vorbis_analysis_init(&setup->vd, &setup->vi);
  vorbis_block_init(&setup->vd, &setup->vb);
  return 1;
}

static void tear_down(struct unit_setup *setup)
{
  vorbis_block_clear(&setup->vb);
  vorbis_dsp_clear(&setup->vd);
  vorbis_info_clear(&setup->vi);
}

static void run_case(const struct unit_case *unit, struct unit_setup *setup)
{
  int input;
  for (input = 0; input < inputs_per_setup; input++) {
    struct unit_random random;
    hash = 0xcbf29ce484222325u;
    hash_bytes(unit->name, strlen(unit->name));
    hash_bytes(&setup->rate, sizeof setup->rate);
    hash_bytes(&setup->quality, sizeof setup->quality);
    hash_bytes(&input, sizeof input);
    random.state = (uint32_t)(hash ^ hash >> 32) | 1u;
    unit->run(setup, &random);
    printf("%s %ld %.2f %d %016llx\n", unit->name, setup->rate, setup->quality, input,
           (unsigned long long)hash);
  }
}

int main(void)
{
  size_t r, q, f;
  const struct unit_case *unit;
  for (r = 0; r < sizeof rates / sizeof *rates; r++) {
    for (q = 0; q < sizeof qualities / sizeof *qualities; q++) {
      struct unit_setup setup;
      if (!set_up(&setup, rates[r], qualities[q])) {
        printf("no set-up %ld %.2f\n", rates[r], qualities[q]);
        vorbis_info_clear(&setup.vi);
        continue;
      }
      for (f = 0; f < sizeof files / sizeof *files; f++)
        for (unit = files[f]; unit->name; unit++) run_case(unit, &setup);
      tear_down(&setup);
    }
  }
  return 0;
}
