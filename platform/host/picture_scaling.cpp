#include "host/picture_scaling.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "host/sharp_axes.h"

namespace platform {
namespace {

PictureRect centred(int output_width, int output_height, int width, int height) {
  return PictureRect{(output_width - width) / 2, (output_height - height) / 2, width, height};
}

PictureRect fit_rect(int output_width, int output_height, int picture_width, int picture_height) {
  const std::int64_t wide = static_cast<std::int64_t>(output_width) * picture_height;
  const std::int64_t tall = static_cast<std::int64_t>(output_height) * picture_width;
  if (wide <= tall) {
    return centred(
        output_width, output_height, output_width,
        static_cast<int>(static_cast<std::int64_t>(output_width) * picture_height / picture_width));
  }
  return centred(output_width, output_height,
                 static_cast<int>(static_cast<std::int64_t>(output_height) * picture_width / picture_height),
                 output_height);
}

// One output row from one source row through the column map; `one_to_one`
// when the columns are consecutive source columns.
void scale_row(const FrameView& frame, const unsigned char* source, std::uint32_t* out,
               const std::vector<int>& columns, bool one_to_one) {
  const int width = static_cast<int>(columns.size());
  if (frame.bits_per_pixel == 16) {
    const auto* pixels = reinterpret_cast<const std::uint16_t*>(source);
    for (int x = 0; x < width; ++x) out[x] = widen_565(pixels[columns[static_cast<std::size_t>(x)]]);
    return;
  }
  const auto* pixels = reinterpret_cast<const std::uint32_t*>(source);
  if (one_to_one) {
    std::memcpy(out, pixels + columns.front(), static_cast<std::size_t>(width) * 4);
    return;
  }
  for (int x = 0; x < width; ++x) out[x] = pixels[columns[static_cast<std::size_t>(x)]];
}

std::uint32_t blend(std::uint32_t a, std::uint32_t b, std::uint32_t weight) {
  const std::uint32_t keep = 256 - weight;
  const std::uint32_t red_blue = ((a & 0xFF00FF) * keep + (b & 0xFF00FF) * weight) >> 8;
  const std::uint32_t green = ((a & 0x00FF00) * keep + (b & 0x00FF00) * weight) >> 8;
  return (red_blue & 0xFF00FF) | (green & 0x00FF00);
}

// Output columns [begin, end) of one source row, blended along the row.
void blend_columns(const std::uint32_t* source, std::uint32_t* out, const SharpAxis& columns,
                   std::size_t begin, std::size_t end) {
  for (std::size_t x = begin; x < end; ++x) {
    out[x - begin] = blend(source[columns.first[x]], source[columns.second[x]],
                           static_cast<std::uint32_t>(columns.weight[x]));
  }
}

// The output pixels [first, last] of an axis whose source pixels fall in
// [begin, end); empty (last < first) when none do.
std::pair<int, int> sharp_span(const SharpAxis& axis, int begin, int end) {
  int first = static_cast<int>(axis.first.size());
  int last = -1;
  for (std::size_t i = 0; i < axis.first.size(); ++i) {
    const bool takes = (axis.first[i] >= begin && axis.first[i] < end) ||
                       (axis.weight[i] != 0 && axis.second[i] >= begin && axis.second[i] < end);
    if (!takes) continue;
    first = std::min(first, static_cast<int>(i));
    last = static_cast<int>(i);
  }
  return {first, last};
}

// The output pixels [first, last) of a nearest-neighbour axis whose source
// pixel, floor(i * source / output), falls in [begin, end).
std::pair<int, int> nearest_span(int source_size, int output_size, int begin, int end) {
  const auto first_at = [&](int source) {
    return static_cast<int>((static_cast<std::int64_t>(source) * output_size + source_size - 1) /
                            source_size);
  };
  return {first_at(begin), first_at(end)};
}

}  // namespace

SharpAxis sharp_axis(int source_size, int output_size, int factor) {
  SharpAxis axis;
  const std::int64_t enlarged = static_cast<std::int64_t>(source_size) * factor;
  for (int i = 0; i < output_size; ++i) {
    // The output pixel's centre in enlarged pixels, less half a pixel, in
    // 1/256ths: the left of the two enlarged pixels it lies between.
    const std::int64_t at = std::max<std::int64_t>(
        0, ((2 * i + 1) * enlarged * 256 - static_cast<std::int64_t>(output_size) * 256) / (2 * output_size));
    const std::int64_t left = std::min(at >> 8, enlarged - 1);
    const std::int64_t right = std::min(left + 1, enlarged - 1);
    axis.first.push_back(static_cast<int>(left / factor));
    axis.second.push_back(static_cast<int>(right / factor));
    axis.weight.push_back(axis.first.back() == axis.second.back() ? 0 : static_cast<int>(at & 255));
  }
  return axis;
}

void scale_sharp(const FrameView& frame, std::uint32_t* output, int output_pitch, const PictureRect& rect) {
  scale_sharp_part(frame, output, output_pitch, rect, rect);
}

void scale_sharp_part(const FrameView& frame, std::uint32_t* output, int output_pitch,
                      const PictureRect& rect, const PictureRect& part) {
  if (frame.pixels == nullptr || part.width <= 0 || part.height <= 0) return;
  const SharpAxes& axes = sharp_axes(frame.width, frame.height, rect.width, rect.height);
  const SharpAxis& columns = axes.columns;
  const SharpAxis& rows = axes.rows;
  auto* target = reinterpret_cast<unsigned char*>(output);
  // A 16-bit row is widened before it is blended.
  std::vector<std::uint32_t> widened(frame.bits_per_pixel == 16 ? static_cast<std::size_t>(frame.width) : 0);
  const auto source_row = [&](int row) {
    if (widened.empty()) return reinterpret_cast<const std::uint32_t*>(frame.row(row));
    for (int x = 0; x < frame.width; ++x) widened[static_cast<std::size_t>(x)] = widen_565(frame.at(x, row));
    return static_cast<const std::uint32_t*>(widened.data());
  };
  // The last two source rows blended along the columns, kept for the rows
  // after them that use them again.
  const auto begin = static_cast<std::size_t>(part.x - rect.x);
  const auto end = begin + static_cast<std::size_t>(part.width);
  std::vector<std::uint32_t> upper(static_cast<std::size_t>(part.width));
  std::vector<std::uint32_t> lower(static_cast<std::size_t>(part.width));
  int upper_row = -1;
  int lower_row = -1;
  for (int y = part.y - rect.y; y < part.y - rect.y + part.height; ++y) {
    const auto index = static_cast<std::size_t>(y);
    const int first = rows.first[index];
    const int second = rows.second[index];
    if (upper_row != first) {
      if (lower_row == first) {
        std::swap(upper, lower);
        std::swap(upper_row, lower_row);
      } else {
        blend_columns(source_row(first), upper.data(), columns, begin, end);
        upper_row = first;
      }
    }
    auto* out =
        reinterpret_cast<std::uint32_t*>(target + static_cast<std::ptrdiff_t>(rect.y + y) * output_pitch) +
        part.x;
    const auto weight = static_cast<std::uint32_t>(rows.weight[index]);
    if (weight == 0) {
      std::memcpy(out, upper.data(), static_cast<std::size_t>(part.width) * 4);
      continue;
    }
    if (lower_row != second) {
      blend_columns(source_row(second), lower.data(), columns, begin, end);
      lower_row = second;
    }
    for (std::size_t x = 0; x < upper.size(); ++x) out[x] = blend(upper[x], lower[x], weight);
  }
}

PictureRect picture_rect(int output_width, int output_height, int picture_width, int picture_height,
                         ScaleMode mode) {
  if (output_width <= 0 || output_height <= 0 || picture_width <= 0 || picture_height <= 0) return {};
  if (mode == ScaleMode::integer) {
    const int factor = std::min(output_width / picture_width, output_height / picture_height);
    if (factor >= 1) {
      return centred(output_width, output_height, picture_width * factor, picture_height * factor);
    }
  }
  return fit_rect(output_width, output_height, picture_width, picture_height);
}

int sharp_factor(const PictureRect& rect, int picture_width) {
  if (picture_width <= 0) return 1;
  return std::max(1, (rect.width + picture_width - 1) / picture_width);
}

void scale_nearest(const FrameView& frame, std::uint32_t* output, int output_pitch, const PictureRect& rect) {
  scale_nearest_part(frame, output, output_pitch, rect, rect);
}

void scale_nearest_part(const FrameView& frame, std::uint32_t* output, int output_pitch,
                        const PictureRect& rect, const PictureRect& part) {
  if (frame.pixels == nullptr || part.width <= 0 || part.height <= 0) return;
  std::vector<int> columns(static_cast<std::size_t>(part.width));
  for (int x = 0; x < part.width; ++x) {
    columns[static_cast<std::size_t>(x)] =
        static_cast<int>(static_cast<std::int64_t>(part.x - rect.x + x) * frame.width / rect.width);
  }
  const bool one_to_one = rect.width == frame.width;
  const auto* source = static_cast<const unsigned char*>(frame.pixels);
  auto* target = reinterpret_cast<unsigned char*>(output);
  const std::size_t row_bytes = static_cast<std::size_t>(part.width) * 4;
  int previous_row = -1;
  std::uint32_t* previous_out = nullptr;
  for (int y = part.y - rect.y; y < part.y - rect.y + part.height; ++y) {
    const int row = static_cast<int>(static_cast<std::int64_t>(y) * frame.height / rect.height);
    auto* out =
        reinterpret_cast<std::uint32_t*>(target + static_cast<std::ptrdiff_t>(rect.y + y) * output_pitch) +
        part.x;
    // Rows that repeat a source row copy the row already scaled.
    if (row == previous_row) {
      std::memcpy(out, previous_out, row_bytes);
    } else {
      scale_row(frame, source + static_cast<std::ptrdiff_t>(row) * frame.pitch, out, columns, one_to_one);
    }
    previous_row = row;
    previous_out = out;
  }
}

PictureRect output_part(const PictureRect& rect, int picture_width, int picture_height, const RECT& changed,
                        ScaleMode mode) {
  if (rect.width <= 0 || rect.height <= 0 || picture_width <= 0 || picture_height <= 0) return {};
  const int left = std::max(0, changed.left);
  const int top = std::max(0, changed.top);
  const int right = std::min(picture_width, changed.right);
  const int bottom = std::min(picture_height, changed.bottom);
  if (left >= right || top >= bottom) return {};
  std::pair<int, int> columns;
  std::pair<int, int> rows;
  if (mode == ScaleMode::sharp) {
    const SharpAxes& axes = sharp_axes(picture_width, picture_height, rect.width, rect.height);
    columns = sharp_span(axes.columns, left, right);
    rows = sharp_span(axes.rows, top, bottom);
    ++columns.second;
    ++rows.second;
  } else {
    columns = nearest_span(picture_width, rect.width, left, right);
    rows = nearest_span(picture_height, rect.height, top, bottom);
  }
  if (columns.first >= columns.second || rows.first >= rows.second) return {};
  return PictureRect{rect.x + columns.first, rect.y + rows.first, columns.second - columns.first,
                     rows.second - rows.first};
}

std::vector<PictureRect> parts_to_redraw(const PictureRect& rect, int picture_width, int picture_height,
                                         const ChangedArea& changed, ScaleMode mode) {
  if (changed.is_everything()) return {rect};
  std::vector<PictureRect> parts;
  for (const RECT& area : changed.rectangles()) {
    const PictureRect part = output_part(rect, picture_width, picture_height, area, mode);
    if (part.width > 0) parts.push_back(part);
  }
  return parts;
}

void scale_part(ScaleMode mode, const FrameView& frame, std::uint32_t* output, int output_pitch,
                const PictureRect& rect, const PictureRect& part) {
  if (mode == ScaleMode::sharp) {
    scale_sharp_part(frame, output, output_pitch, rect, part);
  } else {
    scale_nearest_part(frame, output, output_pitch, rect, part);
  }
}

}  // namespace platform
