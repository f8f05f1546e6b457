#pragma once

#include <ddraw.h>
#include <windows.h>

#include "gfx/display.h"

#define STATE_LOADING 0
#define STATE_PLAY 1
#define STATE_ENDING 2

// Slots of the game object's seven images.
#define IMG_BACK 0
#define IMG_BACKGROUND 1
#define IMG_PLAYER 2
#define IMG_BULLET 3
#define IMG_BALL 4
#define IMG_LOADING 5
#define IMG_ENDING 6
#define MAX_IMAGE 7

class CImages;
class CCount;
class CPlayer;
class CBall;

// The one game object: owns the display, the images, the frame timer, the
// player and the ball set; builds them once and runs one frame per idle pass
// of the message loop.
class CMainGame {
 public:
  // Clears the pointers only: the object is constructed before WinMain runs.
  CMainGame();
  // Releases the display objects and deletes everything Init created; after
  // a failed Init, exactly what had been created by then.
  virtual ~CMainGame();

  // Builds the display, the images and the world. False, after a message
  // box, when the display cannot be set up.
  bool Init();
  // One idle pass: when a frame is due, draws it and, during play, moves the
  // world one step.
  void Frame();
  // Composes the current state's scene on the back buffer and flips it.
  void Render();

  // Takes the screen over: exclusive full screen at SCREEN_WIDTH x
  // SCREEN_HEIGHT x BIT_MODE with a primary surface and one back buffer.
  // False, after a message box, at the first step that fails.
  bool InitDisplay();
  // Prints the frame rate, the colour depth and the memory mode in red in
  // the top-left corner of the back buffer; counts the frame.
  void DrawStatusText();
  // Shows the back buffer.
  void FlipPage();

 protected:
  IDirectDraw7* m_pDD;
  IDirectDrawSurface7* m_pDDSPrimary;
  IDirectDrawSurface7* m_pDDSBack;
  CImages* m_pImages;
  CCount* m_pCount;
  CPlayer* m_pPlayer;
  CBall* m_pBall;

 private:
  CMainGame(const CMainGame&);
  CMainGame& operator=(const CMainGame&);
};

// The game state: STATE_LOADING, STATE_PLAY or STATE_ENDING.
extern int g_nGameState;
// The game, constructed before WinMain runs and destroyed at process exit.
extern CMainGame g_MainGame;
