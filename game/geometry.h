// The screen's geometry in client pixels, shared by the game, the artwork generator and the
// tests: the frame, the board and its cells, the buttons, the paper sheets and the pictures on
// them, the setup screen's option boxes and check marks, and the columns of the printed
// tables. Every value is a plain integer, written as a number or from earlier names, one a
// line, so that scripts can read this file too. Rectangles give their inclusive corners.
#pragma once

// ---- The frame ------------------------------------------------------------------------------
constexpr int SCREEN_W = 494;  // the frame v_screen (the window's client area is 493 x 419)
constexpr int SCREEN_H = 420;

// ---- The board --------------------------------------------------------------------------------
constexpr int FIELD_COLUMNS = 10;  // cells across the board
constexpr int FIELD_ROWS = 7;      // cells down the board; row 0 is the top one
constexpr int CELL_SIZE = 48;      // from one cell to the next, and the side of a cell's box
constexpr int BOARD_LEFT = 7;      // the board's rectangle (PlayField_Rect): left edge
constexpr int BOARD_TOP = 7;       // top edge
constexpr int BOARD_RIGHT = BOARD_LEFT + FIELD_COLUMNS * CELL_SIZE - 1;  // right edge, 486
constexpr int BOARD_BOTTOM = BOARD_TOP + FIELD_ROWS * CELL_SIZE - 1;     // bottom edge, 342
constexpr int BUBBLE_LEFT = BOARD_LEFT + 1;  // where cell (0, 0)'s bubble picture rests: x
constexpr int BUBBLE_TOP = BOARD_TOP + 1;    // and y; a cell's box starts one pixel up-left

// ---- The status line ----------------------------------------------------------------------------
constexpr int STATUS_X = 10;  // the top-left corner of the status text
constexpr int STATUS_Y = 352;
constexpr int STATUS_BAR_TOP = 351;     // the recess the status text sits in
constexpr int STATUS_BAR_BOTTOM = 368;  // (left and right as the board's)

// ---- Buttons: every face is BUTTON_W x BUTTON_H, placed by its top-left corner ---------------
constexpr int BUTTON_W = 62;
constexpr int BUTTON_H = 38;
constexpr int MAIN_BUTTON_Y = 376;    // the row of buttons below the status bar
constexpr int MAIN_BUTTON_STEP = 68;  // from one main button to the next
constexpr int EXIT_BUTTON_X = 6;
constexpr int LOGO_BUTTON_X = EXIT_BUTTON_X + MAIN_BUTTON_STEP;
constexpr int SETUP_BUTTON_X = LOGO_BUTTON_X + MAIN_BUTTON_STEP;
constexpr int SCORES_BUTTON_X = SETUP_BUTTON_X + MAIN_BUTTON_STEP;
constexpr int NEW_BUTTON_X = SCORES_BUTTON_X + MAIN_BUTTON_STEP;  // New, and End over it
constexpr int UNDO_BUTTON_X = 426;
constexpr int SHEET_BUTTON_Y = 277;  // the buttons on the paper sheets
constexpr int OK_SETUP_BUTTON_X = 215;
constexpr int OK_CREDITS_BUTTON_X = 170;
constexpr int OK_SCORES_BUTTON_X = 180;
constexpr int RESET_BUTTON_X = 250;
constexpr int DONE_BUTTON_X = 180;
constexpr int NEW_AFTER_GAME_BUTTON_X = 250;

// ---- Pictures on the screens: top-left corners -------------------------------------------------
constexpr int TITLE_X = 20;  // the title lettering of the start screen
constexpr int TITLE_Y = 50;
constexpr int PAPER_X = 8;  // the paper sheet of every other screen but the board
constexpr int PAPER_Y = 6;
constexpr int SCORES_TABLE_X = 75;  // the statistics table
constexpr int SCORES_TABLE_Y = 40;
constexpr int GAME_SCORE_TABLE_X = 135;  // the end-of-game table
constexpr int GAME_SCORE_TABLE_Y = 40;
constexpr int SETUP_MAP_X = 73;  // the setup map with its printed boxes
constexpr int SETUP_MAP_Y = 65;
constexpr int CREDITS_TEXT_X = 50;  // the left edge of the credits' lines

// ---- The statistics table: numbers centred on three columns, one row a game type -----------
constexpr int SCORES_GAMES_X = 240;
constexpr int SCORES_AVERAGE_X = 315;
constexpr int SCORES_HIGH_X = 385;
constexpr int SCORES_NORMAL_Y = 135;  // the top of each row's text
constexpr int SCORES_CONTINUOUS_Y = 167;
constexpr int SCORES_SHIFTER_Y = 197;
constexpr int SCORES_MEGASHIFT_Y = 229;

// ---- The end-of-game table: five numbers centred on one column -------------------------------
constexpr int GAME_SCORE_X = 335;
constexpr int GAME_SCORE_SCORE_Y = 115;  // the top of each row's text
constexpr int GAME_SCORE_BONUS_Y = 146;
constexpr int GAME_SCORE_TOTAL_Y = 176;
constexpr int GAME_SCORE_AVERAGE_Y = 208;
constexpr int GAME_SCORE_GAMES_Y = 238;

// ---- The setup screen: a release inside a box (exclusive of its edges) changes a setting -----
constexpr int TYPE_BOX_LEFT = 97;  // the four game types share a left edge
constexpr int NORMAL_BOX_TOP = 101;
constexpr int NORMAL_BOX_RIGHT = 210;
constexpr int NORMAL_BOX_BOTTOM = 120;
constexpr int CONTINUOUS_BOX_TOP = 132;
constexpr int CONTINUOUS_BOX_RIGHT = 229;
constexpr int CONTINUOUS_BOX_BOTTOM = 151;
constexpr int SHIFTER_BOX_TOP = 163;
constexpr int SHIFTER_BOX_RIGHT = 189;
constexpr int SHIFTER_BOX_BOTTOM = 182;
constexpr int MEGASHIFT_BOX_TOP = 194;
constexpr int MEGASHIFT_BOX_RIGHT = 219;
constexpr int MEGASHIFT_BOX_BOTTOM = 217;
constexpr int SOUNDS_BOX_LEFT = 277;
constexpr int SOUNDS_BOX_TOP = 81;
constexpr int SOUNDS_BOX_RIGHT = 416;
constexpr int SOUNDS_BOX_BOTTOM = 101;
constexpr int ANIMATIONS_BOX_LEFT = 278;
constexpr int ANIMATIONS_BOX_TOP = 124;
constexpr int ANIMATIONS_BOX_RIGHT = 406;
constexpr int ANIMATIONS_BOX_BOTTOM = 143;
// The printed box of each option lies this far inside its click box's top-left corner.
constexpr int PRINTED_BOX_INSET = 3;

// The check mark's top-left corner on a chosen option: 2 px right of the box's left edge and a
// few pixels above its top, so the tick rises out of the printed box.
constexpr int TYPE_MARK_X = TYPE_BOX_LEFT + 2;
constexpr int NORMAL_MARK_Y = 97;
constexpr int CONTINUOUS_MARK_Y = 126;
constexpr int SHIFTER_MARK_Y = 159;
constexpr int MEGASHIFT_MARK_Y = 190;
constexpr int SOUNDS_MARK_X = SOUNDS_BOX_LEFT + 2;
constexpr int SOUNDS_MARK_Y = 77;
constexpr int ANIMATIONS_MARK_X = ANIMATIONS_BOX_LEFT + 2;
constexpr int ANIMATIONS_MARK_Y = 119;
