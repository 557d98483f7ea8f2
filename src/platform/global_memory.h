#pragma once
// Global memory blocks (HGLOBAL) and IStream over them, as the drawing layer's
// callers expect: GlobalAlloc/GlobalReAlloc/GlobalLock/GlobalUnlock/GlobalSize/
// GlobalFree, CreateStreamOnHGlobal and GetHGlobalFromStream.
//
// A block is a heap buffer with a lock count; GMEM_FIXED and GMEM_MOVEABLE
// differ only in that a moveable block may be resized while unlocked. A block
// is freed exactly once, by GlobalFree or by a stream made with
// delete_on_release TRUE on its final Release. Any thread may call these; one
// block or stream is used by one thread at a time.

#include <cstddef>
#include <cstdint>

#include "platform/guid.h"
#include "platform/win_types.h"

namespace quill::win {

struct GlobalBlock;
using HGLOBAL = GlobalBlock*;
using SIZE_T = std::size_t;

inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;

// nullptr when the memory cannot be had. A block of size 0 is allowed.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
// nullptr (block unchanged) when the block is locked or memory is short.
HGLOBAL GlobalReAlloc(HGLOBAL block, SIZE_T bytes, UINT flags);
// Pointer to the content (valid until unlocked and resized); nullptr for a
// null block or one of size 0.
void* GlobalLock(HGLOBAL block);
// TRUE while the block stays locked.
BOOL GlobalUnlock(HGLOBAL block);
SIZE_T GlobalSize(HGLOBAL block);
// nullptr on success; the block itself when it cannot be freed.
HGLOBAL GlobalFree(HGLOBAL block);

// Number of blocks alive in the process (tests check that blocks are freed).
int live_global_blocks();

enum StreamSeek : DWORD { STREAM_SEEK_SET = 0, STREAM_SEEK_CUR = 1, STREAM_SEEK_END = 2 };

// The IStream operations the drawing layer uses. Reference counted: the
// creator holds one reference; the last Release destroys the stream.
class IStream {
 public:
  virtual DWORD AddRef() = 0;
  virtual DWORD Release() = 0;
  // Reads up to `size` bytes at the seek position; *read gets the count.
  virtual HRESULT Read(void* buffer, DWORD size, DWORD* read) = 0;
  // Writes at the seek position, growing the block as needed.
  virtual HRESULT Write(const void* buffer, DWORD size, DWORD* written) = 0;
  virtual HRESULT Seek(std::int64_t move, DWORD origin, std::uint64_t* new_position) = 0;
  virtual HRESULT SetSize(std::uint64_t size) = 0;
  // The stream's logical size (bytes written or the block's size).
  virtual std::uint64_t size() const = 0;

 protected:
  ~IStream() = default;
};

// Makes a stream over `block`; a null block makes a new growable one. With
// delete_on_release the stream frees the block on its final Release.
HRESULT CreateStreamOnHGlobal(HGLOBAL block, BOOL delete_on_release, IStream** stream);
HRESULT GetHGlobalFromStream(IStream* stream, HGLOBAL* block);

}  // namespace quill::win
