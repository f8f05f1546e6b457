#include "pictures.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "pixel_font.h"

namespace imggen {
namespace {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
// The player's feet stand on this line (its rectangle's bottom).
constexpr int kGroundTop = 700;
// The status text takes the top-left corner; nothing busy goes there.
constexpr int kStatusRight = 230;
constexpr int kStatusBottom = 90;

constexpr double kMoonX = 860.0;
constexpr double kMoonY = 118.0;
constexpr double kMoonRadius = 42.0;

double smooth01(double t) {
  t = std::clamp(t, 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

Rgb sky_colour(int y) {
  const Rgb zenith{6, 8, 30};
  const Rgb middle{24, 22, 66};
  const Rgb horizon{70, 40, 92};
  if (y < 430) return mix(zenith, middle, smooth01(y / 430.0));
  return mix(middle, horizon, smooth01((y - 430) / 338.0));
}

bool in_status_corner(int x, int y) { return x < kStatusRight && y < kStatusBottom; }

void draw_star(Canvas& canvas, int x, int y, Rgb tint, double brightness, bool large) {
  const auto light = [&canvas, tint](int px, int py, double f) {
    if (canvas.contains(px, py)) canvas.set(px, py, add(canvas.at(px, py), tint, f));
  };
  light(x, y, brightness);
  if (!large) return;
  for (int d = 1; d <= 3; ++d) {
    const double f = brightness * (d == 1 ? 0.6 : d == 2 ? 0.3 : 0.12);
    light(x - d, y, f);
    light(x + d, y, f);
    light(x, y - d, f);
    light(x, y + d, f);
  }
  light(x - 1, y - 1, brightness * 0.15);
  light(x + 1, y - 1, brightness * 0.15);
  light(x - 1, y + 1, brightness * 0.15);
  light(x + 1, y + 1, brightness * 0.15);
}

void draw_moon(Canvas& canvas) {
  const Rgb glow{70, 66, 96};
  for (int y = 0; y < 260; ++y) {
    for (int x = 680; x < kScreenWidth; ++x) {
      const double d = std::hypot(x + 0.5 - kMoonX, y + 0.5 - kMoonY);
      if (d >= kMoonRadius && d < kMoonRadius + 90.0) {
        const double f = 1.0 - (d - kMoonRadius) / 90.0;
        canvas.set(x, y, add(canvas.at(x, y), glow, f * f * 0.9));
      }
    }
  }
  struct Crater {
    double x, y, r;
  };
  const Crater craters[] = {{-14, -10, 9}, {12, 6, 12}, {-6, 18, 6}, {18, -18, 5}, {-22, 10, 4}, {2, -24, 4}};
  for (int y = static_cast<int>(kMoonY - kMoonRadius); y <= kMoonY + kMoonRadius; ++y) {
    for (int x = static_cast<int>(kMoonX - kMoonRadius); x <= kMoonX + kMoonRadius; ++x) {
      const double dx = x + 0.5 - kMoonX;
      const double dy = y + 0.5 - kMoonY;
      const double d = std::hypot(dx, dy);
      if (d >= kMoonRadius) continue;
      // Lit from the lower left, darker toward the upper right limb.
      const double shade = 0.82 + 0.18 * (-dx + dy) / (kMoonRadius * 1.42);
      Rgb c = scale(Rgb{246, 240, 212}, shade);
      for (const Crater& crater : craters) {
        const double cd = std::hypot(dx - crater.x, dy - crater.y);
        if (cd < crater.r) c = scale(c, cd < crater.r - 1.5 ? 0.86 : 0.93);
      }
      canvas.set(x, y, c);
    }
  }
}

// The milky way: a faint diagonal band, brighter in clumps.
void draw_milky_way(Canvas& canvas, Random& random) {
  const double ax = 140.0, ay = 768.0, bx = 720.0, by = 0.0;
  const double len = std::hypot(bx - ax, by - ay);
  const double nx = (by - ay) / len, ny = -(bx - ax) / len;
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      const double d = (x - ax) * nx + (y - ay) * ny;
      const double along = ((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / len;
      const double width = 70.0 + 30.0 * value_noise(along / 90.0, 11);
      const double band = std::exp(-(d * d) / (width * width));
      if (band < 0.01) continue;
      const double clumps = 0.45 + 0.55 * value_noise(along / 40.0 + d / 70.0, 23);
      canvas.set(x, y, add(canvas.at(x, y), Rgb{60, 58, 110}, band * clumps * 0.5));
    }
  }
  for (int i = 0; i < 900; ++i) {
    const double along = random.unit() * len;
    const double across = (random.unit() + random.unit() + random.unit() - 1.5) * 80.0;
    const int x = static_cast<int>(ax + (bx - ax) * along / len + nx * across);
    const int y = static_cast<int>(ay + (by - ay) * along / len + ny * across);
    if (in_status_corner(x, y)) continue;
    draw_star(canvas, x, y, Rgb{200, 205, 255}, 0.15 + 0.3 * random.unit(), false);
  }
}

double middle_ridge(int x) {
  return 448.0 + 26.0 * std::sin(x * 0.0105 + 2.0) + 14.0 * std::sin(x * 0.027 + 0.5) +
         10.0 * (value_noise(x / 31.0, 13) - 0.5);
}

double near_ridge(int x) {
  return 606.0 + 18.0 * std::sin(x * 0.013 + 0.9) + 9.0 * std::sin(x * 0.037 + 2.4) +
         6.0 * (value_noise(x / 17.0, 17) - 0.5);
}

struct Peak {
  double x;
  double y;
  double slope;
};

// The far range: pointed mountains, each a cone of its own slope, the
// silhouette their lower envelope.
std::vector<Peak> far_peaks() {
  std::vector<Peak> peaks;
  Random random(0x5045414B);  // "PEAK"
  for (double x = -80.0; x < kScreenWidth + 120.0; x += 110.0 + random.below(90)) {
    peaks.push_back({x, 168.0 + random.below(120), 0.55 + 0.4 * random.unit()});
  }
  return peaks;
}

void draw_far_mountains(Canvas& canvas) {
  const std::vector<Peak> peaks = far_peaks();
  const Rgb lit{96, 104, 156};
  const Rgb shaded{52, 56, 104};
  const Rgb foot{40, 44, 86};
  const Rgb snow{214, 222, 244};
  const Rgb snow_shaded{150, 160, 204};
  for (int x = 0; x < kScreenWidth; ++x) {
    const Peak* front = &peaks.front();
    double ridge = 1e9;
    for (const Peak& peak : peaks) {
      const double y = peak.y + std::abs(x + 0.5 - peak.x) * peak.slope;
      if (y < ridge) {
        ridge = y;
        front = &peak;
      }
    }
    ridge += 4.0 * (value_noise(x / 7.0, 7) - 0.5);
    // The moon stands to the right: faces turned toward it are lit.
    const bool facing_moon = x + 0.5 > front->x;
    // Snow caps the high peaks; its lower edge falls more gently than the
    // slopes, so each cap narrows to a point on either side.
    const double cap = std::max(0.0, (250.0 - front->y) * 0.75);
    const double snow_line = front->y + cap + std::abs(x + 0.5 - front->x) * front->slope * 0.45 +
                             7.0 * (value_noise(x / 3.0, 19) - 0.5);
    for (int y = static_cast<int>(std::ceil(ridge)); y < kScreenHeight; ++y) {
      Rgb c = mix(facing_moon ? lit : shaded, foot, smooth01((y - front->y) / 260.0));
      if (y < snow_line) c = facing_moon ? snow : snow_shaded;
      canvas.set(x, y, c);
    }
  }
}

void draw_pine(Canvas& canvas, int base_x, int base_y, int height, Rgb colour) {
  for (int y = 0; y < height; ++y) {
    // Three stacked cones: each tier widens toward its foot.
    const double tier = std::fmod(y / (height / 3.0), 1.0);
    const int half = static_cast<int>((2.0 + 7.0 * tier) * (0.5 + 0.5 * y / height) + 0.5);
    for (int dx = -half; dx <= half; ++dx) canvas.set(base_x + dx, base_y - height + y, colour);
  }
  canvas.fill_rect(base_x - 1, base_y, base_x + 2, base_y + 4, colour);
}

void draw_middle_hills(Canvas& canvas) {
  const Rgb top{38, 80, 86};
  const Rgb foot{24, 54, 62};
  for (int x = 0; x < kScreenWidth; ++x) {
    const double ridge = middle_ridge(x);
    for (int y = static_cast<int>(std::ceil(ridge)); y < kScreenHeight; ++y) {
      canvas.set(x, y, mix(top, foot, smooth01((y - ridge) / 140.0)));
    }
  }
  Random random(0x50494E45);  // "PINE"
  for (int x = 8; x < kScreenWidth; x += 14 + random.below(22)) {
    const int height = 22 + random.below(30);
    draw_pine(canvas, x, static_cast<int>(middle_ridge(x)) + 3, height, Rgb{20, 46, 52});
  }
}

void draw_near_hills(Canvas& canvas) {
  const Rgb top{52, 118, 66};
  const Rgb foot{30, 80, 48};
  for (int x = 0; x < kScreenWidth; ++x) {
    const double ridge = near_ridge(x);
    for (int y = static_cast<int>(std::ceil(ridge)); y < kScreenHeight; ++y) {
      Rgb c = mix(top, foot, smooth01((y - ridge) / 90.0));
      if (y - ridge < 2.0) c = mix(c, Rgb{120, 190, 110}, 0.5);
      canvas.set(x, y, c);
    }
  }
  // Bushes along the hill line, each a clump of three leafy domes.
  Random random(0x42555348);  // "BUSH"
  for (int x = 20; x < kScreenWidth; x += 70 + random.below(110)) {
    const double r = 7.0 + random.below(5);
    const double cy = near_ridge(x) + r * 0.6;
    const double offsets[3][2] = {{-r, 0.3 * r}, {r, 0.3 * r}, {0.0, -0.2 * r}};
    for (const auto& offset : offsets) {
      canvas.fill_circle(x + offset[0], cy + offset[1], r, Rgb{34, 92, 52});
    }
    for (const auto& offset : offsets) {
      canvas.fill_circle(x + offset[0] - 0.3 * r, cy + offset[1] - 0.35 * r, 0.45 * r, Rgb{62, 136, 74});
    }
  }
}

void draw_ground(Canvas& canvas) {
  const Rgb grass{86, 176, 72};
  const Rgb grass_light{140, 214, 104};
  const Rgb mortar{64, 40, 26};
  const int soil_top = kGroundTop + 10;
  canvas.fill_rect(0, kGroundTop, kScreenWidth, soil_top, grass);
  canvas.fill_rect(0, kGroundTop, kScreenWidth, kGroundTop + 2, grass_light);
  Random random(0x47524153);  // "GRAS"
  for (int x = 0; x < kScreenWidth; x += 1 + random.below(3)) {
    const int height = 2 + random.below(6);
    for (int y = kGroundTop - height; y < kGroundTop; ++y)
      canvas.set(x, y, y == kGroundTop - height ? grass_light : grass);
  }
  canvas.fill_rect(0, soil_top - 2, kScreenWidth, soil_top, Rgb{58, 128, 56});

  // Bricks of the floor, every other course shifted by half a brick.
  constexpr int kBrickWidth = 32;
  constexpr int kBrickHeight = 14;
  canvas.fill_rect(0, soil_top, kScreenWidth, kScreenHeight, mortar);
  for (int row = 0; soil_top + row * kBrickHeight < kScreenHeight; ++row) {
    const int top = soil_top + row * kBrickHeight;
    const int shift = (row % 2) * (kBrickWidth / 2);
    for (int left = -shift; left < kScreenWidth; left += kBrickWidth) {
      const double tone = 0.85 + 0.25 * value_noise(left * 0.37 + row * 7.1, 29);
      const Rgb brick = scale(Rgb{128, 82, 48}, tone * (1.0 - row * 0.06));
      canvas.fill_rect(left + 1, top + 1, left + kBrickWidth - 1, top + kBrickHeight - 1, brick);
      canvas.fill_rect(left + 1, top + 1, left + kBrickWidth - 1, top + 3,
                       mix(brick, Rgb{200, 150, 100}, 0.35));
      canvas.fill_rect(left + 1, top + kBrickHeight - 3, left + kBrickWidth - 1, top + kBrickHeight - 1,
                       scale(brick, 0.75));
    }
  }
}

// A glossy ball of radius r: diffuse and specular light from the upper left,
// a cool rim light at the lower right and a dark edge line. Only whole pixels,
// so no edge pixel is a blend with the transparent colour.
void draw_ball(Canvas& canvas, double cx, double cy, double r) {
  const double lx = -0.48, ly = -0.62, lz = 0.62;
  const double l_len = std::sqrt(lx * lx + ly * ly + lz * lz);
  const Rgb base{222, 44, 56};
  const Rgb edge{80, 12, 26};
  for (int y = static_cast<int>(std::floor(cy - r)); y <= cy + r; ++y) {
    for (int x = static_cast<int>(std::floor(cx - r)); x <= cx + r; ++x) {
      const double dx = (x + 0.5 - cx) / r;
      const double dy = (y + 0.5 - cy) / r;
      const double d2 = dx * dx + dy * dy;
      if (d2 >= 1.0) continue;
      const double dz = std::sqrt(1.0 - d2);
      const double diffuse = std::max(0.0, (dx * lx + dy * ly + dz * lz) / l_len);
      // Reflection of the view ray (0, 0, 1) about the normal, against the light.
      const double rz = 2.0 * dz * dz - 1.0;
      const double rx = 2.0 * dz * dx, ry = 2.0 * dz * dy;
      const double spec = std::pow(std::max(0.0, (rx * lx + ry * ly + rz * lz) / l_len), 40.0);
      const double rim = std::pow(1.0 - dz, 2.0) * std::max(0.0, (dx + dy) * 0.7);
      Rgb c = scale(base, 0.22 + 0.85 * diffuse);
      c = add(c, Rgb{90, 130, 255}, rim * 0.55);
      c = add(c, Rgb{255, 255, 255}, spec * 0.95);
      if (std::sqrt(d2) * r > r - std::max(1.5, r / 60.0)) c = edge;
      canvas.set(x, y, c);
    }
  }
}

// The player figure, drawn so that its gun's muzzle sits where a new bullet
// picture starts (the box's top-left corner).
void draw_player(Canvas& canvas, int ox, int oy) {
  const Rgb skin{242, 198, 156};
  const Rgb skin_dark{204, 150, 112};
  const Rgb helmet{250, 204, 48};
  const Rgb helmet_dark{206, 150, 20};
  const Rgb shirt{52, 112, 222};
  const Rgb shirt_dark{34, 74, 160};
  const Rgb trousers{44, 44, 76};
  const Rgb boots{96, 54, 30};
  const Rgb metal{84, 90, 108};
  const Rgb metal_light{170, 178, 196};
  auto rect = [&canvas, ox, oy](int l, int t, int r, int b, Rgb c) {
    canvas.fill_rect(ox + l, oy + t, ox + r, oy + b, c);
  };

  // Boots and legs.
  rect(34, 141, 47, 150, boots);
  rect(48, 141, 61, 150, boots);
  rect(34, 141, 47, 143, mix(boots, Rgb{255, 220, 180}, 0.3));
  rect(48, 141, 61, 143, mix(boots, Rgb{255, 220, 180}, 0.3));
  rect(37, 114, 46, 141, trousers);
  rect(49, 114, 58, 141, trousers);
  rect(37, 114, 39, 141, mix(trousers, Rgb{255, 255, 255}, 0.2));
  // Belt and body.
  rect(35, 110, 60, 115, Rgb{120, 72, 36});
  rect(45, 110, 50, 115, Rgb{230, 200, 80});
  rect(35, 80, 60, 110, shirt);
  rect(35, 80, 39, 110, mix(shirt, Rgb{255, 255, 255}, 0.3));
  rect(55, 80, 60, 110, shirt_dark);
  rect(44, 84, 51, 100, mix(shirt, Rgb{255, 255, 255}, 0.55));  // badge
  rect(46, 86, 49, 98, shirt_dark);
  // Right arm hangs down; left arm holds the gun up.
  rect(60, 82, 66, 106, shirt_dark);
  rect(60, 106, 66, 112, skin);
  rect(29, 82, 36, 92, shirt);
  rect(29, 92, 35, 100, skin);
  // The gun: barrel straight up to the box's top edge.
  rect(25, 55, 31, 104, metal);
  rect(26, 55, 28, 104, metal_light);
  rect(24, 52, 32, 56, Rgb{255, 176, 60});
  rect(25, 53, 31, 55, Rgb{255, 236, 150});
  rect(23, 92, 34, 98, metal);
  // Head with a helmet.
  canvas.fill_circle(ox + 47.5, oy + 68.0, 12.0, skin);
  canvas.fill_circle(ox + 50.5, oy + 71.0, 6.0, skin_dark);
  canvas.fill_circle(ox + 46.5, oy + 69.0, 7.5, skin);
  rect(40, 68, 43, 71, Rgb{30, 30, 40});
  rect(51, 68, 54, 71, Rgb{30, 30, 40});
  rect(44, 75, 51, 77, Rgb{170, 80, 70});
  for (int y = 54; y < 66; ++y) {
    for (int x = 34; x < 62; ++x) {
      const double dx = x + 0.5 - 47.5, dy = y + 0.5 - 66.0;
      if (dx * dx + dy * dy < 13.5 * 13.5)
        canvas.set(ox + x, oy + y,
                   dx < -4.0  ? mix(helmet, Rgb{255, 255, 255}, 0.4)
                   : dx > 6.0 ? helmet_dark
                              : helmet);
    }
  }
  rect(33, 64, 62, 67, helmet_dark);
  rect(45, 80, 50, 82, skin_dark);  // neck
  canvas.outline(Rgb{28, 20, 34}, ox + 20, oy + 50, ox + 70, oy + 150);
}

Canvas screen_with_scenery() {
  Canvas canvas(kScreenWidth, kScreenHeight, kKey);
  draw_near_hills(canvas);
  draw_ground(canvas);
  return canvas;
}

void draw_trail(Canvas& canvas, double x0, double y0, double vx, double vy, int dots) {
  double x = x0, y = y0;
  for (int i = 0; i < dots; ++i) {
    const double fade = 1.0 - static_cast<double>(i) / dots;
    canvas.fill_circle(x, y, 1.5 + 2.5 * fade, mix(Rgb{90, 80, 140}, Rgb{255, 255, 255}, fade));
    for (int step = 0; step < 6; ++step) {
      x -= vx;
      y -= vy;
      vy -= 0.35;
    }
  }
}

}  // namespace

Canvas night_sky() {
  Canvas canvas(kScreenWidth, kScreenHeight, Rgb{});
  for (int y = 0; y < kScreenHeight; ++y) {
    const Rgb c = sky_colour(y);
    canvas.fill_rect(0, y, kScreenWidth, y + 1, c);
  }
  Random random(0x484F5053);  // "HOPS"
  draw_milky_way(canvas, random);
  for (int i = 0; i < 520; ++i) {
    const int x = random.below(kScreenWidth);
    const int y = static_cast<int>(std::pow(random.unit(), 1.4) * 700.0);
    const double brightness = 0.45 + 0.55 * random.unit();
    const bool large = random.below(16) == 0;
    const int kind = random.below(4);
    if (in_status_corner(x, y) || std::hypot(x - kMoonX, y - kMoonY) < kMoonRadius + 24.0) continue;
    const Rgb tint = kind == 0 ? Rgb{190, 210, 255} : kind == 1 ? Rgb{255, 236, 200} : Rgb{240, 240, 250};
    draw_star(canvas, x, y, tint, brightness, large);
  }
  draw_moon(canvas);
  return canvas;
}

Canvas play_field() {
  Canvas canvas(kScreenWidth, kScreenHeight, kKey);
  draw_far_mountains(canvas);
  draw_middle_hills(canvas);
  draw_near_hills(canvas);
  draw_ground(canvas);
  return canvas;
}

Canvas title_screen() {
  Canvas canvas = screen_with_scenery();
  const TextStyle title{Rgb{255, 240, 130}, Rgb{242, 112, 18}, Rgb{62, 22, 12}, 7, Rgb{16, 8, 30}, 9};
  draw_text(canvas, "HOPS", kScreenWidth / 2, 150, 24, title);
  const TextStyle prompt{Rgb{255, 255, 255}, Rgb{150, 220, 255}, Rgb{20, 30, 90}, 3, Rgb{8, 8, 24}, 4};
  draw_text(canvas, "PRESS S TO START", kScreenWidth / 2, 430, 8, prompt);

  draw_trail(canvas, 150.0, 322.0, 3.2, 1.0, 9);
  draw_ball(canvas, 150.0, 322.0, 58.0);
  draw_trail(canvas, 868.0, 330.0, -2.6, 2.0, 7);
  draw_ball(canvas, 868.0, 330.0, 36.0);
  draw_ball(canvas, 930.0, 560.0, 18.0);
  draw_player(canvas, 467, kGroundTop - 150);
  return canvas;
}

Canvas ending_screen() {
  Canvas canvas = screen_with_scenery();
  // A dark panel with a bevelled frame holds the two lines.
  const int left = 130, top = 190, right = 894, bottom = 540;
  for (int y = top; y < bottom; ++y) {
    const Rgb c = mix(Rgb{26, 22, 60}, Rgb{10, 10, 30}, static_cast<double>(y - top) / (bottom - top));
    canvas.fill_rect(left, y, right, y + 1, c);
  }
  canvas.fill_rect(left, top, right, top + 4, Rgb{130, 150, 230});
  canvas.fill_rect(left, top, left + 4, bottom, Rgb{130, 150, 230});
  canvas.fill_rect(left, bottom - 4, right, bottom, Rgb{46, 56, 120});
  canvas.fill_rect(right - 4, top, right, bottom, Rgb{46, 56, 120});

  const TextStyle title{Rgb{255, 170, 110}, Rgb{196, 22, 44}, Rgb{44, 4, 14}, 6, Rgb{4, 4, 12}, 7};
  draw_text(canvas, "GAME OVER", kScreenWidth / 2, 250, 12, title);
  const TextStyle prompt{Rgb{255, 255, 230}, Rgb{255, 214, 120}, Rgb{60, 30, 10}, 3, Rgb{4, 4, 12}, 4};
  draw_text(canvas, "PRESS S TO RESUME", kScreenWidth / 2, 430, 4, prompt);

  draw_ball(canvas, 880.0, kGroundTop - 46.0, 46.0);
  draw_ball(canvas, 120.0, kGroundTop - 22.0, 22.0);
  return canvas;
}

Canvas ball() {
  Canvas canvas(300, 300, kKey);
  draw_ball(canvas, 150.0, 150.0, 150.0);
  return canvas;
}

Canvas player() {
  Canvas canvas(91, 150, kKey);
  draw_player(canvas, 0, 0);
  return canvas;
}

Canvas bullet() {
  Canvas canvas(16, 32, kKey);
  // Distance to a short vertical core; the head at the top burns hottest.
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 16; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      const double cy = std::clamp(py, 8.0, 24.0);
      const double taper = 1.0 - 0.45 * (cy - 8.0) / 16.0;
      const double d = std::hypot(px - 8.0, py - cy) / taper;
      if (d >= 7.2) continue;
      Rgb c;
      if (d < 2.2) {
        c = Rgb{255, 255, 236};
      } else if (d < 4.2) {
        c = mix(Rgb{255, 255, 236}, Rgb{255, 226, 90}, (d - 2.2) / 2.0);
      } else {
        c = mix(Rgb{255, 210, 70}, Rgb{214, 92, 20}, (d - 4.2) / 3.0);
      }
      canvas.set(x, y, c);
    }
  }
  return canvas;
}

}  // namespace imggen
