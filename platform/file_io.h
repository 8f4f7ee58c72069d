// The core's file layer over C stdio. Files are opened in binary mode and the Windows text-mode
// conventions are applied here, so both builds read and write the same bytes:
// - every line feed written becomes CR LF (a CR already in the text is written as it is);
// - a text line read folds CR LF into LF.
// Seeks take 64-bit offsets on every build. Every operation on a written file can be made to fail
// for tests (ArmFileFault).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// windows.h makes ReplaceFile a name for ReplaceFileA; here it is the project's own function.
#ifdef ReplaceFile
#undef ReplaceFile
#endif

namespace hangarscan {

enum class FileOp { Open, Write, Flush, Close, Rename, Remove };

// Test hook: the nth operation on written files from now on fails (1 = the next one); with
// `only` set, only operations of that kind are counted; with `sticky`, every counted operation
// from the nth on fails, as on a disk that filled up. Disarm with nth = 0.
struct FileFaultPlan {
  int nth = 0;
  bool filterByOp = false;
  FileOp only = FileOp::Open;
  bool sticky = false;
};
void ArmFileFault(FileFaultPlan plan);
// Operations on written files since the last ArmFileFault, failed or not.
int FileOpsSinceArmed();

enum class WriteMode {
  Truncate,  // create, or truncate an existing file
  Append,    // create, or append to an existing file
  Update,    // open an existing file for writing without truncating it
};

// A file written as text with CR LF line ends. Owns its stream; closes it on destruction.
class TextOutFile {
 public:
  TextOutFile() = default;
  TextOutFile(const TextOutFile&) = delete;
  TextOutFile& operator=(const TextOutFile&) = delete;
  ~TextOutFile();

  bool Open(const std::string& path, WriteMode mode);
  bool IsOpen() const { return stream_ != nullptr; }
  // Writes the text with each LF as CR LF. False when any byte could not be written.
  bool Write(std::string_view text);
  bool Flush();
  // Closes the stream; false when the close (and so the final flush) failed.
  bool Close();

 private:
  std::FILE* stream_ = nullptr;
};

// A file read as bytes, with absolute 64-bit seeks. Owns its stream; closes it on destruction.
class BinaryInFile {
 public:
  BinaryInFile() = default;
  BinaryInFile(const BinaryInFile&) = delete;
  BinaryInFile& operator=(const BinaryInFile&) = delete;
  ~BinaryInFile();

  bool Open(const std::string& path);
  bool IsOpen() const { return stream_ != nullptr; }
  void Close();
  // Reads up to count bytes at the current position; returns how many arrived.
  std::size_t Read(void* buffer, std::size_t count);
  bool Seek(std::uint64_t offset);
  // Bytes from the current position to the end of the file; 0 when that cannot be told.
  std::uint64_t BytesLeft();
  // Reads one line as text mode reads it: at most size - 1 characters, up to and including the
  // line feed, CR LF folded into LF, zero-terminated. False at the end of the file.
  bool ReadTextLine(char* buffer, int size);

 private:
  std::FILE* stream_ = nullptr;
};

// What a folder is, whatever path leads to it (links and junctions followed): its volume and its
// number on that volume.
struct FolderId {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  bool operator==(const FolderId&) const = default;
};
// False when the folder cannot be examined (missing, no access).
bool IdentifyFolder(const std::string& path, FolderId& id);

// Replaces target by source in one step (MoveFileEx with replace and write-through on Windows,
// rename elsewhere).
bool ReplaceFile(const std::string& source, const std::string& target);
bool RemoveFile(const std::string& path);

}  // namespace hangarscan
