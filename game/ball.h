#pragma once

#include <ddraw.h>
#include <windows.h>

#define MAX_BALL 100

// The game's own pi and 2 pi in single precision; the wall and floor
// mirrorings use exactly these values.
#define PI 3.141592f
#define PI2 6.283184f

class CImages;
class CPlayer;

// One slot of the ball set. The fields other than bAlive keep the last
// ball's values after the slot is freed.
struct BallInfo {
  BYTE bAlive;  // 1 live, 0 free
  int nX;       // centre
  int nY;
  int nRadius;
  float fAngle;      // heading in radians, 0 right, PI / 2 up
  float fSpeed;      // pixels along the heading per pass
  float fFallSpeed;  // pixels down per pass
  float fGravity;    // added to fFallSpeed every pass
};

// The ball set: every ball of the game in one table of MAX_BALL slots,
// moved, bounced inside the game window, split when hit and drawn with the
// one ball picture scaled to each radius.
class CBall {
 public:
  // All slots free.
  CBall();
  // Releases nothing: the picture belongs to the game object.
  virtual ~CBall();

  // Puts the starting ball into slot 0 and keeps the picture to draw with.
  void Init(BallInfo Ball, CImages* pImage);
  // One pass of play: heading step, fall step, then bounces off the four
  // edges of g_hWnd's client rectangle.
  void Move();
  // Draws every live ball on pDest, its picture scaled to the ball's square.
  void Draw(IDirectDrawSurface7* pDest);
  // Frees slot nIndex and, when the hit ball Ball is big enough, puts two
  // halves into the lowest free slots (one when only one is free).
  void Split(int nIndex, BallInfo Ball);
  // Tests every live ball against the player's rectangle, which ends the
  // game, and against every live bullet, which is retired and splits it.
  void Collision(CPlayer* pPlayer);
  // Distance between two points, rounded to single precision.
  float GetDistance(int nX1, int nY1, int nX2, int nY2);
  // A copy of slot nIndex (0 to MAX_BALL - 1).
  BallInfo GetBall(int nIndex);

 protected:
  BallInfo m_Ball[MAX_BALL];
  CImages* m_pImage;

 private:
  CBall(const CBall&);
  CBall& operator=(const CBall&);
};
