/* Quillmere's skin engine: a freestanding 32-bit DLL (no C runtime). Its one
   job is SkinH_AttachRes: check a skin block and hand its colours and metrics
   to the program through the host library quillskin.dll. */
#include "skin_format.h"

typedef unsigned int u32;
typedef unsigned short u16;
typedef unsigned char u8;

__declspec(dllimport) void __stdcall QsBeginSkin(void);
__declspec(dllimport) int __stdcall QsSetColour(u32 role, u32 argb);
__declspec(dllimport) int __stdcall QsSetMetric(u32 metric, u32 value);
__declspec(dllimport) int __stdcall QsApplySkin(void);

static u32 attached_count;

static u32 read_u32(const u8* p) { return (u32)p[0] | (u32)p[1] << 8 | (u32)p[2] << 16 | (u32)p[3] << 24; }
static u16 read_u16(const u8* p) { return (u16)(p[0] | p[1] << 8); }

static int metric_in_range(u32 metric, u32 value) {
  switch (metric) {
    case QSKIN_METRIC_FONT_POINT_SIZE:
      return value >= 6 && value <= 48;
    case QSKIN_METRIC_CORNER_RADIUS:
      return value <= 32;
    case QSKIN_METRIC_BORDER_WIDTH:
      return value <= 8;
    default:
      return 1; /* unknown metrics are skipped below */
  }
}

/* The whole block is checked before anything is applied. */
static int block_is_valid(const u8* data, u32 length) {
  u32 count, i, hash = QSKIN_FNV_OFFSET;
  if (data == 0 || length < QSKIN_HEADER_SIZE) return 0;
  if (read_u32(data) != QSKIN_MAGIC || read_u16(data + 4) != QSKIN_VERSION) return 0;
  count = read_u16(data + 6);
  if (count > QSKIN_MAX_FIELDS || read_u32(data + 8) != length ||
      length != QSKIN_HEADER_SIZE + QSKIN_FIELD_SIZE * count) {
    return 0;
  }
  for (i = QSKIN_HEADER_SIZE; i < length; ++i) hash = (hash ^ data[i]) * QSKIN_FNV_PRIME;
  if (hash != read_u32(data + 12)) return 0;
  for (i = 0; i < count; ++i) {
    const u8* field = data + QSKIN_HEADER_SIZE + QSKIN_FIELD_SIZE * i;
    u16 id = read_u16(field);
    if (id >> 8 == QSKIN_KIND_METRIC && !metric_in_range(id & 0xFF, read_u32(field + 4))) return 0;
  }
  return 1;
}

/* The password and the three integers are accepted and not used. Returns
   what the host library's QsApplySkin returns, 0 for a block it refused. */
__declspec(dllexport) int __stdcall SkinH_AttachRes(const u8* data, u32 length, const char* password, int reserved1,
                                                    int reserved2, int reserved3) {
  u32 count, i;
  (void)password;
  (void)reserved1;
  (void)reserved2;
  (void)reserved3;
  if (!block_is_valid(data, length)) return 0;
  count = read_u16(data + 6);
  QsBeginSkin();
  for (i = 0; i < count; ++i) {
    const u8* field = data + QSKIN_HEADER_SIZE + QSKIN_FIELD_SIZE * i;
    u16 id = read_u16(field);
    u32 value = read_u32(field + 4);
    if (id >> 8 == QSKIN_KIND_COLOUR) QsSetColour(id & 0xFF, value);
    if (id >> 8 == QSKIN_KIND_METRIC) QsSetMetric(id & 0xFF, value);
  }
  ++attached_count;
  return QsApplySkin();
}

/* How many blocks were attached since the engine was loaded. */
__declspec(dllexport) u32 __stdcall SkinH_AttachedCount(void) { return attached_count; }

int __stdcall DllMainCRTStartup(void* instance, u32 reason, void* reserved) {
  (void)instance;
  (void)reserved;
  if (reason == 1) attached_count = 0;
  return 1;
}
