// Files by narrow name. Windows paths such as ".\IMG\IMG_BACK.bmp" work as
// they stand: a backslash separates folders like a slash. Handles are
// pointers to our own records, never INVALID_HANDLE_VALUE; a handle that is
// not open (closed already, or never ours) is refused like on Windows.
#include <sys/stat.h>

#include <cstdio>
#include <set>
#include <string>

#include <windows.h>

namespace {

struct File {
  std::FILE* stream;
};

std::set<File*>& open_files() {
  static std::set<File*> s_files;
  return s_files;
}

File* open_file(HANDLE handle) {
  auto* file = static_cast<File*>(handle);
  return open_files().count(file) != 0 ? file : nullptr;
}

// Only regular files open: a folder's name is refused as on Windows, where
// opening one takes a flag of its own.
bool is_folder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string native_path(const char* name) {
  std::string path(name);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

const char* open_mode(DWORD access, DWORD disposition, bool exists) {
  const bool write = (access & GENERIC_WRITE) != 0;
  const bool read = (access & GENERIC_READ) != 0 || !write;
  switch (disposition) {
    case CREATE_ALWAYS:
      return read ? "w+b" : "wb";
    case TRUNCATE_EXISTING:
      return exists ? (read ? "w+b" : "wb") : nullptr;
    case CREATE_NEW:
      return exists ? nullptr : (read ? "w+b" : "wb");
    case OPEN_ALWAYS:
      return exists ? (write ? "r+b" : "rb") : (read ? "w+b" : "wb");
    case OPEN_EXISTING:
      return exists ? (write ? "r+b" : "rb") : nullptr;
    default:
      return nullptr;
  }
}

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD dwCreationDisposition, DWORD, HANDLE) {
  if (lpFileName == nullptr || *lpFileName == '\0') return INVALID_HANDLE_VALUE;
  const std::string path = native_path(lpFileName);
  if (is_folder(path)) return INVALID_HANDLE_VALUE;
  std::FILE* probe = std::fopen(path.c_str(), "rb");
  const bool exists = probe != nullptr;
  if (probe != nullptr) std::fclose(probe);
  const char* mode = open_mode(dwDesiredAccess, dwCreationDisposition, exists);
  if (mode == nullptr) return INVALID_HANDLE_VALUE;
  std::FILE* stream = std::fopen(path.c_str(), mode);
  if (stream == nullptr) return INVALID_HANDLE_VALUE;
  File* file = new File{stream};
  open_files().insert(file);
  return file;
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     LPOVERLAPPED) {
  if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = 0;
  File* file = open_file(hFile);
  if (file == nullptr) return FALSE;
  if (lpBuffer == nullptr && nNumberOfBytesToRead != 0) return FALSE;
  const std::size_t read = nNumberOfBytesToRead == 0 ? 0 : std::fread(lpBuffer, 1, nNumberOfBytesToRead, file->stream);
  if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = static_cast<DWORD>(read);
  // The end of the file is not an error: the count tells how much came.
  return std::ferror(file->stream) ? FALSE : TRUE;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
  File* file = open_file(hObject);
  if (file == nullptr) return FALSE;
  open_files().erase(file);
  std::fclose(file->stream);
  delete file;
  return TRUE;
}
