#pragma once

#include <ddraw.h>
#include <windows.h>

#define MAX_BULLET 100

class CImages;

// The player's geometry.
struct PlayerInfo {
  RECT rc;  // where a ball centre ends the game; right, bottom exclusive
  int nWidth;
  int nHeight;
  int nSpeed;  // horizontal step of one keyboard pass
};

// One bullet slot. (nX, nY) is the centre of the bullet's circle when it
// meets a ball, but the top-left corner of its picture when drawn.
struct BulletInfo {
  bool bAlive;
  int nRadius;
  int nX;
  int nY;
  float fAngle;
  float fSpeed;
};

// The player figure and its bullets: walks on the arrow keys, fires on the
// release of the space bar, moves its bullets straight up.
class CPlayer {
 public:
  // Every bullet slot not live and parked above the screen.
  CPlayer();
  // Releases nothing: the pictures belong to the game object.
  virtual ~CPlayer();

  // Takes the starting geometry, the player's picture and the bullet's.
  void Init(PlayerInfo Info, CImages* pImage, CImages* pBulletImage);
  // Moves every live bullet one step; retires those above the screen.
  void MoveBullets();
  // One keyboard pass: arrows walk, the space bar fires when released.
  void Move();
  // Launches a bullet from the top-left corner of the player's rectangle
  // into the lowest free slot; nothing when every slot is live.
  void Fire();
  // Draws the player's picture 20 pixels left of and 50 above rc.
  void Draw(IDirectDrawSurface7* pDest);
  // Draws every bullet slot, live or not, at its point.
  void DrawBullets(IDirectDrawSurface7* pDest);

  PlayerInfo GetInfo();
  // A copy of slot nIndex (0 to MAX_BULLET - 1).
  BulletInfo GetBullet(int nIndex);
  // Retires slot nIndex, parking its picture above the screen.
  void KillBullet(int nIndex);

 protected:
  PlayerInfo m_Info;
  BulletInfo m_Bullet[MAX_BULLET];
  CImages* m_pImage;
  CImages* m_pBulletImage;

 private:
  CPlayer(const CPlayer&);
  CPlayer& operator=(const CPlayer&);
};
