#include "game/count.h"

#define FRAMES_PER_SECOND 100

CCount::CCount() {}

CCount::~CCount() {}

void CCount::Init() {
  QueryPerformanceFrequency(&m_liFrequency);
  m_liFrameTicks.QuadPart = m_liFrequency.QuadPart / FRAMES_PER_SECOND;
  m_liNextSecond.QuadPart = 0;
}

bool CCount::CheckFrame() {
  static LARGE_INTEGER s_liNextFrame;
  LARGE_INTEGER liTime;

  QueryPerformanceCounter(&liTime);
  if (liTime.QuadPart < s_liNextFrame.QuadPart) return false;

  // The next deadline counts from this check, not from the missed one: after
  // a stall the game takes one frame now instead of a burst to catch up.
  s_liNextFrame.QuadPart = liTime.QuadPart + m_liFrameTicks.QuadPart;
  return true;
}

int CCount::GetFPS() {
  static int s_nFrameCount;
  static int s_nFPS;
  LARGE_INTEGER liTime;

  QueryPerformanceCounter(&liTime);
  if (liTime.QuadPart > m_liNextSecond.QuadPart) {
    // The call that closes a window opens the next one and is counted in
    // neither.
    m_liNextSecond.QuadPart = liTime.QuadPart + m_liFrequency.QuadPart;
    s_nFPS = s_nFrameCount;
    s_nFrameCount = 0;
  } else {
    s_nFrameCount++;
  }
  return s_nFPS;
}
