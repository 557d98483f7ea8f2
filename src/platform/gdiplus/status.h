#pragma once
// The status every flat drawing function returns; 0 is Ok.

#include <string_view>

namespace quill::gdiplus {

enum Status : int {
  Ok = 0,
  GenericError = 1,
  InvalidParameter = 2,
  OutOfMemory = 3,
  ObjectBusy = 4,
  InsufficientBuffer = 5,
  NotImplemented = 6,
  Win32Error = 7,
  WrongState = 8,
  Aborted = 9,
  FileNotFound = 10,
  ValueOverflow = 11,
  AccessDenied = 12,
  UnknownImageFormat = 13,
  FontFamilyNotFound = 14,
  FontStyleNotFound = 15,
  NotTrueTypeFont = 16,
  UnsupportedGdiplusVersion = 17,
  GdiplusNotInitialized = 18,
  PropertyNotFound = 19,
  PropertyNotSupported = 20
};
using GpStatus = Status;

// The enumerator's name ("Ok", "InvalidParameter", ...); "" for a value
// outside the enumeration.
std::string_view status_name(Status status);

}  // namespace quill::gdiplus
