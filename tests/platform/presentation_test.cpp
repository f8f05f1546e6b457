// How flipped frames reach a display: the pacer that shows the newest of them
// once per refresh, where the picture goes on outputs of every size and the
// scaling that puts it there.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <tuple>
#include <utility>
#include <vector>

#include "ddraw/pixels.h"
#include "host/frame_pacer.h"
#include "host/picture_scaling.h"
#include "host/rest_planner.h"
#include "host/sharp_axes.h"

namespace {

using platform::FrameView;
using platform::PictureRect;

constexpr std::int64_t kMillisecond = 10'000;
constexpr std::int64_t kSecond = 1000 * kMillisecond;

// An axis's parts, to compare whole.
auto Parts(const platform::SharpAxis& axis) { return std::tie(axis.first, axis.second, axis.weight); }

// One second of a game flipping 100 frames a second and polling every
// quarter millisecond, on a display of `refresh_hz` whose every present
// takes `show_cost`. Each show must be of the newest frame (so never from
// inside a flip), at most one per refresh slot, within a refresh and a poll
// of that frame's flip. Told when the next flip comes, the pacer shows each
// slot's frame (the newest at the slot's start) at the poll after its flip.
TEST(FramePacer, ShowsTheNewestFrameOncePerRefreshAndDropsTheRest) {
  const std::tuple<int, std::int64_t, std::size_t> rows[] = {
      {60, 0, 60},   {50, 0, 50},   {60, 5 * kMillisecond, 60},
      {120, 0, 100}, {144, 0, 100}, {30, 2 * kMillisecond, 30}};
  constexpr std::int64_t kPoll = kMillisecond / 4;
  for (const auto& [refresh_hz, show_cost, shown] : rows) {
    for (const bool told : {false, true}) {
      SCOPED_TRACE(testing::Message() << refresh_hz << (told ? " told" : ""));
      const std::int64_t refresh = kSecond / refresh_hz;
      std::vector<int> pixels(100);
      std::vector<std::int64_t> flips, shows;
      std::int64_t now = 0;
      platform::FramePacer pacer(refresh, [&, refresh_hz = refresh_hz, show_cost = show_cost](
                                              const FrameView& frame, const platform::ChangedArea&) {
        const auto index = static_cast<std::size_t>(static_cast<const int*>(frame.pixels) - pixels.data());
        EXPECT_EQ(index + 1, flips.size());
        const std::int64_t slot = refresh * static_cast<std::int64_t>(shows.size());
        if (told) {
          EXPECT_EQ(index,
                    static_cast<std::size_t>(refresh_hz >= 100 ? shows.size() : slot / (10 * kMillisecond)));
          EXPECT_EQ(now, flips[index]);
        } else {
          EXPECT_LE(now - flips[index], refresh + kPoll);
          // Slower than the game, the display takes a frame in every slot,
          // each within a poll of its start: the rhythm does not drift.
          const std::int64_t since = shows.empty() ? 0 : now - shows.front();
          EXPECT_GE(since, slot);
          EXPECT_TRUE(refresh_hz >= 100 || since < slot + kPoll) << since;
        }
        shows.push_back(now);
        now += show_cost;
      });
      for (; now < kSecond; now += kPoll) {
        if (now >= static_cast<std::int64_t>(flips.size()) * 10 * kMillisecond) {
          pacer.flipped(FrameView{&pixels[flips.size()], 1, 1, 4, 32}, {});
          flips.push_back(now);
        }
        const std::int64_t until_due = pacer.ticks_until_due(now);
        EXPECT_LE(until_due, refresh);
        const std::size_t before = shows.size();
        pacer.poll(now, told ? flips.back() + 10 * kMillisecond : INT64_MIN);
        EXPECT_TRUE(told || (shows.size() > before) == (until_due == 0));
        EXPECT_TRUE(shows.size() == before || pacer.ticks_until_due(now) == -1);
      }
      // Told, the last slot's frame may be shown before the second ends.
      EXPECT_TRUE(shows.size() == shown || (told && shows.size() == shown + 1)) << shows.size();
    }
  }
}

// A show late by a refresh or more starts the rhythm anew: the next frame
// waits a whole refresh after it. A frame forgotten is never shown.
TEST(FramePacer, AfterALateShowTheNextWaitsAWholeRefresh) {
  int shown = 0, pixel = 0;
  platform::FramePacer pacer(100, [&](const FrameView&, const platform::ChangedArea&) { ++shown; });
  for (const std::int64_t now : {0, 250, 450}) {
    pacer.flipped(FrameView{&pixel, 1, 1, 4, 32}, {});
    pacer.poll(now, INT64_MIN);
    pacer.flipped(FrameView{&pixel, 1, 1, 4, 32}, {});
    EXPECT_EQ(pacer.ticks_until_due(now), 100) << now;
  }
  pacer.forget();
  pacer.poll(1000, INT64_MIN);
  EXPECT_EQ(shown, 3);
  EXPECT_EQ(pacer.newest().pixels, nullptr);
}

// A polling thread rests until a moment (100 us) before the next frame is
// expected (known after two flips) at the pace the flips keep, only polls
// from then until a rest after it, and naps a millisecond at a time while it
// knows no pace or the frame is later than that.
TEST(RestPlanner, RestsUntilAMomentBeforeTheNextFrame) {
  platform::RestPlanner planner(10);
  std::vector<std::int64_t> rests{planner.rest_ticks(0)}, next_starts;
  for (const std::int64_t start : {0, 100'000, 200'000}) {
    planner.polled();
    planner.counter_read(start);
    planner.counter_read(start + 300);
    planner.flipped(start + 500);
    next_starts.push_back(planner.next_start());
  }
  for (const std::int64_t now : {210'000, 298'999, 299'000, 300'500, 309'999, 310'000})
    rests.push_back(planner.rest_ticks(now));
  EXPECT_EQ(rests, (std::vector<std::int64_t>{10'000, 89'000, 1, 0, 0, 0, 10'000}));
  EXPECT_EQ(next_starts, (std::vector<std::int64_t>{INT64_MIN, 200'000, 300'000}));
}

// A game whose frames fall due 10 ms after each start, on a thread that rests
// as told (a poll takes 50 us): after a stall of frames 20 ms apart, the pace
// is found again within a few frames and kept.
TEST(RestPlanner, FindsThePaceAgainAfterAStall) {
  platform::RestPlanner planner(1);
  std::int64_t now = 0, due = 0;
  std::vector<std::int64_t> intervals;
  for (int frame = 0; frame < 100; ++frame) {
    for (;;) {
      planner.polled();
      planner.counter_read(now);
      if (now >= due) break;
      const std::int64_t rest = planner.rest_ticks(now);
      now += rest > 0 ? rest : 50;
    }
    planner.flipped(now);
    due = now + 10'000;
    intervals.push_back(now);
    now += frame < 40 ? 20'000 : 100;
  }
  std::adjacent_difference(intervals.begin(), intervals.end(), intervals.begin());
  EXPECT_LE(*std::max_element(intervals.begin() + 50, intervals.end()), 10'100);
  EXPECT_GE(*std::min_element(intervals.begin() + 1, intervals.end()), 10'000);
}

// The kept axes are those worked out anew, whatever sizes come in turn (each
// step changes one of the four).
TEST(SharpAxes, AreThoseWorkedOutAnewForEachSizeInTurn) {
  const std::array<int, 4> sizes[] = {{1024, 768, 1440, 1080}, {1024, 768, 1440, 1080},
                                      {1024, 768, 1441, 1080}, {1024, 768, 1441, 1081},
                                      {1000, 768, 1441, 1081}, {1000, 700, 1441, 1081}};
  for (const auto& [picture_width, picture_height, width, height] : sizes) {
    const platform::SharpAxes& kept = platform::sharp_axes(picture_width, picture_height, width, height);
    const int factor = platform::sharp_factor(PictureRect{0, 0, width, height}, picture_width);
    EXPECT_EQ(Parts(kept.columns), Parts(platform::sharp_axis(picture_width, width, factor))) << width;
    EXPECT_EQ(Parts(kept.rows), Parts(platform::sharp_axis(picture_height, height, factor))) << height;
  }
}

// Where the picture goes on an output of each size and mode, and how many
// times its pixels are enlarged there before the smoothing.
TEST(PictureRect, CentredAndLetterboxedForEveryMode) {
  using enum platform::ScaleMode;
  const std::tuple<int, int, platform::ScaleMode, PictureRect, int> rows[] = {
      {1024, 768, fit, {0, 0, 1024, 768}, 1},           {1920, 1080, fit, {240, 0, 1440, 1080}, 2},
      {1280, 1024, fit, {0, 32, 1280, 960}, 2},         {1000, 2000, fit, {0, 625, 1000, 750}, 1},
      {2049, 1600, fit, {0, 32, 2049, 1536}, 3},        {1920, 1080, integer, {448, 156, 1024, 768}, 1},
      {3840, 2160, integer, {896, 312, 2048, 1536}, 2}, {1000, 700, integer, {33, 0, 933, 700}, 1},
      {1920, 1080, sharp, {240, 0, 1440, 1080}, 2},     {0, 768, fit, {}, 1}};
  for (const auto& [width, height, mode, place, factor] : rows) {
    const PictureRect rect = platform::picture_rect(width, height, 1024, 768, mode);
    EXPECT_EQ(std::pair(rect, platform::sharp_factor(rect, 1024)), std::pair(place, factor)) << width;
  }
}

// Each axis: which source pixels an output pixel blends and how much of the
// second; only pixels astride an enlarged run's edge blend two.
TEST(ScaleSharp, AxesBlendOnlyAcrossTheEdgesOfEnlargedPixels) {
  const std::tuple<int, int, int, std::vector<int>, std::vector<int>, std::vector<int>> rows[] = {
      {2, 3, 2, {0, 0, 1}, {0, 1, 1}, {0, 128, 0}},
      {4, 4, 1, {0, 1, 2, 3}, {1, 2, 3, 3}, {0, 0, 0, 0}},
      {2, 5, 3, {0, 0, 0, 1, 1}, {0, 0, 1, 1, 1}, {0, 0, 128, 0, 0}},
      {3, 2, 1, {0, 1}, {1, 2}, {64, 192}}};
  for (const auto& [source, output, factor, first, second, weight] : rows) {
    EXPECT_EQ(Parts(platform::sharp_axis(source, output, factor)), std::tie(first, second, weight)) << output;
  }
}

// Every output pixel of both kernels against the plain rule: nearest takes
// the source pixel under its top-left corner (16-bit sources widened); sharp
// blends by its axes along the columns, then the rows, keeping blended rows
// for the rows after them. Outside the rectangle nothing changes.
TEST(PictureScaling, KernelsMatchThePlainRuleForEverySizeAndDepth) {
  const std::tuple<bool, int, PictureRect, RECT> rows[] = {
      {false, 32, {0, 0, 13, 7}, {2, 1, 5, 4}},   {false, 32, {3, 2, 29, 17}, {12, 6, 13, 7}},
      {false, 32, {1, 1, 9, 5}, {3, 3, 4, 4}},    {false, 16, {2, 1, 26, 14}, {4, 2, 9, 6}},
      {false, 16, {0, 0, 13, 7}, {-5, -5, 2, 2}}, {true, 32, {0, 0, 13, 7}, {12, 6, 13, 7}},
      {true, 32, {2, 1, 20, 11}, {6, 3, 7, 4}},   {true, 32, {0, 0, 31, 17}, {0, 0, 13, 7}},
      {true, 32, {1, 3, 44, 24}, {12, 0, 13, 1}}, {true, 32, {0, 0, 8, 4}, {5, 2, 9, 5}}};
  constexpr int kWidth = 13, kHeight = 7;
  const auto blend = [](std::uint32_t a, std::uint32_t b, std::uint32_t w) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8)
      out |= ((((a >> shift) & 255) * (256 - w) + ((b >> shift) & 255) * w) >> 8) << shift;
    return out;
  };
  // Without a frame (none flipped yet, or forgotten) nothing is drawn.
  for (const auto scale : {platform::scale_nearest, platform::scale_sharp})
    scale({}, nullptr, 0, {0, 0, 4, 4});
  for (const auto& [sharp, bits, rect, changed] : rows) {
    SCOPED_TRACE(::testing::Message() << bits << (sharp ? " bits sharp, " : " bits, ") << rect.width);
    const int pitch = kWidth * bits / 8 + 8;
    std::vector<unsigned char> source(static_cast<std::size_t>(pitch) * kHeight);
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<unsigned char>(i * 37 + 11);
    const auto at = [&, bits = bits](int y, int x) -> std::uint32_t {
      const unsigned char* p = source.data() + static_cast<std::size_t>(y) * pitch + x * bits / 8;
      if (bits == 32) return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
      return platform::widen_565(p[0] | p[1] << 8);
    };
    const int factor = platform::sharp_factor(rect, kWidth);
    const platform::SharpAxis columns = platform::sharp_axis(kWidth, rect.width, factor);
    const platform::SharpAxis lines = platform::sharp_axis(kHeight, rect.height, factor);
    const auto horizontal = [&](int y, int x) {
      return blend(at(y, columns.first[x]), at(y, columns.second[x]), columns.weight[x]);
    };
    const int out_width = rect.x + rect.width + 2, out_height = rect.y + rect.height + 1;
    const int out_pitch = out_width * 4 + 8;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(out_pitch / 4) * out_height, 0xDEADBEEF);
    const FrameView frame{source.data(), kWidth, kHeight, pitch, bits};
    (sharp ? platform::scale_sharp : platform::scale_nearest)(frame, out.data(), out_pitch, rect);
    for (int y = 0; y < out_height; ++y) {
      for (int x = 0; x < out_width; ++x) {
        const int rx = x - rect.x, ry = y - rect.y;
        const bool inside = rx >= 0 && ry >= 0 && rx < rect.width && ry < rect.height;
        const std::uint32_t expected = !inside ? 0xDEADBEEF
                                       : sharp ? blend(horizontal(lines.first[ry], rx),
                                                       horizontal(lines.second[ry], rx), lines.weight[ry])
                                               : at(ry * kHeight / rect.height, rx * kWidth / rect.width);
        ASSERT_EQ(out[static_cast<std::size_t>(y) * (out_pitch / 4) + x], expected) << x << "," << y;
      }
    }
    // The bounding box of the output pixels that take a pixel of `changed`.
    const auto takes = [&, sharp = sharp, rect = rect](const platform::SharpAxis& axis, int i, int begin,
                                                       int end) {
      const auto k = static_cast<std::size_t>(i);
      const int nearest = &axis == &columns ? i * kWidth / rect.width : i * kHeight / rect.height;
      return sharp ? (axis.first[k] >= begin && axis.first[k] < end) ||
                         (axis.weight[k] != 0 && axis.second[k] >= begin && axis.second[k] < end)
                   : nearest >= begin && nearest < end;
    };
    int left = INT32_MAX, top = INT32_MAX, right = -1, bottom = -1;
    for (int y = 0; y < rect.height; ++y)
      for (int x = 0; x < rect.width; ++x)
        if (takes(columns, x, changed.left, changed.right) && takes(lines, y, changed.top, changed.bottom))
          left = std::min(left, x), top = std::min(top, y), right = x + 1, bottom = y + 1;
    const platform::ScaleMode mode = sharp ? platform::ScaleMode::sharp : platform::ScaleMode::fit;
    const PictureRect part = platform::output_part(rect, kWidth, kHeight, changed, mode);
    EXPECT_EQ(part, (right < 0 ? PictureRect{}
                               : PictureRect{rect.x + left, rect.y + top, right - left, bottom - top}));
    // That part, wiped and drawn again alone, is as the whole picture drew it.
    std::vector<std::uint32_t> redrawn = out;
    for (int y = part.y; y < part.y + part.height; ++y)
      std::fill_n(redrawn.begin() + y * (out_pitch / 4) + part.x, part.width, 0);
    platform::scale_part(mode, frame, redrawn.data(), out_pitch, rect, part);
    EXPECT_EQ(redrawn, out);
  }
}

}  // namespace
