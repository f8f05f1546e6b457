#include "host/frame_pacer.h"

namespace platform {

void FramePacer::poll(std::int64_t now, std::int64_t next_flip) {
  if (!waiting_ || (now < next_show_ && next_show_ >= next_flip)) return;
  waiting_ = false;
  const std::int64_t rhythm = next_show_ + refresh_ticks_;
  next_show_ = next_show_ != INT64_MIN && rhythm > now ? rhythm : now + refresh_ticks_;
  show_(newest_, changed_);
  changed_.clear();
}

std::int64_t FramePacer::ticks_until_due(std::int64_t now) const {
  if (!waiting_) return -1;
  return now >= next_show_ ? 0 : next_show_ - now;
}

}  // namespace platform
