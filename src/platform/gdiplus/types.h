#pragma once
// Types of the GDI+-style flat drawing API: REAL floats, ARGB colours
// (0xAARRGGBB), points and rectangles, the enumerations with GDI+'s values,
// pixel formats and the opaque object handles.

#include <cstdint>

#include "platform/guid.h"
#include "platform/win_types.h"

namespace quill::gdiplus {

using REAL = float;
using INT = std::int32_t;
using UINT = std::uint32_t;
using ULONG = std::uint32_t;
using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using ARGB = std::uint32_t;
using WCHAR = char16_t;
using PROPID = std::uint32_t;
using ULONG_PTR = std::uintptr_t;
using GUID = win::GUID;
using CLSID = win::CLSID;

struct PointF {
  REAL X = 0;
  REAL Y = 0;
};

struct SizeF {
  REAL Width = 0;
  REAL Height = 0;
};

struct RectF {
  REAL X = 0;
  REAL Y = 0;
  REAL Width = 0;
  REAL Height = 0;
};

enum Unit : INT {
  UnitWorld = 0,
  UnitDisplay = 1,
  UnitPixel = 2,
  UnitPoint = 3,
  UnitInch = 4,
  UnitDocument = 5,
  UnitMillimeter = 6
};

enum WrapMode : INT { WrapModeTile = 0, WrapModeTileFlipX, WrapModeTileFlipY, WrapModeTileFlipXY, WrapModeClamp };
enum FillMode : INT { FillModeAlternate = 0, FillModeWinding = 1 };
enum CombineMode : INT {
  CombineModeReplace = 0,
  CombineModeIntersect,
  CombineModeUnion,
  CombineModeXor,
  CombineModeExclude,
  CombineModeComplement
};
enum MatrixOrder : INT { MatrixOrderPrepend = 0, MatrixOrderAppend = 1 };
enum SmoothingMode : INT {
  SmoothingModeInvalid = -1,
  SmoothingModeDefault = 0,
  SmoothingModeHighSpeed,
  SmoothingModeHighQuality,
  SmoothingModeNone,
  SmoothingModeAntiAlias,
  SmoothingModeAntiAlias8x4,
  SmoothingModeAntiAlias8x8
};
enum TextRenderingHint : INT {
  TextRenderingHintSystemDefault = 0,
  TextRenderingHintSingleBitPerPixelGridFit,
  TextRenderingHintSingleBitPerPixel,
  TextRenderingHintAntiAliasGridFit,
  TextRenderingHintAntiAlias,
  TextRenderingHintClearTypeGridFit
};
enum BrushType : INT {
  BrushTypeSolidColor = 0,
  BrushTypeHatchFill,
  BrushTypeTextureFill,
  BrushTypePathGradient,
  BrushTypeLinearGradient
};
enum PenType : INT {
  PenTypeSolidColor = 0,
  PenTypeHatchFill,
  PenTypeTextureFill,
  PenTypePathGradient,
  PenTypeLinearGradient,
  PenTypeUnknown = -1
};
enum LinearGradientMode : INT {
  LinearGradientModeHorizontal = 0,
  LinearGradientModeVertical,
  LinearGradientModeForwardDiagonal,
  LinearGradientModeBackwardDiagonal
};
// The 53 hatch styles 0..52 of GDI+; HatchStyleHorizontal .. HatchStyleSolidDiamond.
enum HatchStyle : INT {
  HatchStyleHorizontal = 0,
  HatchStyleVertical = 1,
  HatchStyleForwardDiagonal = 2,
  HatchStyleBackwardDiagonal = 3,
  HatchStyleCross = 4,
  HatchStyleDiagonalCross = 5,
  HatchStyleSolidDiamond = 52,
  HatchStyleTotal = 53
};
enum LineCap : INT {
  LineCapFlat = 0,
  LineCapSquare = 1,
  LineCapRound = 2,
  LineCapTriangle = 3,
  LineCapNoAnchor = 0x10,
  LineCapSquareAnchor = 0x11,
  LineCapRoundAnchor = 0x12,
  LineCapDiamondAnchor = 0x13,
  LineCapArrowAnchor = 0x14,
  LineCapCustom = 0xff
};
enum DashCap : INT { DashCapFlat = 0, DashCapRound = 2, DashCapTriangle = 3 };
enum LineJoin : INT { LineJoinMiter = 0, LineJoinBevel, LineJoinRound, LineJoinMiterClipped };
enum PenAlignment : INT { PenAlignmentCenter = 0, PenAlignmentInset = 1 };
enum DashStyle : INT {
  DashStyleSolid = 0,
  DashStyleDash,
  DashStyleDot,
  DashStyleDashDot,
  DashStyleDashDotDot,
  DashStyleCustom
};
enum ImageType : INT { ImageTypeUnknown = 0, ImageTypeBitmap = 1, ImageTypeMetafile = 2 };
enum FontStyle : INT {
  FontStyleRegular = 0,
  FontStyleBold = 1,
  FontStyleItalic = 2,
  FontStyleUnderline = 4,
  FontStyleStrikeout = 8
};

using PixelFormat = INT;
inline constexpr PixelFormat PixelFormatUndefined = 0;
inline constexpr PixelFormat PixelFormat1bppIndexed = 0x00030101;
inline constexpr PixelFormat PixelFormat4bppIndexed = 0x00030402;
inline constexpr PixelFormat PixelFormat8bppIndexed = 0x00030803;
inline constexpr PixelFormat PixelFormat16bppRGB555 = 0x00021005;
inline constexpr PixelFormat PixelFormat16bppRGB565 = 0x00021006;
inline constexpr PixelFormat PixelFormat24bppRGB = 0x00021808;
inline constexpr PixelFormat PixelFormat32bppRGB = 0x00022009;
inline constexpr PixelFormat PixelFormat32bppARGB = 0x0026200A;
inline constexpr PixelFormat PixelFormat32bppPARGB = 0x000E200B;

// Image flags of GdipGetImageFlags.
inline constexpr UINT ImageFlagsHasAlpha = 0x0002;
inline constexpr UINT ImageFlagsColorSpaceRGB = 0x0010;
inline constexpr UINT ImageFlagsHasRealDPI = 0x1000;
inline constexpr UINT ImageFlagsHasRealPixelSize = 0x2000;
inline constexpr UINT ImageFlagsReadOnly = 0x10000;

inline constexpr PROPID PropertyTagFrameDelay = 0x5100;
inline constexpr WORD PropertyTagTypeLong = 4;

struct PropertyItem {
  PROPID id = 0;
  ULONG length = 0;  // bytes at value
  WORD type = 0;
  void* value = nullptr;
};

// Encoder parameter value types.
inline constexpr ULONG EncoderParameterValueTypeLong = 4;
inline constexpr ULONG EncoderParameterValueTypeLongRange = 6;

struct EncoderParameter {
  GUID Guid;
  ULONG NumberOfValues = 0;
  ULONG Type = 0;
  void* Value = nullptr;
};

struct EncoderParameters {
  UINT Count = 0;
  EncoderParameter Parameter[1];
};

struct ImageCodecInfo {
  CLSID Clsid;
  GUID FormatID;
  const WCHAR* CodecName = nullptr;
  const WCHAR* DllName = nullptr;
  const WCHAR* FormatDescription = nullptr;
  const WCHAR* FilenameExtension = nullptr;
  const WCHAR* MimeType = nullptr;
  std::uint32_t Flags = 0;
  std::uint32_t Version = 0;
  std::uint32_t SigCount = 0;
  std::uint32_t SigSize = 0;
  const BYTE* SigPattern = nullptr;
  const BYTE* SigMask = nullptr;
};

// Opaque objects of the drawing layer. Brush kinds share one object type.
struct GpGraphics;
struct GpImage;
struct GpBrush;
struct GpPen;
struct GpFont;
struct GpFontFamily;
struct GpFontCollection;
struct GpStringFormat;
struct GpMatrix;
struct GpPath;
struct GpRegion;
using GpBitmap = GpImage;
using GpSolidFill = GpBrush;
using GpHatch = GpBrush;
using GpLineGradient = GpBrush;
using GpTexture = GpBrush;
using GpPathGradient = GpBrush;

// GDI bitmap, icon, palette and region handles that the conversions take;
// each is a small object of this layer (see image.h and graphics.h).
struct GdiBitmapObject;
struct GdiIconObject;
struct GdiPaletteObject;
struct GdiRegionObject;
using HBITMAP = GdiBitmapObject*;
using HICON = GdiIconObject*;
using HPALETTE = GdiPaletteObject*;
using HRGN = GdiRegionObject*;

}  // namespace quill::gdiplus
