// Files by name, as the game loads its pictures.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <tuple>

#include "support/bmp_file.h"

namespace {

// Each open as a trace: the bytes of each read of up to 4 until one reads
// nothing, and the file's size after it, or what the refusal printed.
// Windows paths with backslashes work as they stand; only regular files open,
// and without waiting; the disposition creates and truncates as on Windows.
// The player need not own the pictures: as nobody (if the tests run as root),
// a read opens a file nobody may write. A closed handle is forgotten and
// leaves no descriptor open.
TEST(FileTest, OpensReadsAndRefusesAsWindowsDoes) {
  ASSERT_EQ(chdir(hops_test::make_temp_dir().c_str()), 0);
  ASSERT_TRUE(mkdir("IMG", 0777) == 0 && mkfifo("IMG/pipe.bmp", 0644) == 0);
  for (const char* name : {"data.bin", "old.bin", "older.bin"})
    ASSERT_EQ(chmod(hops_test::write_file("IMG", name, {'H', 'O', 'P', 'S', 0, 0xFF, 7}).c_str(), 0666), 0);
  ASSERT_EQ(chmod(".", 0777) + chmod("IMG", 0777) + chmod("IMG/data.bin", 0444), 0);
  const bool root = geteuid() == 0;
  ASSERT_EQ(root ? seteuid(65534) : 0, 0);
  const std::tuple<const char*, DWORD, DWORD, const char*> opens[] = {
      {".\\IMG\\data.bin", GENERIC_READ, OPEN_EXISTING, "read 72.79.80.83. 0.255.7. , 7"},
      {"IMG/data.bin", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING, "! IMG/data.bin: Permission denied, 7"},
      {"IMG/new.bin", GENERIC_WRITE, CREATE_NEW, "refused , 0"},
      {"IMG/new.bin", GENERIC_WRITE, CREATE_NEW, "! IMG/new.bin: File exists, 0"},
      {"IMG/made.bin", 0, OPEN_ALWAYS, "read , 0"},
      {"IMG/old.bin", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING, "read 72.79.80.83. 0.255.7. , 7"},
      {"IMG/old.bin", GENERIC_READ, TRUNCATE_EXISTING, ", 7"},
      {"IMG/old.bin", GENERIC_READ, 0, ", 7"},
      {"IMG/older.bin", GENERIC_WRITE, TRUNCATE_EXISTING, "refused , 0"},
      {"IMG/old.bin", GENERIC_READ, CREATE_ALWAYS, "read , 0"},
      {".\\IMG\\gone.bin", GENERIC_READ, OPEN_EXISTING, "! IMG/gone.bin: No such file or directory, none"},
      {"IMG\\", GENERIC_READ, OPEN_EXISTING, "! IMG/: Is a directory, not a file"},
      {".\\IMG\\pipe.bmp", GENERIC_READ, OPEN_EXISTING,
       "! IMG/pipe.bmp: No such device or address, not a file"},
      {"", GENERIC_READ, OPEN_EXISTING, ", none"}};
  const auto before = std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
  for (const auto& [name, access, disposition, wanted] : opens) {
    ::testing::internal::CaptureStderr();
    HANDLE file = CreateFileA(name, access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::string line = std::regex_replace(::testing::internal::GetCapturedStderr(),
                                          std::regex("^hops: cannot open (.*)\n$"), "! $1");
    if (file != INVALID_HANDLE_VALUE) {
      unsigned char bytes[4];
      DWORD read = 99;
      // A read of nothing is granted, a read into nothing refused, whatever the access.
      line = ReadFile(file, nullptr, 0, &read, nullptr) && !ReadFile(file, nullptr, 1, &read, nullptr)
                 ? "read"
                 : "?";
      for (int i = 0; i < 4 && (i == 0 || read != 0); ++i) {
        if (!ReadFile(file, bytes, 4, &read, nullptr)) line = "refused";
        line += " ";
        for (DWORD k = 0; k < read; ++k) line += std::to_string(bytes[k]) + ".";
      }
      read = 99;
      EXPECT_TRUE(CloseHandle(file) && !CloseHandle(file) && !ReadFile(file, bytes, 1, &read, nullptr) &&
                  read == 0);
    }
    std::string path = name, size = "none";
    std::replace(path.begin(), path.end(), '\\', '/');
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) size = S_ISREG(st.st_mode) ? std::to_string(st.st_size) : "not a file";
    EXPECT_EQ(line + ", " + size, wanted);
  }
  EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}), before);
  ASSERT_EQ(root ? seteuid(0) : 0, 0);
}

}  // namespace
