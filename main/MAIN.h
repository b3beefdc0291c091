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

int WinMain(void* hInstance, void* hPrevInstance, char* lpCmdLine, int nCmdShow);
int32 WindowProc(HWND hWnd, uint32 message, uint32 wParam, int32 lParam);
int DirectDrawInit(void* hInstance, int nCmdShow);
void Shutdown();
void Error_Message(const char* str);
