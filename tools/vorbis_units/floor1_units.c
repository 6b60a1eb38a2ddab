/* floor1.c's fit of the floor to the masks. */
#include "floor1.c"

#include "units.h"

static float mask[UNIT_MAX_LINES], mdct[UNIT_MAX_LINES];

/* A mask, and an MDCT that lies around it. */
static void spectra(struct unit_random *random, int n)
{
  int i;
  unit_levels(random, mask, n, -150.f, 10.f);
  unit_levels(random, mdct, n, -30.f, 30.f);
  for (i = 0; i < n; i++) mdct[i] += mask[i];
}

static void fit_sums(struct unit_setup *setup, struct unit_random *random)
{
  vorbis_look_floor1 *look = unit_floor1_look(setup, random);
  int x0 = unit_integer(random, 0, look->n - 1);
  int x1 = unit_integer(random, x0, look->n + 4);
  lsfit_acc sums;
  spectra(random, look->n);
  accumulate_fit(mask, mdct, x0, x1, &sums, look->n, look->vi);
  unit_output(&sums, sizeof sums);
}

static void fit_error(struct unit_setup *setup, struct unit_random *random)
{
  vorbis_look_floor1 *look = unit_floor1_look(setup, random);
  int x0 = unit_integer(random, 0, look->n - 2);
  int x1 = unit_integer(random, x0 + 1, look->n - 1);
  int y0 = unit_integer(random, 0, 1023), y1 = unit_integer(random, 0, 1023);
  int failed;
  spectra(random, look->n);
  failed = inspect_error(x0, x1, y0, y1, mask, mdct, look->vi);
  unit_output(&failed, sizeof failed);
}

/* The whole fit: the posts, or none. */
static void fit(struct unit_setup *setup, struct unit_random *random)
{
  vorbis_look_floor1 *look = unit_floor1_look(setup, random);
  int *posts;
  spectra(random, look->n);
  posts = floor1_fit(&setup->vb, look, mdct, mask);
  if (posts) unit_output(posts, sizeof *posts * look->posts);
  _vorbis_block_ripcord(&setup->vb);
}

const struct unit_case floor1_cases[] = {
  {"fit_sums", fit_sums},
  {"fit_error", fit_error},
  {"fit", fit},
  {NULL, NULL},
};
