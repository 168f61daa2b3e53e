#include "foundation/tBuffer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "foundation/Logger.h"
#include "foundation/Platform.h"

namespace qv {

namespace {
// Header and data share one allocation; the data starts behind the header.
constexpr int kHeaderSize = 20;
}  // namespace

tBuffer::tBuffer(int kiloBytes) {
  TempFileName[0] = '\0';
  BlockSize = (kiloBytes > 0 ? kiloBytes : 1) * 1024;
  BlockAllocSize = BlockSize + kHeaderSize;
  OpenBlock();
  TotalUsedSize = 0;
  FirstBlock = CurrentBlock;
}

tBuffer::~tBuffer() {
  if (TempFileName[0]) platform::DeleteFile(TempFileName);
  BufferBlock* b = FirstBlock;
  while (b) {
    BufferBlock* next = b->Next;
    LogInfo("FreeBufferBlock: %i B", BlockAllocSize);
    b->~BufferBlock();
    std::free(b);
    b = next;
  }
  FirstBlock = CurrentBlock = nullptr;
}

void tBuffer::OpenBlock() {
  if (UsedBlockCount >= AllocatedBlockCount) {
    LogInfo("NewBufferBlock: %i B", BlockAllocSize);
    void* mem = std::malloc(sizeof(BufferBlock) + static_cast<size_t>(BlockSize) + 1);
    if (!mem) throw std::bad_alloc();
    BufferBlock* block = new (mem) BufferBlock{};
    block->Data = reinterpret_cast<char*>(block + 1);
    block->Next = nullptr;
    if (CurrentBlock) CurrentBlock->Next = block;
    CurrentBlock = block;
    ++AllocatedBlockCount;
  } else {
    LogInfo("RecycleBufferBlock");
    CurrentBlock = CurrentBlock->Next;
  }
  CurrentBlock->Free = BlockSize;
  CurrentBlock->Used = 0;
  CurrentBlock->WritePos = CurrentBlock->Data;
  CurrentBlock->WritePos[0] = '\0';
  ++UsedBlockCount;
}

void tBuffer::WriteToBuffer(const char* bytes, int length) {
  LogInfo("WriteToBuffer:%i:%s", length, bytes ? bytes : "");
  if (!bytes) return;
  int n = length == -1 ? static_cast<int>(std::strlen(bytes)) : length;
  while (n > 0) {
    if (CurrentBlock->Free == 0) OpenBlock();
    int chunk = n < CurrentBlock->Free ? n : CurrentBlock->Free;
    std::memcpy(CurrentBlock->WritePos, bytes, static_cast<size_t>(chunk));
    CurrentBlock->WritePos += chunk;
    CurrentBlock->WritePos[0] = '\0';
    CurrentBlock->Free -= chunk;
    CurrentBlock->Used += chunk;
    TotalUsedSize += chunk;
    bytes += chunk;
    n -= chunk;
  }
  LogInfo("WriteToBuffer TotalUsedSize:%i", TotalUsedSize);
}

void tBuffer::ResetBuffer() {
  CurrentBlock = FirstBlock;
  UsedBlockCount = 1;
  FirstBlock->Free = BlockSize;
  FirstBlock->Used = 0;
  FirstBlock->WritePos = FirstBlock->Data;
  FirstBlock->WritePos[0] = '\0';
  TotalUsedSize = 0;
  LogInfo("ResetBuffer TotalUsedSize:%i", TotalUsedSize);
}

void tBuffer::CopyBufferTo(char* destination) const {
  const BufferBlock* b = FirstBlock;
  for (int i = 0; i < UsedBlockCount && b; ++i, b = b->Next) {
    std::memcpy(destination, b->Data, static_cast<size_t>(b->Used));
    destination += b->Used;
  }
  *destination = '\0';
}

void tBuffer::WriteBufferToFile(const char* fileName) {
  LogInfo("WriteBufferToFile: %s", fileName);
  FILE* f = std::fopen(fileName, "wb");
  if (!f) {
    LogError("Could not open output file '%s'", fileName);
    return;
  }
  const BufferBlock* b = FirstBlock;
  for (int i = 0; i < UsedBlockCount && b; ++i, b = b->Next) {
    LogInfo("WriteBufferBlock to file size:%i", b->Used);
    std::fwrite(b->Data, 1, static_cast<size_t>(b->Used), f);
  }
  std::fclose(f);
}

const char* tBuffer::WriteBufferToTempFile() {
  if (!TempFileName[0] && !platform::CreateTempFile("qv5", TempFileName, sizeof TempFileName)) {
    LogError("Could not open output file '%s'", "temporary file");
    return TempFileName;
  }
  WriteBufferToFile(TempFileName);
  return TempFileName;
}

}  // namespace qv
