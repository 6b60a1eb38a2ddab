/* psy.c's set-up of a look, its tone masking curves, noise fit and the mix of the two. */
#include "psy.c"

#include "units.h"

static float in[UNIT_MAX_LINES], out[UNIT_MAX_LINES];

/* The mask of tone curves seeded from a spectrum: seed_loop, seed_curve, max_seeds,
   seed_chase. */
static void tone_mask(struct unit_setup *setup, struct unit_random *random)
{
  vorbis_look_psy *look = unit_psy_look(setup, random);
  float local_max, global_max;
  int i;
  unit_levels(random, in, look->n, -140.f, 0.f);
  local_max = in[0];
  for (i = 1; i < look->n; i++) local_max = in[i] > local_max ? in[i] : local_max;
  global_max = local_max + unit_uniform(random, 0.f, 30.f);
  _vp_tonemask(look, in, out, global_max, local_max);
  unit_output(out, sizeof *out * look->n);
}

/* Every table of a fresh look, as _vp_psy_init builds it for a set-up's settings,
   and for half of the inputs with other tone attenuations, boost and decay, noise
   windows and guards, and a block of any length. */
static void psy_init(struct unit_setup *setup, struct unit_random *random)
{
  vorbis_look_psy *look = unit_psy_look(setup, random), fresh;
  codec_setup_info *info = setup->vi.codec_setup;
  vorbis_info_psy settings = *look->vi;
  int n = look->n, i, m;
  if (unit_integer(random, 0, 1)) {
    for (i = 0; i < P_BANDS; i++) settings.toneatt[i] += unit_uniform(random, -20.f, 20.f);
    settings.tone_centerboost = unit_uniform(random, -4.f, 4.f);
    settings.tone_decay = unit_uniform(random, -1.5f, 1.5f);
    settings.noisewindowlo = unit_uniform(random, 0.f, 4.f);
    settings.noisewindowhi = unit_uniform(random, 0.f, 4.f);
    settings.noisewindowlomin = unit_integer(random, -3, 20);
    settings.noisewindowhimin = unit_integer(random, -3, 20);
    n = unit_integer(random, 16, 4096);
  }
  _vp_psy_init(&fresh, &settings, &info->psy_g_param, n, setup->rate);
  unit_output(&fresh.firstoc, sizeof fresh.firstoc);
  unit_output(&fresh.total_octave_lines, sizeof fresh.total_octave_lines);
  unit_output(fresh.ath, sizeof *fresh.ath * n);
  unit_output(fresh.octave, sizeof *fresh.octave * n);
  unit_output(fresh.bark, sizeof *fresh.bark * n);
  for (i = 0; i < P_BANDS; i++)
    for (m = 0; m < P_LEVELS; m++)
      unit_output(fresh.tonecurves[i][m], sizeof ***fresh.tonecurves * (EHMER_MAX + 2));
  for (i = 0; i < P_NOISECURVES; i++)
    unit_output(fresh.noiseoffset[i], sizeof **fresh.noiseoffset * n);
  _vp_psy_clear(&fresh);
}

/* Both passes of _vp_noisemask (offset 140 without the fixed window, then 0 with
   it), and offsets and windows besides. A window starts at 15 lines, libvorbis's
   smallest: one of a line fits 0/0, which the fixed window's vector code, compiled
   to honour NaNs, answers otherwise than the scalar loop. */
static void noise_fit(struct unit_setup *setup, struct unit_random *random)
{
  vorbis_look_psy *look = unit_psy_look(setup, random);
  static const float offsets[] = {140.f, 0.f, 40.f, -20.f};
  int pass = unit_integer(random, 0, 3);
  int fixed = pass == 0 ? -1 : look->vi->noisewindowfixed;
  if (unit_integer(random, 0, 2) == 0) fixed = unit_integer(random, 15, look->n + 8);
  unit_levels(random, in, look->n, pass == 0 ? -160.f : -40.f, pass == 0 ? 0.f : 60.f);
  bark_noise_hybridmp(look->n, look->bark, in, out, offsets[pass], fixed);
  unit_output(out, sizeof *out * look->n);
}

/* The masks mixed under each curve's offsets, and the MDCT lines scaled by where
   they stand against the mask: every curve, since only the second scales. */
static void offset_and_mix(struct unit_setup *setup, struct unit_random *random)
{
  static float tone[UNIT_MAX_LINES], logmdct[UNIT_MAX_LINES], mdct[UNIT_MAX_LINES];
  vorbis_look_psy *look = unit_psy_look(setup, random);
  int curve = unit_integer(random, 0, P_NOISECURVES - 1), i;
  unit_levels(random, in, look->n, -160.f, 0.f);
  unit_levels(random, tone, look->n, -160.f, 0.f);
  unit_levels(random, logmdct, look->n, -160.f, 20.f);
  for (i = 0; i < look->n; i++) mdct[i] = unit_uniform(random, -2.f, 2.f);
  _vp_offset_and_mix(look, in, tone, curve, out, mdct, logmdct);
  unit_output(out, sizeof *out * look->n);
  unit_output(mdct, sizeof *mdct * look->n);
}

const struct unit_case psy_cases[] = {
  {"tone_mask", tone_mask},
  {"psy_init", psy_init},
  {"noise_fit", noise_fit},
  {"offset_and_mix", offset_and_mix},
  {NULL, NULL},
};
