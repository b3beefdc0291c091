// The application shell: entry point, window procedure, display set-up and shutdown.
#pragma once

#include "platform/wintypes.h"

extern HWND main_hwnd;                  // the game window; target of every posted message
extern LPDIRECTDRAW dd_Object;          // the display object; owns every surface
extern LPDIRECTDRAWSURFACE dd_Primary;  // the window's visible client area
extern LPDIRECTDRAWCLIPPER dd_Clipper;  // keeps blits onto the primary inside the window
extern LPDIRECTDRAWSURFACE v_screen;    // the off-screen frame, 494 x 420
extern POINT Client_Pos;                // screen position of the client area's top-left pixel
extern uint32 TIMER_ID;                 // the 25 ms animation timer

int WinMain(void* hInstance, void* hPrevInstance, char* lpCmdLine, int nCmdShow);
int32 WindowProc(HWND hWnd, uint32 message, uint32 wParam, int32 lParam);
int DirectDrawInit(void* hInstance, int nCmdShow);
// After the display set-up: starts the 25 ms timer, makes the frame and runs Game_Init.
void Start_Game();
void Shutdown();
void Error_Message(const char* str);
