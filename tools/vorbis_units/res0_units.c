/* res0.c's coding of residue vectors by the set-up's books. */
#include "res0.c"

#include "units.h"

/* One of the books that a residue of the set-up codes its partitions with. */
static codebook *partition_book(struct unit_setup *setup, struct unit_random *random)
{
  private_state *state = setup->vd.backend_state;
  codec_setup_info *info = setup->vi.codec_setup;
  codebook *books[64 * 8];
  int count = 0, residue, part, stage;
  for (residue = 0; residue < info->residues; residue++) {
    vorbis_look_residue0 *look = (vorbis_look_residue0 *)state->residue[residue];
    for (part = 0; part < look->parts; part++)
      for (stage = 0; stage < 8; stage++)
        if (look->info->secondstages[part] & 1 << stage && count < 64 * 8)
          books[count++] = look->partbooks[part][stage];
  }
  return books[unit_integer(random, 0, count - 1)];
}

/* A partition's values, each through the book's quantiser and search: the bits
   written, their count, and what is left of each value. */
static void encode_part(struct unit_setup *setup, struct unit_random *random)
{
  static int values[UNIT_MAX_LINES];
  codebook *book = partition_book(setup, random);
  int n = book->dim * unit_integer(random, 1, 64), i, bits;
  int low = book->minval - 2 * book->delta, high = book->minval + book->delta * (book->quantvals + 1);
  oggpack_buffer packed;
  for (i = 0; i < n; i++)
    values[i] = unit_integer(random, 0, 7) ? unit_integer(random, low, high) : unit_integer(random, -400, 400);
  oggpack_writeinit(&packed);
  bits = _encodepart(&packed, values, n, book);
  unit_output(&bits, sizeof bits);
  unit_output(oggpack_get_buffer(&packed), (size_t)oggpack_bytes(&packed));
  unit_output(values, sizeof *values * n);
  oggpack_writeclear(&packed);
}

const struct unit_case res0_cases[] = {
  {"encode_part", encode_part},
  {NULL, NULL},
};
