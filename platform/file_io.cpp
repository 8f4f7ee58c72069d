#include "platform/file_io.h"

#ifdef _WIN32
#include <windows.h>
// windows.h names its own ReplaceFile this way, which would rename this layer's function.
#undef ReplaceFile
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace hangarscan {
namespace {

FileFaultPlan g_plan;
int g_opsSinceArmed = 0;

// Counts one operation on a written file; true when the armed plan makes it fail.
bool Faulted(FileOp op) {
  if (g_plan.filterByOp && op != g_plan.only) return false;
  ++g_opsSinceArmed;
  if (g_plan.nth == 0) return false;
  return g_plan.sticky ? g_opsSinceArmed >= g_plan.nth : g_opsSinceArmed == g_plan.nth;
}

const char* ModeString(WriteMode mode) {
  switch (mode) {
    case WriteMode::Truncate:
      return "wb";
    case WriteMode::Append:
      return "ab";
    case WriteMode::Update:
      return "r+b";
  }
  return "wb";
}

}  // namespace

void ArmFileFault(FileFaultPlan plan) {
  g_plan = plan;
  g_opsSinceArmed = 0;
}

int FileOpsSinceArmed() {
  return g_opsSinceArmed;
}

TextOutFile::~TextOutFile() {
  if (stream_ != nullptr) std::fclose(stream_);
}

bool TextOutFile::Open(const std::string& path, WriteMode mode) {
  if (stream_ != nullptr || Faulted(FileOp::Open)) return false;
  stream_ = std::fopen(path.c_str(), ModeString(mode));
  return stream_ != nullptr;
}

bool TextOutFile::Write(std::string_view text) {
  if (Faulted(FileOp::Write)) return false;
  bool ok = true;
  while (!text.empty()) {
    const std::size_t lf = text.find('\n');
    const std::string_view piece = text.substr(0, lf);
    ok &= std::fwrite(piece.data(), 1, piece.size(), stream_) == piece.size();
    if (lf == std::string_view::npos) break;
    ok &= std::fwrite("\r\n", 1, 2, stream_) == 2;
    text.remove_prefix(lf + 1);
  }
  return ok;
}

bool TextOutFile::Flush() {
  if (Faulted(FileOp::Flush)) return false;
  return std::fflush(stream_) == 0;
}

bool TextOutFile::Close() {
  std::FILE* stream = stream_;
  stream_ = nullptr;
  const bool faulted = Faulted(FileOp::Close);
  return std::fclose(stream) == 0 && !faulted;
}

BinaryInFile::~BinaryInFile() {
  Close();
}

bool BinaryInFile::Open(const std::string& path) {
  Close();
#ifdef _WIN32
  stream_ = std::fopen(path.c_str(), "rb");
#else
  // A named pipe without a writer would hold the open forever; opened without waiting, it reads
  // as an empty file.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  if (fd < 0) return false;
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) stream_ = fdopen(fd, "rb");
  if (stream_ == nullptr) close(fd);
#endif
  return stream_ != nullptr;
}

void BinaryInFile::Close() {
  if (stream_ != nullptr) std::fclose(stream_);
  stream_ = nullptr;
}

std::size_t BinaryInFile::Read(void* buffer, std::size_t count) {
  return std::fread(buffer, 1, count, stream_);
}

bool BinaryInFile::Seek(std::uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(stream_, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
  return fseeko(stream_, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

namespace {

std::int64_t TellOffset(std::FILE* stream) {
#ifdef _WIN32
  return _ftelli64(stream);
#else
  return ftello(stream);
#endif
}

bool SeekEnd(std::FILE* stream) {
#ifdef _WIN32
  return _fseeki64(stream, 0, SEEK_END) == 0;
#else
  return fseeko(stream, 0, SEEK_END) == 0;
#endif
}

}  // namespace

std::uint64_t BinaryInFile::BytesLeft() {
  const std::int64_t here = TellOffset(stream_);
  if (here < 0 || !SeekEnd(stream_)) return 0;
  const std::int64_t end = TellOffset(stream_);
  if (!Seek(static_cast<std::uint64_t>(here)) || end < here) return 0;
  return static_cast<std::uint64_t>(end - here);
}

bool BinaryInFile::ReadTextLine(char* buffer, int size) {
  int length = 0;
  while (length < size - 1) {
    int c = std::getc(stream_);
    if (c == EOF) break;
    if (c == '\r') {
      const int next = std::getc(stream_);
      if (next == '\n') {
        c = '\n';
      } else if (next != EOF) {
        std::ungetc(next, stream_);
      }
    }
    buffer[length++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  buffer[length] = '\0';
  return length > 0;
}

bool IdentifyFolder(const std::string& path, FolderId& id) {
#ifdef _WIN32
  const HANDLE folder =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(folder, &info) != 0;
  CloseHandle(folder);
  if (!known) return false;
  id = {info.dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  return true;
#else
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return false;
  id = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
  return true;
#endif
}

bool ReplaceFile(const std::string& source, const std::string& target) {
  if (Faulted(FileOp::Rename)) return false;
#ifdef _WIN32
  return MoveFileExA(source.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  return std::rename(source.c_str(), target.c_str()) == 0;
#endif
}

bool RemoveFile(const std::string& path) {
  if (Faulted(FileOp::Remove)) return false;
  return std::remove(path.c_str()) == 0;
}

}  // namespace hangarscan
