#include "game/ball.h"

#include <math.h>

#include "game/main_game.h"
#include "game/player.h"
#include "gfx/images.h"

// The ball picture is drawn at its own size for a ball of this radius.
#define BALL_PICTURE_RADIUS 150.0
// Below this radius a hit ball vanishes instead of splitting.
#define MIN_SPLIT_RADIUS 30
// The children of a split start this far along the parent's heading.
#define SPLIT_OFFSET 10.0

CBall::CBall() {
  for (int i = 0; i < MAX_BALL; i++) m_Ball[i].bAlive = 0;
  m_pImage = NULL;
}

CBall::~CBall() {}

void CBall::Init(BallInfo Ball, CImages* pImage) {
  m_Ball[0] = Ball;
  m_pImage = pImage;
}

void CBall::Move() {
  int i;

  for (i = 0; i < MAX_BALL; i++) {
    if (m_Ball[i].bAlive != 1) continue;
    const float fCos = (float)cos((double)m_Ball[i].fAngle);
    const float fSin = (float)sin((double)m_Ball[i].fAngle);
    // y grows downward, so a heading that points up lowers nY.
    m_Ball[i].nX = (int)((double)m_Ball[i].nX + (double)fCos * (double)m_Ball[i].fSpeed);
    m_Ball[i].nY = (int)((double)m_Ball[i].nY - (double)fSin * (double)m_Ball[i].fSpeed);
  }

  for (i = 0; i < MAX_BALL; i++) {
    if (m_Ball[i].bAlive != 1) continue;
    m_Ball[i].fFallSpeed = (float)((double)m_Ball[i].fFallSpeed + (double)m_Ball[i].fGravity);
    m_Ball[i].nY = (int)((double)m_Ball[i].nY + (double)m_Ball[i].fFallSpeed);
  }

  RECT rcCage;
  GetClientRect(g_hWnd, &rcCage);

  for (i = 0; i < MAX_BALL; i++) {
    if (m_Ball[i].bAlive != 1) continue;
    const int nRadius = m_Ball[i].nRadius;
    if (m_Ball[i].nX < rcCage.left + nRadius) {
      m_Ball[i].nX = rcCage.left + nRadius;
      m_Ball[i].fAngle = (float)((double)PI - (double)m_Ball[i].fAngle);
    }
    if (m_Ball[i].nX > rcCage.right - nRadius) {
      m_Ball[i].nX = rcCage.right - nRadius;
      m_Ball[i].fAngle = (float)((double)PI - (double)m_Ball[i].fAngle);
    }
    if (m_Ball[i].nY < rcCage.top + nRadius) {
      m_Ball[i].nY = rcCage.top + nRadius;
      m_Ball[i].fAngle = (float)((double)PI2 - (double)m_Ball[i].fAngle);
    }
    // The floor takes the fall speed away, so a ball never loses height:
    // it climbs again from rest after every contact.
    if (m_Ball[i].nY > rcCage.bottom - nRadius) {
      m_Ball[i].nY = rcCage.bottom - nRadius;
      m_Ball[i].fFallSpeed = 0.0f;
      m_Ball[i].fAngle = (float)((double)PI2 - (double)m_Ball[i].fAngle);
    }
  }
}

void CBall::Draw(IDirectDrawSurface7* pDest) {
  for (int i = 0; i < MAX_BALL; i++) {
    if (m_Ball[i].bAlive != 1) continue;
    const float fScale = (float)((double)m_Ball[i].nRadius / BALL_PICTURE_RADIUS);
    m_pImage->DrawScaled(pDest, m_Ball[i].nX - m_Ball[i].nRadius, m_Ball[i].nY - m_Ball[i].nRadius, fScale);
  }
}

void CBall::Split(int nIndex, BallInfo Ball) {
  m_Ball[nIndex].bAlive = 0;
  if (Ball.nRadius < MIN_SPLIT_RADIUS) return;

  // Every value below comes from the parent's record: slot nIndex may
  // already hold the first child when the second is placed.
  const float fCos = (float)cos((double)Ball.fAngle);
  const float fSin = (float)sin((double)Ball.fAngle);
  int nChildren = 0;
  for (int i = 0; i < MAX_BALL && nChildren < 2; i++) {
    if (m_Ball[i].bAlive == 1) continue;
    m_Ball[i] = Ball;
    // The second child flies off mirrored left for right.
    if (nChildren == 1) m_Ball[i].fAngle = (float)((double)PI - (double)Ball.fAngle);
    m_Ball[i].nX = (int)((double)Ball.nX + (double)fCos * SPLIT_OFFSET);
    m_Ball[i].nY = (int)((double)Ball.nY - (double)fSin * SPLIT_OFFSET);
    m_Ball[i].bAlive = 1;
    m_Ball[i].nRadius = Ball.nRadius / 2;
    nChildren++;
  }
}

void CBall::Collision(CPlayer* pPlayer) {
  for (int i = 0; i < MAX_BALL; i++) {
    if (m_Ball[i].bAlive != 1) continue;

    // Only the centre counts: a ball may cover the player's rectangle
    // without ending the game.
    const PlayerInfo Info = pPlayer->GetInfo();
    POINT ptCentre;
    ptCentre.x = m_Ball[i].nX;
    ptCentre.y = m_Ball[i].nY;
    if (PtInRect(&Info.rc, ptCentre)) g_nGameState = STATE_ENDING;

    // A split may leave a child in slot i; the remaining bullets meet it.
    for (int j = 0; j < MAX_BULLET && m_Ball[i].bAlive == 1; j++) {
      const BulletInfo Bullet = pPlayer->GetBullet(j);
      if (!Bullet.bAlive) continue;
      const float fDistance = GetDistance(Bullet.nX, Bullet.nY, m_Ball[i].nX, m_Ball[i].nY);
      const int nReach = Bullet.nRadius + m_Ball[i].nRadius;
      if ((double)nReach <= (double)fDistance) continue;
      pPlayer->KillBullet(j);
      const BallInfo Ball = m_Ball[i];
      Split(i, Ball);
    }
  }
}

float CBall::GetDistance(int nX1, int nY1, int nX2, int nY2) {
  // The player walks off the screen without bound, so a bullet can be
  // anywhere in 32 bits: the squares are formed in 64 bits, where they
  // always fit. Every sum that fits in 32 bits converts to the same float
  // as before.
  const LONGLONG llDX = (LONGLONG)nX1 - (LONGLONG)nX2;
  const LONGLONG llDY = (LONGLONG)nY1 - (LONGLONG)nY2;
  const ULONGLONG ullDX = (ULONGLONG)(llDX < 0 ? -llDX : llDX);
  const ULONGLONG ullDY = (ULONGLONG)(llDY < 0 ? -llDY : llDY);
  const ULONGLONG ullSquareX = ullDX * ullDX;
  const ULONGLONG ullSquareY = ullDY * ullDY;

  float fSum;
  if (ullSquareX <= ~ullSquareY) {
    fSum = (float)(ullSquareX + ullSquareY);
  } else {
    // The sum passes 2^64: halve it with the lost bit kept as a sticky
    // bit, which rounds the same, and double it back exactly in float.
    const ULONGLONG ullLow = ullSquareX + ullSquareY;
    const ULONGLONG ullHalf = (ullLow >> 1) | (1ULL << 63) | (ullLow & 1);
    fSum = (float)ullHalf * 2.0f;
  }
  return (float)sqrt((double)fSum);
}

BallInfo CBall::GetBall(int nIndex) { return m_Ball[nIndex]; }
