/* Runs functions of libvorbis, static ones included, on generated inputs and prints
   a hash of what each call wrote: built from two trees of libvorbis with the same
   compiler command, the two listings are equal exactly when every function computed
   the same bits (scripts/check-codec-patches).

   A file NAME_units.c includes libvorbis's NAME.c, so that it can call its static
   functions, and defines NAME_cases, a table of cases ended by a null name, which
   units.c lists. It is compiled with the command that compiled NAME.c. A case
   calls the function once on the input that `random` gives and passes every byte
   the call wrote to unit_output. Inputs come from this file's helpers, compiled
   once in units.c, so that the two builds compared feed the same values. */
#ifndef UNITS_H
#define UNITS_H

#include <stddef.h>
#include <stdint.h>

#include "vorbis/codec.h"
#include "codec_internal.h"
#include "psy.h"

/* An encoder as vorbis_analysis_init leaves it, for a rate and a VBR quality. */
struct unit_setup {
  long rate;
  float quality;
  vorbis_info vi;
  vorbis_dsp_state vd;
  vorbis_block vb;
};

/* xorshift32, seeded per case, set-up and input. */
struct unit_random {
  uint32_t state;
};

/* Longer than any block libvorbis analyses. */
#define UNIT_MAX_LINES 8192

struct unit_case {
  const char *name;
  void (*run)(struct unit_setup *setup, struct unit_random *random);
};

/* Adds the bytes to the hash of the current call. */
void unit_output(const void *bytes, size_t size);

/* An integer from low to high, both included. */
int unit_integer(struct unit_random *random, int low, int high);

/* Uniform in [low, high). */
float unit_uniform(struct unit_random *random, float low, float high);

/* n levels in dB around a level from low to high: a sloped noise floor, a few peaks,
   and now and then lines far outside the range. */
void unit_levels(struct unit_random *random, float *levels, int n, float low, float high);

/* One of the set-up's psychoacoustic looks (short and long blocks). */
vorbis_look_psy *unit_psy_look(struct unit_setup *setup, struct unit_random *random);

/* One of the set-up's floor 1 looks. */
vorbis_look_floor1 *unit_floor1_look(struct unit_setup *setup, struct unit_random *random);

#endif
