/* The skin data format shared by the skin engine (C, i686), the packing tool
   and the program's host library. See README.md for the layout. */
#ifndef QUILL_SKIN_FORMAT_H
#define QUILL_SKIN_FORMAT_H

#define QSKIN_MAGIC 0x4E4B5351u /* "QSKN" read as a little-endian word */
#define QSKIN_VERSION 1u
#define QSKIN_HEADER_SIZE 16u
#define QSKIN_FIELD_SIZE 8u
#define QSKIN_MAX_FIELDS 64u

/* Field ids: the high byte is the kind, the low byte the role or metric. */
#define QSKIN_KIND_COLOUR 0x01u
#define QSKIN_KIND_METRIC 0x02u

enum qskin_colour_role {
  QSKIN_COLOUR_WINDOW = 1,
  QSKIN_COLOUR_WINDOW_TEXT = 2,
  QSKIN_COLOUR_BASE = 3,
  QSKIN_COLOUR_ALTERNATE_BASE = 4,
  QSKIN_COLOUR_TEXT = 5,
  QSKIN_COLOUR_BUTTON = 6,
  QSKIN_COLOUR_BUTTON_TEXT = 7,
  QSKIN_COLOUR_HIGHLIGHT = 8,
  QSKIN_COLOUR_HIGHLIGHTED_TEXT = 9,
  QSKIN_COLOUR_LAST = 9
};

enum qskin_metric {
  QSKIN_METRIC_FONT_POINT_SIZE = 1, /* 6 to 48 */
  QSKIN_METRIC_CORNER_RADIUS = 2,   /* pixels, 0 to 32 */
  QSKIN_METRIC_BORDER_WIDTH = 3,    /* pixels, 0 to 8 */
  QSKIN_METRIC_LAST = 3
};

/* FNV-1a, 32-bit, over the fields (bytes 16 to length). */
#define QSKIN_FNV_OFFSET 2166136261u
#define QSKIN_FNV_PRIME 16777619u

#endif
