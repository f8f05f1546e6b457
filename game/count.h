#pragma once

#include <windows.h>

// Paces the game to at most 100 frames per second and measures how many
// frames it really renders, both on the high-resolution performance counter.
// Neither operation waits: the message loop polls.
class CCount {
 public:
  CCount();
  virtual ~CCount();

  // Reads the counter's frequency and derives the counts of one frame; runs
  // once, right after construction.
  void Init();
  // True when the next frame is due; the following one then falls due one
  // frame's counts later, measured from now.
  bool CheckFrame();
  // Counts one rendered frame and returns the count of the last completed
  // one-second window (0 until the first window closes).
  int GetFPS();

 private:
  CCount(const CCount&);
  CCount& operator=(const CCount&);

  LARGE_INTEGER m_liFrequency;
  LARGE_INTEGER m_liFrameTicks;
  LARGE_INTEGER m_liNextSecond;
};
