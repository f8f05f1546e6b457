// How flipped frames reach a display: the pacer that shows the newest of them
// once per refresh, where the picture goes on outputs of every size, the
// nearest-neighbour scaling that puts it there, and the statistics line.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/frame_pacer.h"
#include "host/frame_statistics.h"
#include "host/picture_scaling.h"

namespace {

using platform::FramePacer;
using platform::FrameView;
using platform::PictureRect;
using platform::ScaleMode;

constexpr std::int64_t kMillisecond = 10'000;
constexpr std::int64_t kSecond = 1000 * kMillisecond;

// One second of a game flipping 100 frames a second and polling every
// quarter millisecond, on a display of `refresh_hz` whose every present
// takes `show_cost`. Each show must be of the newest frame, never from
// inside a flip, at most one per refresh slot, within a refresh and a poll
// of that frame's flip.
TEST(FramePacer, ShowsTheNewestFrameOncePerRefreshAndDropsTheRest) {
  struct Row {
    int refresh_hz;
    std::int64_t show_cost;
    int shown;
  };
  const Row rows[] = {
      {60, 0, 60},   {50, 0, 50},   {60, 5 * kMillisecond, 60},
      {120, 0, 100}, {144, 0, 100}, {30, 2 * kMillisecond, 30},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.refresh_hz);
    const std::int64_t refresh = kSecond / row.refresh_hz;
    std::vector<int> pixels(100);
    std::vector<std::int64_t> flip_times;
    std::vector<std::int64_t> show_times;
    std::int64_t now = 0;
    bool flipping = false;
    FramePacer pacer(refresh, [&](const FrameView& frame) {
      const auto index = static_cast<std::size_t>(static_cast<const int*>(frame.pixels) - pixels.data());
      EXPECT_FALSE(flipping);
      EXPECT_EQ(index + 1, flip_times.size());
      EXPECT_LE(now - flip_times[index], refresh + kMillisecond / 4);
      if (!show_times.empty()) {
        const std::int64_t slot = refresh * static_cast<std::int64_t>(show_times.size());
        EXPECT_GE(now - show_times.front(), slot);
        // Slower than the game, the display takes a frame in every slot,
        // each within a poll of its start: the rhythm does not drift.
        if (row.refresh_hz < 100) {
          EXPECT_LT(now - show_times.front(), slot + kMillisecond / 4);
        }
      }
      show_times.push_back(now);
      now += row.show_cost;
    });
    while (now < kSecond) {
      if (now >= static_cast<std::int64_t>(flip_times.size()) * 10 * kMillisecond) {
        flipping = true;
        pacer.flipped(FrameView{&pixels[flip_times.size()], 1, 1, 4, 32});
        flipping = false;
        flip_times.push_back(now);
      }
      const std::int64_t until_due = pacer.ticks_until_due(now);
      EXPECT_LE(until_due, refresh);
      const bool due = until_due == 0;
      const std::size_t before = show_times.size();
      pacer.poll(now);
      EXPECT_EQ(show_times.size() > before, due);
      if (show_times.size() > before) {
        EXPECT_EQ(pacer.ticks_until_due(now), -1);
      }
      now += kMillisecond / 4;
    }
    EXPECT_EQ(show_times.size(), static_cast<std::size_t>(row.shown));
  }
}

TEST(FramePacer, AForgottenFrameIsNeverShown) {
  int shows = 0;
  FramePacer pacer(kSecond / 60, [&](const FrameView&) { ++shows; });
  const int pixel = 0;
  pacer.flipped(FrameView{&pixel, 1, 1, 4, 32});
  pacer.forget();
  pacer.poll(0);
  EXPECT_EQ(shows, 0);
  EXPECT_EQ(pacer.newest().pixels, nullptr);
}

TEST(FrameStatistics, OneLineWithRatesToOneDecimal) {
  EXPECT_EQ(platform::statistics_line({1000, 600, 10.0, 0.45}),
            "hops: 1000 frames in 10.00 s (100.0 a second), 600 shown, CPU 0.45 s (4.5 % of one core)");
  EXPECT_EQ(platform::statistics_line({997, 998, 10.04, 1.234}),
            "hops: 997 frames in 10.04 s (99.3 a second), 998 shown, CPU 1.23 s (12.3 % of one core)");
}

