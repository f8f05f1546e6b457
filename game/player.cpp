#include "game/player.h"

#include <math.h>

#include "gfx/images.h"

// Where a bullet that is not live waits: its picture lies wholly above the
// back buffer, and a blit that leaves the back buffer draws nothing.
#define PARKED_BULLET_Y (-500)
// The game's pi / 2. The float nearest pi / 2 has a slightly negative
// cosine and would pull every bullet at a positive x one pixel left a pass.
#define BULLET_ANGLE 1.570796f
#define BULLET_SPEED 5.0f
// Bit 15 of GetKeyState: the key is down.
#define KEY_DOWN 0x8000

CPlayer::CPlayer() {
  for (int i = 0; i < MAX_BULLET; i++) {
    m_Bullet[i].bAlive = false;
    m_Bullet[i].nRadius = 0;
    m_Bullet[i].nX = 0;
    m_Bullet[i].nY = PARKED_BULLET_Y;
    m_Bullet[i].fAngle = 0.0f;
    m_Bullet[i].fSpeed = 0.0f;
  }
  m_Info.rc.left = 0;
  m_Info.rc.top = 0;
  m_Info.rc.right = 0;
  m_Info.rc.bottom = 0;
  m_Info.nWidth = 0;
  m_Info.nHeight = 0;
  m_Info.nSpeed = 0;
  m_pImage = NULL;
  m_pBulletImage = NULL;
}

CPlayer::~CPlayer() {}

void CPlayer::Init(PlayerInfo Info, CImages* pImage, CImages* pBulletImage) {
  m_Info = Info;
  m_pImage = pImage;
  m_pBulletImage = pBulletImage;
}

void CPlayer::MoveBullets() {
  for (int i = 0; i < MAX_BULLET; i++) {
    if (!m_Bullet[i].bAlive) continue;
    const float fCos = (float)cos((double)m_Bullet[i].fAngle);
    const float fSin = (float)sin((double)m_Bullet[i].fAngle);
    m_Bullet[i].nX = (int)((double)m_Bullet[i].nX + (double)fCos * (double)m_Bullet[i].fSpeed);
    m_Bullet[i].nY = (int)((double)m_Bullet[i].nY - (double)fSin * (double)m_Bullet[i].fSpeed);
    if (m_Bullet[i].nY < 0) m_Bullet[i].bAlive = false;
  }
}

void CPlayer::Move() {
  // Whether the space bar was down at the previous pass: a shot leaves on
  // the release, once per press.
  static bool s_bSpacePressed = false;

  if (GetKeyState(VK_LEFT) & KEY_DOWN) OffsetRect(&m_Info.rc, -m_Info.nSpeed, 0);
  if (GetKeyState(VK_RIGHT) & KEY_DOWN) OffsetRect(&m_Info.rc, m_Info.nSpeed, 0);

  if (GetKeyState(VK_SPACE) & KEY_DOWN) {
    s_bSpacePressed = true;
  } else if (s_bSpacePressed) {
    s_bSpacePressed = false;
    Fire();
  }
}

void CPlayer::Fire() {
  int i;

  for (i = 0; i < MAX_BULLET; i++)
    if (m_Bullet[i].bAlive != 1) break;
  if (i == MAX_BULLET) return;

  m_Bullet[i].bAlive = true;
  m_Bullet[i].nX = m_Info.rc.left;
  m_Bullet[i].nY = m_Info.rc.top;
  // Half the player's picture, not the bullet's.
  m_Bullet[i].nRadius = m_pImage->GetWidth() / 2;
  m_Bullet[i].fAngle = BULLET_ANGLE;
  m_Bullet[i].fSpeed = BULLET_SPEED;
}

void CPlayer::Draw(IDirectDrawSurface7* pDest) {
  m_pImage->Draw(pDest, m_Info.rc.left - 20, m_Info.rc.top - 50);
}

void CPlayer::DrawBullets(IDirectDrawSurface7* pDest) {
  // Slots that are not live stay hidden by where they are, not by their flag.
  for (int i = 0; i < MAX_BULLET; i++) m_pBulletImage->Draw(pDest, m_Bullet[i].nX, m_Bullet[i].nY);
}

PlayerInfo CPlayer::GetInfo() { return m_Info; }

BulletInfo CPlayer::GetBullet(int nIndex) { return m_Bullet[nIndex]; }

void CPlayer::KillBullet(int nIndex) {
  m_Bullet[nIndex].nY = PARKED_BULLET_Y;
  m_Bullet[nIndex].bAlive = false;
}
