// Memory blocks, streams over them and CLSID parsing.
#include "platform/global_memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/guid.h"

namespace quill::test {
namespace {

using namespace win;

TEST(GlobalMemory, GrowableStreamWritesReadsAndFreesItsBlockOnFinalRelease) {
  const int before = live_global_blocks();
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, 1, &stream), S_OK);
  EXPECT_EQ(live_global_blocks(), before + 1);
  const std::string text = "hello, block";
  DWORD written = 0;
  ASSERT_EQ(stream->Write(text.data(), static_cast<DWORD>(text.size()), &written), S_OK);
  EXPECT_EQ(written, text.size());
  HGLOBAL block = nullptr;
  ASSERT_EQ(GetHGlobalFromStream(stream, &block), S_OK);
  EXPECT_EQ(GlobalSize(block), text.size());
  ASSERT_EQ(stream->Seek(7, STREAM_SEEK_SET, nullptr), S_OK);
  char out[16] = {};
  DWORD read = 0;
  ASSERT_EQ(stream->Read(out, sizeof out, &read), S_OK);
  EXPECT_EQ(std::string(out, read), "block");
  EXPECT_NE(stream->Seek(-1, STREAM_SEEK_SET, nullptr), S_OK);
  stream->AddRef();
  EXPECT_EQ(stream->Release(), 1u);
  EXPECT_EQ(live_global_blocks(), before + 1);
  EXPECT_EQ(stream->Release(), 0u);
  EXPECT_EQ(live_global_blocks(), before);
}

TEST(GlobalMemory, StreamWithoutDeleteOnReleaseLeavesTheBlockToItsOwner) {
  const int before = live_global_blocks();
  HGLOBAL block = GlobalAlloc(GMEM_FIXED, 4);
  std::memcpy(GlobalLock(block), "abcd", 4);
  EXPECT_EQ(GlobalUnlock(block), 0);
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(block, 0, &stream), S_OK);
  char out[8] = {};
  DWORD read = 0;
  stream->Read(out, 8, &read);
  EXPECT_EQ(read, 4u);
  stream->Release();
  EXPECT_EQ(live_global_blocks(), before + 1);
  EXPECT_EQ(GlobalFree(block), nullptr);
  EXPECT_EQ(live_global_blocks(), before);
  EXPECT_EQ(GlobalLock(nullptr), nullptr);
  EXPECT_EQ(GlobalSize(nullptr), 0u);
}

TEST(Guid, ParsesRegistryFormAndRejectsAnythingElse) {
  CLSID clsid;
  ASSERT_EQ(CLSIDFromString(u"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &clsid), S_OK);
  EXPECT_EQ(clsid.Data1, 0x557CF406u);
  EXPECT_EQ(clsid.Data2, 0x1A04);
  EXPECT_EQ(clsid.Data4[7], 0x2E);
  for (const char16_t* bad : {u"", u"557CF406-1A04-11D3-9A73-0000F81EF32E", u"{557CF406-1A04-11D3-9A73-0000F81EF32G}",
                              u"{557CF406-1A04-11D3-9A73-0000F81EF32E}x", u"{猫57CF406-1A04-11D3-9A73-0000F81EF32E}"}) {
    EXPECT_EQ(CLSIDFromString(bad, &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(clsid, CLSID{});
  }
}

}  // namespace
}  // namespace quill::test
