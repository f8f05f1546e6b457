#include <string.h>

#include "game/count.h"
#include "game/main_game.h"

#define DISPLAY_CAPTION "Tobrikan"

bool CMainGame::InitDisplay() {
  if (DirectDrawCreateEx(NULL, (LPVOID*)&m_pDD, IID_IDirectDraw7, NULL) != DD_OK) {
    MessageBoxA(g_hWnd, "다이렉트 드로우 객체 설정실패", DISPLAY_CAPTION, MB_OK);
    return false;
  }
  if (m_pDD->SetCooperativeLevel(g_hWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) != DD_OK) {
    MessageBoxA(g_hWnd, "협력레벌 설정실패", DISPLAY_CAPTION, MB_OK);
    return false;
  }
  if (m_pDD->SetDisplayMode(SCREEN_WIDTH, SCREEN_HEIGHT, BIT_MODE, 0, 0) != DD_OK) {
    MessageBoxA(g_hWnd, "디스플레이 모드 설정실패", DISPLAY_CAPTION, MB_OK);
    return false;
  }

  DDSURFACEDESC2 ddsd;
  memset(&ddsd, 0, sizeof(ddsd));
  ddsd.dwSize = sizeof(ddsd);
  ddsd.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  ddsd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
  ddsd.dwBackBufferCount = 1;
  if (m_pDD->CreateSurface(&ddsd, &m_pDDSPrimary, NULL) != DD_OK) {
    MessageBoxA(g_hWnd, "프라이머리 설정 실패", DISPLAY_CAPTION, MB_OK);
    return false;
  }

  // Every frame is composed on the back buffer; without it the game could
  // only draw through a null surface, so it stops here like the steps above.
  DDSCAPS2 ddscaps;
  memset(&ddscaps, 0, sizeof(ddscaps));
  ddscaps.dwCaps = DDSCAPS_BACKBUFFER;
  if (m_pDDSPrimary->GetAttachedSurface(&ddscaps, &m_pDDSBack) != DD_OK) {
    MessageBoxA(g_hWnd, "백버퍼 설정실패", DISPLAY_CAPTION, MB_OK);
    return false;
  }
  return true;
}

void CMainGame::DrawStatusText() {
  // A refused device context leaves hdc null, and the text calls then draw
  // nothing; the frame rate is still read, so the frame is still counted.
  HDC hdc = NULL;
  char szBuf[128];

  m_pDDSBack->GetDC(&hdc);
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, 0x000000FF);

  wsprintfA(szBuf, "%d프레임", m_pCount->GetFPS());
  TextOutA(hdc, 0, 0, szBuf, (int)strlen(szBuf));
  wsprintfA(szBuf, "%d비트모드", BIT_MODE);
  TextOutA(hdc, 0, 15, szBuf, (int)strlen(szBuf));
  wsprintfA(szBuf, "메모리모드 : %s", "VVV");
  TextOutA(hdc, 0, 45, szBuf, (int)strlen(szBuf));

  m_pDDSBack->ReleaseDC(hdc);
}

void CMainGame::FlipPage() { m_pDDSPrimary->Flip(NULL, DDFLIP_WAIT); }
