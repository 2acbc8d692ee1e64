// The file layer on Windows: the wide-character Win32 API, paths held in
// UTF-8 and handed to Windows in UTF-16, as "\\?\" paths so that they may
// be longer than MAX_PATH.
#include "iges/file_system.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <optional>

#include "base/windows_text.h"
#include "iges/windows_file_retry.h"
#include "iges/windows_long_path.h"

namespace notora {
namespace {

// The most asked of ReadFile and WriteFile at once (they count in 32 bits).
constexpr std::size_t kLargestTransfer = 1 << 30;

// An open file handle, closed once: by Close (which reports failure) or when
// it goes.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  HANDLE get() const { return handle_; }
  // Gives the handle up to the caller, who closes it.
  HANDLE Release() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }
  bool Close() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return ::CloseHandle(handle) != 0;
  }

 private:
  HANDLE handle_;
};

// The position `offset` of a file, as ReadFile and WriteFile take it.
OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED at = {};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return at;
}

// Writes (or reads) all `size` bytes at `offset` of `handle`; false on an
// error or a call that moves nothing (a full disk takes nothing, or fails
// with ERROR_DISK_FULL; a read past the end gives nothing).
bool TransferAt(HANDLE handle, std::uint64_t offset, char* data, std::size_t size, bool write) {
  while (size > 0) {
    OVERLAPPED at = At(offset);
    DWORD done = 0;
    const DWORD asked = static_cast<DWORD>(size < kLargestTransfer ? size : kLargestTransfer);
    const BOOL ok = write ? ::WriteFile(handle, data, asked, &done, &at)
                          : ::ReadFile(handle, data, asked, &done, &at);
    if (!ok || done == 0) return false;
    data += done;
    offset += done;
    size -= done;
  }
  return true;
}

// A file, pipe or device, read front to back.
class WindowsInputFile : public InputFile {
 public:
  WindowsInputFile(HANDLE handle, std::uint64_t size) : handle_(handle), size_(size) {}

  std::int64_t Read(char* buffer, std::size_t size) override {
    DWORD read = 0;
    const DWORD asked = static_cast<DWORD>(size < kLargestTransfer ? size : kLargestTransfer);
    if (::ReadFile(handle_.get(), buffer, asked, &read, nullptr)) return read;
    // A pipe whose writer has closed it has ended, as a POSIX pipe would.
    const DWORD error = ::GetLastError();
    return error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF ? 0 : -1;
  }
  std::uint64_t SizeHint() const override { return size_; }
  bool Close() override { return handle_.Close(); }

 private:
  Handle handle_;
  std::uint64_t size_;
};

// `path` (UTF-8) as the file calls take it, at any length; nothing when it
// names no file.
std::optional<std::wstring> SystemPath(const std::string& path) {
  const std::optional<std::wstring> wide = WidePath(path);
  if (!wide) return std::nullopt;
  return LongPath(*wide);
}

// The folder part of `path` (with its separator; empty when it has none).
std::wstring FolderOf(const std::wstring& path) {
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

// A name of this run's own beside `path`: "~NAME.PID-N" and `suffix`.
std::wstring HiddenBeside(const std::wstring& path, const wchar_t* suffix) {
  static LONG serial = 0;
  const std::wstring folder = FolderOf(path);
  return folder + L"~" + path.substr(folder.size()) + L"." +
         std::to_wstring(::GetCurrentProcessId()) + L"-" +
         std::to_wstring(::InterlockedIncrement(&serial)) + suffix;
}

// ERROR_SUCCESS when a call `succeeded`, else the error it left.
DWORD Outcome(BOOL succeeded) { return succeeded ? ERROR_SUCCESS : ::GetLastError(); }

// Removes the file at `path`, waiting a little for another program that
// holds it. False when it still stands.
bool RemoveFile(const std::wstring& path) {
  const DWORD error = RetryWhileHeld([&path] { return Outcome(::DeleteFileW(path.c_str())); });
  return error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND;
}

// An output written under a hidden name beside it ("~NAME.igs.PID-N.part",
// hidden), renamed to its own name once whole and shown there; the rename
// never replaces a file. A rename or removal that another program (a virus
// scanner, a sync client) holds up is tried again for a short while. The
// hidden file is shown only under the output's name: one that cannot be
// removed stays hidden, as one left by a crash of the whole process does.
class WindowsOutputFile : public OutputFile {
 public:
  WindowsOutputFile(HANDLE handle, std::wstring path, std::wstring hiddenPath)
      : handle_(handle), path_(std::move(path)), hiddenPath_(std::move(hiddenPath)) {}
  ~WindowsOutputFile() override {
    if (handle_.get() != INVALID_HANDLE_VALUE) Discard();
  }

  bool WriteAt(std::uint64_t offset, const char* data, std::size_t size) override {
    return TransferAt(handle_.get(), offset, const_cast<char*>(data), size, /*write=*/true);
  }
  std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    OVERLAPPED at = At(offset);
    DWORD read = 0;
    const DWORD asked = static_cast<DWORD>(size < kLargestTransfer ? size : kLargestTransfer);
    if (::ReadFile(handle_.get(), buffer, asked, &read, &at)) return read;
    return ::GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
  }
  bool Sync() override { return ::FlushFileBuffers(handle_.get()) != 0; }

  PublishResult Publish() override {
    if (!handle_.Close()) {
      RemoveFile(hiddenPath_);
      return PublishResult::kFailed;
    }
    // Shown just before the rename, so that a kill cannot leave the whole
    // output hidden under its name; a rename that is refused hides the file
    // again before it is removed, so that one another program holds past
    // the wait is not left in sight. MoveFileExW without
    // MOVEFILE_REPLACE_EXISTING refuses a name that is taken.
    const bool shown = SetAttributes(hiddenPath_, FILE_ATTRIBUTE_NORMAL);
    const DWORD error = RetryWhileHeld([this] {
      return Outcome(::MoveFileExW(hiddenPath_.c_str(), path_.c_str(), MOVEFILE_WRITE_THROUGH));
    });
    if (error != ERROR_SUCCESS) {
      SetAttributes(hiddenPath_, FILE_ATTRIBUTE_HIDDEN);
      RemoveFile(hiddenPath_);
      return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? PublishResult::kNameTaken
                                                                          : PublishResult::kFailed;
    }
    if (shown || ShowPublished()) return PublishResult::kPublished;
    // A hidden output is as good as none: it is given up, unless it cannot
    // even be removed, and then it does stand whole under its name.
    return RemoveFile(path_) ? PublishResult::kFailed : PublishResult::kPublished;
  }

  bool Discard() override {
    const bool closed = handle_.Close();
    RemoveFile(hiddenPath_);
    return closed;
  }

 private:
  // Sets the attributes of the file at `path`, waiting a little for another
  // program that holds it; false when they could not be set.
  static bool SetAttributes(const std::wstring& path, DWORD attributes) {
    return RetryWhileHeld([&] { return Outcome(::SetFileAttributesW(path.c_str(), attributes)); }) ==
           ERROR_SUCCESS;
  }
  // Clears the hidden attribute of the output under its own name (where it
  // could not be cleared before the rename). True when it shows there:
  // cleared, or never kept by the file system.
  bool ShowPublished() {
    if (SetAttributes(path_, FILE_ATTRIBUTE_NORMAL)) return true;
    const DWORD attributes = ::GetFileAttributesW(path_.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) == 0;
  }

  Handle handle_;
  std::wstring path_;
  std::wstring hiddenPath_;
};

