#pragma once

#include <QString>

// Vantoc's resource ids (app/res) and the lookup of its strings.
namespace vantoc {

// Strings
inline constexpr unsigned IDS_ABOUTBOX = 101;
inline constexpr unsigned IDS_CONNECT_FAILED = 102;
inline constexpr unsigned IDS_CONNECT_FAILED_RESTART = 103;
inline constexpr unsigned IDS_PRODUCT_NAME = 104;
inline constexpr unsigned IDS_TORQUE_X_TITLE = 105;
inline constexpr unsigned IDS_TORQUE_Y_TITLE = 106;
inline constexpr unsigned IDS_SPEED_X_TITLE = 107;
inline constexpr unsigned IDS_SPEED_Y_TITLE = 108;
inline constexpr unsigned IDS_SPEED_RANGE = 109;

// Dialog templates, bitmaps and icons
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_STIRRER_DIALOG = 102;
inline constexpr int IDD_PORT_SETTING = 131;
inline constexpr int IDD_INFO = 132;
inline constexpr int IDB_BACKGROUND_ALT = 101;
inline constexpr int IDB_DIGIT_STRIP = 102;
inline constexpr int IDB_BACKGROUND = 104;
inline constexpr int IDR_MAINFRAME = 128;

// Makes app/res the program's module of the resource chain (once).
void RegisterResources();
// The text of a string of the resource chain; empty when there is none.
QString String(unsigned id);
// The path of dialog template id among Vantoc's resources.
QString DialogTemplatePath(int id);

}  // namespace vantoc