TEST(PictureRect, CentredAndLetterboxedForEveryMode) {
  struct Row {
    int width;
    int height;
    ScaleMode mode;
    PictureRect expected;
  };
  const Row rows[] = {
      {1024, 768, ScaleMode::fit, {0, 0, 1024, 768}},
      {1920, 1080, ScaleMode::fit, {240, 0, 1440, 1080}},
      {1920, 1200, ScaleMode::fit, {160, 0, 1600, 1200}},
      {1280, 1024, ScaleMode::fit, {0, 32, 1280, 960}},
      {800, 600, ScaleMode::fit, {0, 0, 800, 600}},
      {1000, 2000, ScaleMode::fit, {0, 625, 1000, 750}},
      {1920, 1080, ScaleMode::integer, {448, 156, 1024, 768}},
      {2560, 1600, ScaleMode::integer, {256, 32, 2048, 1536}},
      {3840, 2160, ScaleMode::integer, {896, 312, 2048, 1536}},
      {1000, 700, ScaleMode::integer, {33, 0, 933, 700}},
      {1920, 1080, ScaleMode::sharp, {240, 0, 1440, 1080}},
      {0, 768, ScaleMode::fit, {}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(platform::picture_rect(row.width, row.height, 1024, 768, row.mode), row.expected)
        << row.width << "x" << row.height << " mode " << static_cast<int>(row.mode);
  }
  EXPECT_EQ(platform::sharp_factor({240, 0, 1440, 1080}, 1024), 2);
  EXPECT_EQ(platform::sharp_factor({0, 0, 1024, 768}, 1024), 1);
  EXPECT_EQ(platform::sharp_factor({0, 0, 3072, 2304}, 1024), 3);
  EXPECT_EQ(platform::scale_mode_from(nullptr), ScaleMode::fit);
  EXPECT_EQ(platform::scale_mode_from("integer"), ScaleMode::integer);
  EXPECT_EQ(platform::scale_mode_from("sharp"), ScaleMode::sharp);
  EXPECT_EQ(platform::scale_mode_from("huge"), ScaleMode::fit);
}

// Every output pixel against the plain rule: inside the rectangle, the
// source pixel under its top-left corner (16-bit sources widened); outside,
// untouched.
TEST(ScaleNearest, MatchesThePlainRuleForEverySizeAndDepth) {
  struct Row {
    int bits;
    PictureRect rect;
  };
  const Row rows[] = {
      {32, {0, 0, 13, 7}},  {32, {3, 2, 29, 17}}, {32, {1, 1, 9, 5}},
      {16, {2, 1, 26, 14}}, {16, {0, 0, 13, 7}},
  };
  constexpr int kWidth = 13;
  constexpr int kHeight = 7;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.rect.width);
    const int pitch = kWidth * row.bits / 8 + 8;
    std::vector<unsigned char> source(static_cast<std::size_t>(pitch) * kHeight);
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<unsigned char>(i * 37 + 11);
    const FrameView frame{source.data(), kWidth, kHeight, pitch, row.bits};
    const int out_width = row.rect.x + row.rect.width + 2;
    const int out_height = row.rect.y + row.rect.height + 1;
    const int out_pitch = out_width * 4 + 8;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(out_pitch / 4) * out_height, 0xDEADBEEF);
    platform::scale_nearest(frame, out.data(), out_pitch, row.rect);
    for (int y = 0; y < out_height; ++y) {
      for (int x = 0; x < out_width; ++x) {
        std::uint32_t expected = 0xDEADBEEF;
        const int rx = x - row.rect.x;
        const int ry = y - row.rect.y;
        if (rx >= 0 && ry >= 0 && rx < row.rect.width && ry < row.rect.height) {
          const unsigned char* at =
              source.data() + static_cast<std::size_t>(ry * kHeight / row.rect.height) * pitch;
          const int sx = rx * kWidth / row.rect.width;
          if (row.bits == 32) {
            expected = static_cast<std::uint32_t>(at[4 * sx] | at[4 * sx + 1] << 8 | at[4 * sx + 2] << 16 |
                                                  static_cast<std::uint32_t>(at[4 * sx + 3]) << 24);
          } else {
            const unsigned pixel = at[2 * sx] | at[2 * sx + 1] << 8;
            const unsigned r = pixel >> 11, g = (pixel >> 5) & 63, b = pixel & 31;
            expected = (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
          }
        }
        ASSERT_EQ(out[static_cast<std::size_t>(y) * (out_pitch / 4) + x], expected) << x << "," << y;
      }
    }
  }
}

