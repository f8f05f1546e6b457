#include "game/main_game.h"

#include "game/ball.h"
#include "game/count.h"
#include "game/player.h"
#include "gfx/images.h"

HWND g_hWnd = NULL;
int g_nGameState = STATE_LOADING;
CMainGame g_MainGame;

namespace {

// Where each image slot is read from, below the working directory.
const char* const s_szImageFiles[MAX_IMAGE] = {
    ".\\IMG\\IMG_BACK.bmp", ".\\IMG\\IMG_BACKGROUND.bmp", ".\\IMG\\IMG_PLAYER.bmp", ".\\IMG\\IMG_BULLET.bmp",
    ".\\IMG\\IMG_BALL.bmp", ".\\IMG\\IMG_LOADING.bmp",    ".\\IMG\\IMG_ENDING.bmp",
};

}  // namespace

CMainGame::CMainGame()
    : m_pDD(NULL),
      m_pDDSPrimary(NULL),
      m_pDDSBack(NULL),
      m_pImages(NULL),
      m_pCount(NULL),
      m_pPlayer(NULL),
      m_pBall(NULL) {}

CMainGame::~CMainGame() {
  // The pictures' surfaces go back before the DirectDraw object that made
  // them.
  if (m_pImages) {
    delete[] m_pImages;
    m_pImages = NULL;
  }
  if (m_pDDSBack) {
    m_pDDSBack->Release();
    m_pDDSBack = NULL;
  }
  if (m_pDDSPrimary) {
    m_pDDSPrimary->Release();
    m_pDDSPrimary = NULL;
  }
  if (m_pDD) {
    m_pDD->Release();
    m_pDD = NULL;
  }
  if (m_pCount) {
    delete m_pCount;
    m_pCount = NULL;
  }
  if (m_pPlayer) {
    delete m_pPlayer;
    m_pPlayer = NULL;
  }
  if (m_pBall) {
    delete m_pBall;
    m_pBall = NULL;
  }
}

bool CMainGame::Init() {
  if (!InitDisplay()) return false;

  m_pImages = new CImages[MAX_IMAGE];
  if (BIT_MODE == 32) {
    for (int i = 0; i < MAX_IMAGE; i++) m_pImages[i].LoadBitmap32(m_pDD, s_szImageFiles[i]);
  } else if (BIT_MODE == 16) {
    for (int i = 0; i < MAX_IMAGE; i++) {
      if (i != IMG_BULLET) m_pImages[i].LoadBitmap16(m_pDD, s_szImageFiles[i]);
    }
  } else {
    MessageBoxA(g_hWnd, "16비트혹은 32비트를 고르시오", "에러", MB_OK);
    return false;
  }

  m_pCount = new CCount;
  m_pCount->Init();

  BallInfo Ball;
  Ball.bAlive = 1;
  Ball.nX = 100;
  Ball.nY = 100;
  Ball.nRadius = 150;
  Ball.fAngle = PI / 3;
  Ball.fSpeed = 8.0f;
  Ball.fFallSpeed = 1.0f;
  Ball.fGravity = 0.05f;
  m_pBall = new CBall;
  m_pBall->Init(Ball, &m_pImages[IMG_BALL]);

  PlayerInfo Info;
  Info.nWidth = 50;
  Info.nHeight = 100;
  Info.nSpeed = 5;
  Info.rc.left = 100;
  Info.rc.top = 600;
  Info.rc.right = Info.rc.left + Info.nWidth;
  Info.rc.bottom = Info.rc.top + Info.nHeight;
  m_pPlayer = new CPlayer;
  m_pPlayer->Init(Info, &m_pImages[IMG_PLAYER], &m_pImages[IMG_BULLET]);
  return true;
}

void CMainGame::Frame() {
  if (!m_pCount->CheckFrame()) return;

  Render();

  if (g_nGameState == STATE_PLAY) {
    m_pPlayer->MoveBullets();
    m_pPlayer->Move();
    m_pBall->Move();
    m_pBall->Collision(m_pPlayer);
  }
}

void CMainGame::Render() {
  m_pImages[IMG_BACK].Draw(m_pDDSBack, 0, 0);

  if (g_nGameState == STATE_LOADING) {
    m_pImages[IMG_LOADING].Draw(m_pDDSBack, 0, 0);
  } else if (g_nGameState == STATE_ENDING) {
    m_pImages[IMG_ENDING].Draw(m_pDDSBack, 0, 0);
  } else if (g_nGameState == STATE_PLAY) {
    m_pImages[IMG_BACKGROUND].Draw(m_pDDSBack, 0, 0);
    m_pPlayer->Draw(m_pDDSBack);
    m_pPlayer->DrawBullets(m_pDDSBack);
    m_pBall->Draw(m_pDDSBack);
  }

  DrawStatusText();
  FlipPage();
}
