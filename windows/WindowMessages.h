#pragma once

namespace tv {

// The messages between the main window and its child windows. The numbers keep the
// platform's user-message numbering (first user message 1024) so that logs and saved
// scripts stay comparable with the original message table.
constexpr int WM_USER = 1024;

enum WindowMessage : int {
    MSG_COPY_PICTURE = WM_USER + 1,       // width / height in pixels
    MSG_ZOOM = WM_USER + 2,               // 0 undo, 1 band (start point), 2 automatic ranges
    MSG_MINIMIZE = WM_USER + 100,         // 0 / 0
    MSG_PERIOD_MOVED_EQ = WM_USER + 101,  // kind (1 left, 2 current, 3 right) / 1
    MSG_PERIOD_MOVED = WM_USER + 102,     // as above
    MSG_MODEL_CHANGED_EQ = WM_USER + 103, // 1 / 1
    MSG_MODEL_CHANGED = WM_USER + 104,    // 1 / 1, or 0 / 0 to a single named window
    MSG_ARRANGE_BASE = WM_USER + 105,     // 100, 150 or 50 / 0
    MSG_TOGGLE_TREE = WM_USER + 106,      // 1 / 1
    MSG_RESULT_LAYOUT = WM_USER + 107,
    MSG_SOLVE_INFO = WM_USER + 108,      // the solution information window's own
    MSG_NUMBER_FORMAT = WM_USER + 109,   // bit 0 integer digits, bit 1 decimals / 1
    MSG_SCREEN_FONT = WM_USER + 110,     // 0 / 0
    MSG_GRAPH_OPTIONS = WM_USER + 111,   // 1 / 1
    MSG_PRINT = WM_USER + 112,           // 1 / 1
    MSG_ASSIGN_EQ = WM_USER + 113,       // pair 1 or 2 / 0
    MSG_ASSIGN_RES = WM_USER + 114,      // as above
    MSG_NFX_MONITOR = WM_USER + 115,     // refresh the expectation monitors (also after a solution)
    MSG_NFX_PERIOD = WM_USER + 116,      // kind / 1, to the two rule monitors
    MSG_MONITOR_RELABEL = WM_USER + 117, // 0 / 0: model monitor after a language switch,
                                         // every child at program end
    // The same number, as every child reads it at program end: store your settings now (they
    // are written to the settings file right after).
    MSG_SAVE_SETTINGS = WM_USER + 117,
    // A baseline was frozen (1) or discarded (0) / 0: windows redraw with or without it.
    MSG_BASELINE_CHANGED = WM_USER + 118,
};

// The name of a message for logs and test failures ("MSG_PRINT"); "WM_USER+n" otherwise.
const char* MessageName(int msg);

} // namespace tv
