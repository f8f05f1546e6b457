// Files and the performance counter.
#include <gtest/gtest.h>

#include <windows.h>

#include <sys/stat.h>
#include <unistd.h>

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

TEST_F(FileTest, MissingFilesAndFoldersGiveTheInvalidHandle) {
  EXPECT_EQ(OpenForReading(".\\IMG\\missing.bin"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(OpenForReading(".\\NOPE\\data.bin"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(OpenForReading(".\\IMG"), INVALID_HANDLE_VALUE) << "a folder is not a file";
  EXPECT_EQ(OpenForReading(""), INVALID_HANDLE_VALUE);
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