// Each axis: which source pixels an output pixel blends and how much of the
// second; only pixels astride an enlarged run's edge blend two.
TEST(ScaleSharp, AxesBlendOnlyAcrossTheEdgesOfEnlargedPixels) {
  struct Row {
    int source, output, factor;
    std::vector<int> first, second, weight;
  };
  const Row rows[] = {
      {2, 3, 2, {0, 0, 1}, {0, 1, 1}, {0, 128, 0}},
      {4, 4, 1, {0, 1, 2, 3}, {1, 2, 3, 3}, {0, 0, 0, 0}},
      {2, 5, 3, {0, 0, 0, 1, 1}, {0, 0, 1, 1, 1}, {0, 0, 128, 0, 0}},
      {3, 2, 1, {0, 1}, {1, 2}, {64, 192}},
  };
  for (const Row& row : rows) {
    const platform::SharpAxis axis = platform::sharp_axis(row.source, row.output, row.factor);
    EXPECT_EQ(axis.first, row.first) << row.source << " to " << row.output;
    EXPECT_EQ(axis.second, row.second) << row.source << " to " << row.output;
    EXPECT_EQ(axis.weight, row.weight) << row.source << " to " << row.output;
  }
}

// The kernel, which keeps blended rows for the rows after them, against the
// plain blend of every output pixel by the same axes.
TEST(ScaleSharp, MatchesThePlainBlendOfEveryPixel) {
  constexpr int kWidth = 8;
  constexpr int kHeight = 6;
  const PictureRect rects[] = {{0, 0, 8, 6}, {2, 1, 12, 9}, {0, 0, 19, 14}, {1, 3, 27, 20}, {0, 0, 5, 4}};
  std::vector<std::uint32_t> source(kWidth * kHeight);
  for (std::size_t i = 0; i < source.size(); ++i)
    source[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFF;
  const FrameView frame{source.data(), kWidth, kHeight, kWidth * 4, 32};
  const auto blend = [](std::uint32_t a, std::uint32_t b, int w) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const std::uint32_t ca = (a >> shift) & 255, cb = (b >> shift) & 255;
      out |= ((ca * static_cast<std::uint32_t>(256 - w) + cb * static_cast<std::uint32_t>(w)) >> 8) << shift;
    }
    return out;
  };
  for (const PictureRect& rect : rects) {
    SCOPED_TRACE(rect.width);
    const int factor = platform::sharp_factor(rect, kWidth);
    const platform::SharpAxis columns = platform::sharp_axis(kWidth, rect.width, factor);
    const platform::SharpAxis rows = platform::sharp_axis(kHeight, rect.height, factor);
    const int out_width = rect.x + rect.width;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(out_width) * (rect.y + rect.height), 0xDEADBEEF);
    platform::scale_sharp(frame, out.data(), out_width * 4, rect);
    for (int y = 0; y < rect.height; ++y) {
      for (int x = 0; x < rect.width; ++x) {
        const auto at = [&](int row, int column) {
          return source[static_cast<std::size_t>(row) * kWidth + column];
        };
        const auto horizontal = [&](int row) {
          return blend(at(row, columns.first[x]), at(row, columns.second[x]), columns.weight[x]);
        };
        const std::uint32_t expected =
            blend(horizontal(rows.first[y]), horizontal(rows.second[y]), rows.weight[y]);
        ASSERT_EQ(out[static_cast<std::size_t>(rect.y + y) * out_width + rect.x + x], expected)
            << x << "," << y;
      }
    }
    EXPECT_EQ(out[0], rect.x == 0 && rect.y == 0 ? out[0] : 0xDEADBEEFu);
  }
}

}  // namespace
