// The application shell: entry point, window procedure, display set-up and shutdown.
#pragma once

#include "platform/wintypes.h"

// The shell's own window messages, passed on to Game_Message like any other.
constexpr uint32 GAME_SCORE_MSG = 999;     // posted by animate when the owed end screen is due
constexpr uint32 SURFACE_LOST_MSG = 9999;  // posted by the blits when a surface lost its memory

extern HWND main_hwnd;                  // the game window; target of every posted message
extern LPDIRECTDRAW dd_Object;          // the display object; owns every surface
extern LPDIRECTDRAWSURFACE dd_Primary;  // the window's visible client area
extern LPDIRECTDRAWCLIPPER dd_Clipper;  // keeps blits onto the primary inside the window
extern LPDIRECTDRAWSURFACE v_screen;    // the off-screen frame, SCREEN_W x SCREEN_H
extern POINT Client_Pos;                // screen position of the client area's top-left pixel
extern uint32 TIMER_ID;                 // the 25 ms animation timer

// The program: window and display, the 25 ms timer, the frame and Game_Init, then the message
// loop until WM_QUIT; returns the quit code, or 1 when the display could not be set up.
int WinMain(void* hInstance, void* hPrevInstance, char* lpCmdLine, int nCmdShow);
// Every message of the window: WM_DESTROY releases the display and quits, WM_MOVE follows
// the client area; each is then passed to Game_Message and the default handling.
int32 WindowProc(HWND hWnd, uint32 message, uint32 wParam, int32 lParam);
// Creates, centres and shows the window and makes the display object, the primary surface
// and the clipper. Returns 1, or 0 after an error box when there is no display.
int DirectDrawInit(void* hInstance, int nCmdShow);
// After the display set-up: starts the 25 ms timer, makes the frame and runs Game_Init, under
// the world lock; called by WinMain and by the tests' harness.
void Start_Game();
// Releases the display object with every surface; does nothing when there is none.
void Shutdown();
// Shows `str` in an error box with an OK button (on standard error when no box can be shown).
void Error_Message(const char* str);
