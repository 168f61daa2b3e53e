// An append-only text store made of a chain of equally sized blocks. Text
// that has been written never moves; a reset rewinds to the first block and
// later writes reuse the chain, so a buffer stops allocating once it has
// seen its largest fill.
#pragma once

namespace qv {

struct BufferBlock {
  int Free;
  int Used;
  BufferBlock* Next;
  char* WritePos;
  char* Data;
};

class tBuffer {
 public:
  explicit tBuffer(int kiloBytes);
  virtual ~tBuffer();
  tBuffer(const tBuffer&) = delete;
  tBuffer& operator=(const tBuffer&) = delete;

  // Appends length bytes (-1: up to the terminating NUL; 0 or below: nothing).
  void WriteToBuffer(const char* bytes, int length);
  void ResetBuffer();
  // Copies the text and a terminating NUL; destination needs TotalUsedSize + 1 bytes.
  void CopyBufferTo(char* destination) const;
  void WriteBufferToFile(const char* fileName);
  // Writes the text to this buffer's own temporary file and returns its name
  // (empty when no temporary file could be made).
  const char* WriteBufferToTempFile();

  char TempFileName[4096];
  int TotalUsedSize = 0;
  int AllocatedBlockCount = 0;
  int BlockAllocSize = 0;
  int BlockSize = 0;
  int UsedBlockCount = 0;
  BufferBlock* CurrentBlock = nullptr;
  BufferBlock* FirstBlock = nullptr;

 private:
  void OpenBlock();
};

}  // namespace qv
