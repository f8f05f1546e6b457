// Files by narrow name. Windows paths such as ".\IMG\IMG_BACK.bmp" work as
// they stand: a backslash separates folders like a slash. Handles are
// pointers to our own records, never INVALID_HANDLE_VALUE; a handle that is
// not open (closed already, or never ours) is refused like on Windows.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

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

std::string native_path(const char* name) {
  std::string path(name);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

// The path as the player would look for it: the game's leading ".\" names
// the folder the game runs in and is left out.
void report_cannot_open(std::string path, int error) {
  while (path.rfind("./", 0) == 0 && path.size() > 2) path.erase(0, 2);
  std::fprintf(stderr, "hops: cannot open %s: %s\n", path.c_str(), std::strerror(error));
}

int open_flags(DWORD access, DWORD disposition) {
  const bool write = (access & GENERIC_WRITE) != 0;
  const bool read = (access & GENERIC_READ) != 0 || !write;
  const int mode = !write ? O_RDONLY : read ? O_RDWR : O_WRONLY;
  switch (disposition) {
    case CREATE_ALWAYS:
      return mode | O_CREAT | O_TRUNC;
    case CREATE_NEW:
      return mode | O_CREAT | O_EXCL;
    case OPEN_ALWAYS:
      return mode | O_CREAT;
    case OPEN_EXISTING:
      return mode;
    case TRUNCATE_EXISTING:
      return write ? mode | O_TRUNC : -1;  // as on Windows, only with write access
    default:
      return -1;
  }
}

const char* stream_mode(int flags) {
  switch (flags & O_ACCMODE) {
    case O_RDONLY:
      return "rb";
    case O_WRONLY:
      return "wb";
    default:
      return "r+b";
  }
}

// Only regular files open, as a file's name on Windows names nothing else: a
// folder, pipe, socket or device is refused before it is opened, and the open
// itself never waits (a pipe swapped in between is caught by fstat).
int open_regular(const std::string& path, int flags) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    errno = S_ISDIR(info.st_mode) ? EISDIR : ENXIO;
    return -1;
  }
  const int fd = open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    errno = ENXIO;
    return -1;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD dwCreationDisposition, DWORD, HANDLE) {
  if (lpFileName == nullptr || *lpFileName == '\0') return INVALID_HANDLE_VALUE;
  const int flags = open_flags(dwDesiredAccess, dwCreationDisposition);
  if (flags < 0) return INVALID_HANDLE_VALUE;
  const std::string path = native_path(lpFileName);
  const int fd = open_regular(path, flags);
  std::FILE* stream = fd < 0 ? nullptr : fdopen(fd, stream_mode(flags));
  if (stream == nullptr) {
    const int error = errno;
    if (fd >= 0) close(fd);
    report_cannot_open(path, error);
    return INVALID_HANDLE_VALUE;
  }
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
  const std::size_t read =
      nNumberOfBytesToRead == 0 ? 0 : std::fread(lpBuffer, 1, nNumberOfBytesToRead, file->stream);
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
