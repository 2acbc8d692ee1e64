#include "winapp/help_page.h"

#include "winapp/resource.h"

namespace notora {
namespace {

// Closes a handle when it goes out of scope.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return handle_; }
  // Closes now; false when the close failed (the bytes may not be there).
  bool Close() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return ::CloseHandle(handle) != FALSE;
  }

 private:
  HANDLE handle_;
};

}  // namespace

std::wstring WriteHelpPage(HMODULE module) {
  const HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(NOTORA_HELP_PAGE),
                                        MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (resource == nullptr) return {};
  const DWORD size = ::SizeofResource(module, resource);
  const HGLOBAL loaded = ::LoadResource(module, resource);
  const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  if (bytes == nullptr) return {};

  wchar_t folder[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) return {};
  const std::wstring path = std::wstring(folder, length) + L"notora-help.html";

  FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return {};
  DWORD written = 0;
  if (!::WriteFile(file.get(), bytes, size, &written, nullptr) || written != size) return {};
  if (!file.Close()) return {};
  return path;
}

}  // namespace notora