// A scratch file: hidden, and removed by Windows once its handle is closed,
// whichever way the process ends.
class WindowsScratchFile : public ScratchFile {
 public:
  explicit WindowsScratchFile(HANDLE handle) : handle_(handle) {}

  bool WriteAt(std::uint64_t offset, const char* data, std::size_t size) override {
    return TransferAt(handle_.get(), offset, const_cast<char*>(data), size, /*write=*/true);
  }
  bool ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    return TransferAt(handle_.get(), offset, buffer, size, /*write=*/false);
  }

 private:
  Handle handle_;
};

class WindowsFiles : public FileSystem {
 public:
  std::unique_ptr<ScratchFile> CreateScratch(const std::string& outputPath) override {
    const std::optional<std::wstring> name = SystemPath(outputPath);
    if (!name) return nullptr;
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::wstring hidden = HiddenBeside(*name, L".spill");
      const HANDLE handle = ::CreateFileW(
          hidden.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
          FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
      if (handle != INVALID_HANDLE_VALUE) return std::make_unique<WindowsScratchFile>(handle);
      if (::GetLastError() != ERROR_FILE_EXISTS) return nullptr;
    }
    return nullptr;
  }

  bool Exists(const std::string& path, bool followLinks) override {
    const std::optional<std::wstring> name = SystemPath(path);
    if (!name) return false;
    // The attributes are those of the name itself: a symbolic link or a
    // junction is seen, not followed.
    const DWORD attributes = ::GetFileAttributesW(name->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (!followLinks || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return true;
    // Followed, a link exists only when what it names does.
    Handle target(::CreateFileW(name->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return target.get() != INVALID_HANDLE_VALUE;
  }

  std::unique_ptr<InputFile> OpenInput(const std::string& path) override {
    const std::optional<std::wstring> name = SystemPath(path);
    if (!name) return nullptr;
    // Without FILE_FLAG_BACKUP_SEMANTICS a directory does not open. Others
    // may go on reading and writing the file, as on POSIX.
    const HANDLE handle = ::CreateFileW(
        name->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    std::uint64_t size = 0;
    LARGE_INTEGER fileSize;
    if (::GetFileType(handle) == FILE_TYPE_DISK && ::GetFileSizeEx(handle, &fileSize) &&
        fileSize.QuadPart > 0) {
      size = static_cast<std::uint64_t>(fileSize.QuadPart);
    }
    return std::make_unique<WindowsInputFile>(handle, size);
  }

  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override {
    const std::optional<std::wstring> name = SystemPath(path);
    if (!name) return nullptr;
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::wstring hidden = HiddenBeside(*name, L".part");
      // CREATE_NEW refuses any existing name; FILE_FLAG_OPEN_REPARSE_POINT
      // makes a link or junction at the name count as that name, never as
      // the thing it points to.
      Handle handle(::CreateFileW(hidden.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                  nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
      if (handle.get() == INVALID_HANDLE_VALUE) {
        if (::GetLastError() == ERROR_FILE_EXISTS) continue;
        return nullptr;
      }
      // A device name ("NUL", "CON", "COM1" with any extension) opens the
      // device instead of creating a file: that is no output.
      if (::GetFileType(handle.get()) != FILE_TYPE_DISK) return nullptr;
      return std::make_unique<WindowsOutputFile>(handle.Release(), *name, hidden);
    }
    return nullptr;
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static WindowsFiles files;
  return files;
}

}  // namespace notora
