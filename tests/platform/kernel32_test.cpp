// Files and the performance counter.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

#include <string>
#include <vector>

#include "support/bmp_file.h"
#include "testing/testing.h"

namespace {

HANDLE OpenForReading(const char* path) {
  return CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = hops_test::make_temp_dir();
    ASSERT_EQ(mkdir((folder_ + "/IMG").c_str(), 0755), 0);
    hops_test::write_file(folder_ + "/IMG", "data.bin", {'H', 'O', 'P', 'S', 0, 0xFF, 7});
    ASSERT_EQ(chdir(folder_.c_str()), 0);
  }
  std::string folder_;
};

TEST_F(FileTest, ABackslashPathBelowTheWorkingDirectoryReadsTheFile) {
  HANDLE file = OpenForReading(".\\IMG\\data.bin");
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  unsigned char bytes[16] = {};
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(file, bytes, 4, &read, nullptr));
  EXPECT_EQ(read, 4u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 4), "HOPS");
  // Reading on past the end reports what there was, then nothing.
  ASSERT_TRUE(ReadFile(file, bytes, 16, &read, nullptr));
  EXPECT_EQ(read, 3u);
  EXPECT_EQ(bytes[1], 0xFF);
  EXPECT_EQ(bytes[2], 7);
  ASSERT_TRUE(ReadFile(file, bytes, 16, &read, nullptr));
  EXPECT_EQ(read, 0u);
  EXPECT_TRUE(CloseHandle(file));
}

TEST_F(FileTest, ForwardSlashesAndPlainNamesWorkToo) {
  HANDLE file = OpenForReading("IMG/data.bin");
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  file = OpenForReading((folder_ + "/IMG/data.bin").c_str());
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
}

// Only regular files open, and without waiting: a pipe, like a folder, is
// refused at once. Each refusal names the path and the reason on stderr.
TEST_F(FileTest, WhatIsNoRegularFileGivesTheInvalidHandleAndALine) {
  ASSERT_EQ(mkfifo("IMG/pipe.bmp", 0644), 0);
  const struct {
    const char* path;
    const char* line;
  } kCases[] = {
      {".\\IMG\\missing.bin", "hops: cannot open IMG/missing.bin: No such file or directory\n"},
      {".\\NOPE\\data.bin", "hops: cannot open NOPE/data.bin: No such file or directory\n"},
      {"IMG\\", "hops: cannot open IMG/: Is a directory\n"},
      {".\\IMG\\pipe.bmp", "hops: cannot open IMG/pipe.bmp: No such device or address\n"},
      {"/dev/null", "hops: cannot open /dev/null: No such device or address\n"},
      {"", ""},
  };
  for (const auto& c : kCases) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(OpenForReading(c.path), INVALID_HANDLE_VALUE) << c.path;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.line);
  }
  EXPECT_EQ(CreateFileA("IMG/pipe.bmp", GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr),
            INVALID_HANDLE_VALUE);
}

// The player need not own the pictures: a read opens a file nobody may write.
TEST_F(FileTest, AReadOnlyFileOpensForReadingForAnyUser) {
  ASSERT_EQ(chmod("IMG/data.bin", 0444), 0);
  ASSERT_EQ(chmod(folder_.c_str(), 0755), 0);
  const bool root = geteuid() == 0;
  // As nobody, root's right to write anything does not hide a write mode.
  if (root) {
    ASSERT_EQ(seteuid(65534), 0);
  }
  HANDLE file = OpenForReading(".\\IMG\\data.bin");
  if (root) {
    ASSERT_EQ(seteuid(0), 0);
  }
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  char bytes[4] = {};
  DWORD read = 0;
  EXPECT_TRUE(ReadFile(file, bytes, 4, &read, nullptr));
  EXPECT_EQ(std::string(bytes, read), "HOPS");
  EXPECT_TRUE(CloseHandle(file));
}

TEST_F(FileTest, ClosedHandlesAreForgotten) {
  HANDLE file = OpenForReading(".\\IMG\\data.bin");
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(CloseHandle(file));
  unsigned char byte = 0;
  DWORD read = 99;
  EXPECT_FALSE(ReadFile(file, &byte, 1, &read, nullptr));
  EXPECT_EQ(read, 0u);
  EXPECT_FALSE(CloseHandle(file));
  EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
}

TEST(PerformanceCounter, TheHeadlessClockIsTheVirtualOne) {
  LARGE_INTEGER frequency{}, now{};
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
  EXPECT_EQ(frequency.QuadPart, platform::testing::kCounterFrequency);
  EXPECT_EQ(frequency.QuadPart % 100, 0);
  platform::testing::set_counter(1234);
  ASSERT_TRUE(QueryPerformanceCounter(&now));
  EXPECT_EQ(now.QuadPart, 1234);
  platform::testing::set_counter_step(10);
  QueryPerformanceCounter(&now);
  EXPECT_EQ(now.QuadPart, 1234);
  QueryPerformanceCounter(&now);
  EXPECT_EQ(now.QuadPart, 1244);
  EXPECT_FALSE(QueryPerformanceCounter(nullptr));
  EXPECT_FALSE(QueryPerformanceFrequency(nullptr));
}

}  // namespace
