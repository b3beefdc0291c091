// Resource identifiers of the pictures built into the program, and the sound files beside it.
// The build (resources/CMakeLists.txt), the generator and the tests read them from here.
#pragma once

#define IDB_BACKGROUND 100        // wooden table top, 494 x 420
#define IDB_PAPER_LOGO 101        // torn paper sheet with the emblem watermark, 482 x 338
#define IDB_PAPER 102             // plain torn paper sheet, 482 x 338
#define IDB_TITLE 103             // title lettering on black, 457 x 114
#define IDB_SCORE_TABLE 104       // statistics table, 351 x 227
#define IDB_GAME_SCORE_TABLE 105  // end-of-game table, 205 x 223
#define IDB_SETUP_MAP 106         // setup options map, 347 x 181
#define IDB_CHECKED_BOX 107       // check mark, 17 x 22
#define IDB_EXIT 108              // button faces 108..125, 134, 135: normal, then pressed
#define IDB_EXIT_PRESSED 109
#define IDB_LOGO 110
#define IDB_LOGO_PRESSED 111
#define IDB_SETUP 112
#define IDB_SETUP_PRESSED 113
#define IDB_SCORES 114
#define IDB_SCORES_PRESSED 115
#define IDB_NEW 116
#define IDB_NEW_PRESSED 117
#define IDB_END 118
#define IDB_END_PRESSED 119
#define IDB_OK 120
#define IDB_OK_PRESSED 121
#define IDB_DONE 122
#define IDB_DONE_PRESSED 123
#define IDB_RESET 124
#define IDB_RESET_PRESSED 125
#define IDB_BTNMASK 128       // checkerboard mask, 62 x 38
#define IDB_BUBBLE_1 129      // green bubble, 46 x 46
#define IDB_BUBBLE_2 130      // red
#define IDB_BUBBLE_3 131      // beige
#define IDB_BUBBLE_4 132      // blue
#define IDB_BUBBLE_5 133      // yellow
#define IDB_UNDO 134          // 62 x 38
#define IDB_UNDO_PRESSED 135  // 62 x 39

#define ORBOLAN_ICON 1        // the window icon (the emblem), "ORBOLAN_ICON"
#define IDC_ORBOLAN_CURSOR 2  // the arrow cursor, hot spot (2, 0)

// The six sounds, files beside the program, in the order the game opens them, each with the
// alias it is played by.
struct sWAVE {
  const char* file;
  const char* alias;
};
inline constexpr sWAVE ORBOLAN_WAVES[] = {
    {"intro.wav", "intro"},     {"click.wav", "click"}, {"pop.wav", "pop"},
    {"megapop.wav", "megapop"}, {"score.wav", "score"}, {"higscore.wav", "highscore"},
};
