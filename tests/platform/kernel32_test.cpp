// Files by name, as the game loads its pictures.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/bmp_file.h"

namespace {

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string folder = hops_test::make_temp_dir();
    ASSERT_EQ(mkdir((folder + "/IMG").c_str(), 0777), 0);
    hops_test::write_file(folder + "/IMG", "data.bin", {'H', 'O', 'P', 'S', 0, 0xFF, 7});
    ASSERT_EQ(chdir(folder.c_str()), 0);
  }
};

std::string Size(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return "none";
  return S_ISREG(info.st_mode) ? std::to_string(info.st_size) : "not a file";
}

// Each open as a trace: the bytes (in hex) of each read of up to 4 until one
// reads nothing, and the file's size after it, or what the refusal printed.
// Windows paths with backslashes work as they stand; only regular files open,
// and without waiting; the disposition creates and truncates as on Windows.
// The player need not own the pictures: as nobody (if the tests run as root),
// a read opens a file nobody may write. A read of nothing reads nothing, a
// closed handle is forgotten and leaves no descriptor open.
TEST_F(FileTest, OpensReadsAndRefusesAsWindowsDoes) {
  ASSERT_EQ(mkfifo("IMG/pipe.bmp", 0644), 0);
  hops_test::write_file("IMG", "old.bin", {1, 2, 3});
  hops_test::write_file("IMG", "older.bin", {1, 2, 3});
  ASSERT_EQ(chmod("IMG/data.bin", 0444), 0);
  ASSERT_EQ(chmod(".", 0777) + chmod("IMG", 0777) + chmod("IMG/old.bin", 0666) + chmod("IMG/older.bin", 0666),
            0);
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(seteuid(65534), 0);
  }
  const struct {
    const char* path;
    DWORD access, disposition;
    const char* trace;
  } opens[] = {
      {".\\IMG\\data.bin", GENERIC_READ, OPEN_EXISTING, "read 484F5053 00FF07 , 7"},
      {"IMG/data.bin", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING, "! IMG/data.bin: Permission denied, 7"},
      {"IMG/new.bin", GENERIC_WRITE, CREATE_NEW, "refused, 0"},
      {"IMG/new.bin", GENERIC_WRITE, CREATE_NEW, "! IMG/new.bin: File exists, 0"},
      {"IMG/made.bin", 0, OPEN_ALWAYS, "read , 0"},
      {"IMG/old.bin", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING, "read 010203 , 3"},
      {"IMG/old.bin", GENERIC_READ, TRUNCATE_EXISTING, ", 3"},
      {"IMG/old.bin", GENERIC_READ, 0, ", 3"},
      {"IMG/older.bin", GENERIC_WRITE, TRUNCATE_EXISTING, "refused, 0"},
      {"IMG/old.bin", GENERIC_READ, CREATE_ALWAYS, "read , 0"},
      {".\\IMG\\missing.bin", GENERIC_READ, OPEN_EXISTING,
       "! IMG/missing.bin: No such file or directory, none"},
      {".\\NOPE\\data.bin", GENERIC_READ, OPEN_EXISTING, "! NOPE/data.bin: No such file or directory, none"},
      {"IMG\\", GENERIC_READ, OPEN_EXISTING, "! IMG/: Is a directory, not a file"},
      {".\\IMG\\pipe.bmp", GENERIC_READ, OPEN_EXISTING,
       "! IMG/pipe.bmp: No such device or address, not a file"},
      {"IMG/pipe.bmp", GENERIC_WRITE, OPEN_ALWAYS, "! IMG/pipe.bmp: No such device or address, not a file"},
      {"/dev/null", GENERIC_READ, OPEN_EXISTING, "! /dev/null: No such device or address, not a file"},
      {"", GENERIC_READ, OPEN_EXISTING, ", none"}};
  const auto descriptors = [] {
    const auto fds = std::filesystem::directory_iterator("/proc/self/fd");
    return std::distance(begin(fds), end(fds));
  };
  const auto before = descriptors();
  std::vector<std::string> trace, expected;
  for (const auto& open : opens) {
    ::testing::internal::CaptureStderr();
    HANDLE file =
        CreateFileA(open.path, open.access, 0, nullptr, open.disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::string line = ::testing::internal::GetCapturedStderr();
    const std::string refusal = "hops: cannot open ";
    if (line.starts_with(refusal) && line.ends_with("\n"))
      line = "! " + line.substr(refusal.size(), line.size() - refusal.size() - 1);
    if (file != INVALID_HANDLE_VALUE) {
      unsigned char bytes[4];
      DWORD read = 99;
      line = "read ";
      for (int i = 0; i < 4 && read != 0; ++i) {
        if (!ReadFile(file, bytes, 4, &read, nullptr)) line = "refused";
        char hex[10] = "";
        for (DWORD k = 0; k < read; ++k) std::snprintf(hex + 2 * k, 4, "%02X ", bytes[k]);
        line += hex;
      }
      EXPECT_TRUE(CloseHandle(file));
    }
    trace.push_back(line + ", " + Size(open.path));
    expected.push_back(open.trace);
  }
  HANDLE file = CreateFileA("IMG/data.bin", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  DWORD read = 99;
  const std::vector<BOOL> answers{ReadFile(file, nullptr, 0, &read, nullptr),
                                  ReadFile(file, nullptr, 1, &read, nullptr),
                                  CloseHandle(file),
                                  ReadFile(file, &read, 1, &read, nullptr),
                                  CloseHandle(file),
                                  CloseHandle(INVALID_HANDLE_VALUE)};
  EXPECT_EQ(answers, (std::vector<BOOL>{TRUE, FALSE, TRUE, FALSE, FALSE, FALSE}));
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(descriptors(), before);
  if (root) {
    ASSERT_EQ(seteuid(0), 0);
  }
  EXPECT_EQ(trace, expected);
}

}  // namespace
