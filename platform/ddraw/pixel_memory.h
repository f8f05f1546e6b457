#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// The zeroed pixel memory of one surface. A full-screen surface is 3 MB,
// and the game makes six of them before its first frame; taking them from
// the kernel on 2 MB pages that come zeroed spares the start-up thousands of
// page faults and a second pass clearing memory that is clear already.
// Small surfaces come from the C heap. Empty (get() is null) when the memory
// is not there.
class PixelMemory {
 public:
  PixelMemory() = default;
  explicit PixelMemory(std::size_t bytes);
  ~PixelMemory();
  PixelMemory(PixelMemory&& other) noexcept;
  PixelMemory& operator=(PixelMemory&& other) noexcept;
  PixelMemory(const PixelMemory&) = delete;
  PixelMemory& operator=(const PixelMemory&) = delete;

  std::uint8_t* get() const { return data_; }

 private:
  void release();

  std::uint8_t* data_ = nullptr;
  // Non-zero when data_ is a mapping of its own, of this many bytes.
  std::size_t mapped_bytes_ = 0;
};

}  // namespace platform
