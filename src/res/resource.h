#pragma once

// Resource identifiers shared by every backend and by the generated Windows resources.
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDD_MAIN_DIALOG = 102;
inline constexpr int IDD_FILTER = 130;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDC_STATIC = -1;

inline constexpr int IDC_RX_ADDSPACE = 1000;
inline constexpr int IDC_PORT = 1002;
inline constexpr int IDC_BAUD = 1003;
inline constexpr int IDC_PARITY = 1004;
inline constexpr int IDC_DATABITS = 1005;
inline constexpr int IDC_STOPBITS = 1006;
inline constexpr int IDC_OPEN = 1007;
inline constexpr int IDC_RX_EDIT = 1008;
inline constexpr int IDC_TX_EDIT = 1009;
inline constexpr int IDC_RX_AUTOCLEAR = 1010;
inline constexpr int IDC_RX_HEX = 1011;
inline constexpr int IDC_RX_CLEAR = 1012;
inline constexpr int IDC_RX_PAUSE = 1013;
inline constexpr int IDC_TX_HEX = 1014;
inline constexpr int IDC_TX_AUTOSEND = 1015;
inline constexpr int IDC_TX_INTERVAL = 1016;
inline constexpr int IDC_SEND = 1017;
inline constexpr int IDC_TX_CLEAR = 1018;
inline constexpr int IDC_REFRESH = 1019;
inline constexpr int IDC_RX_COUNT = 1020;
inline constexpr int IDC_TX_COUNT = 1021;
inline constexpr int IDC_COUNT_CLEAR = 1022;
inline constexpr int IDC_TX_INTERVAL_SPIN = 1023;
inline constexpr int IDC_TX_IGNORESPACE = 1024;
inline constexpr int IDC_SEND_FILE = 1025;
inline constexpr int IDC_FILE_HISTORY = 1026;
inline constexpr int IDC_RX_SAVE = 1027;
inline constexpr int IDC_CHECKSUM = 1028;
inline constexpr int IDC_GRP_SETTING = 1029;
inline constexpr int IDC_LBL_PORT = 1030;
inline constexpr int IDC_LBL_BAUD = 1031;
inline constexpr int IDC_LBL_PARITY = 1032;
inline constexpr int IDC_LBL_DATABITS = 1033;
inline constexpr int IDC_LBL_STOPBITS = 1034;
inline constexpr int IDC_GRP_RXCTRL = 1035;
inline constexpr int IDC_GRP_TXCTRL = 1036;
inline constexpr int IDC_LBL_INTERVAL = 1037;
inline constexpr int IDC_GRP_RX = 1038;
inline constexpr int IDC_GRP_TX = 1039;
inline constexpr int IDC_LBL_MS = 1040;
inline constexpr int IDC_FILTER_SET = 1041;
inline constexpr int IDC_FILTER_TEXT = 1042;
inline constexpr int IDC_FILTER_KEEP = 1043;
inline constexpr int IDC_RX_FILTER = 1044;
inline constexpr int IDC_FILTER_HINT = 1045;

// The grown window (the README's plan): line and ports 1046-1059, view and log 1060-1079,
// send options 1080-1089, commands 1090-1129.
inline constexpr int IDC_GRP_LINE = 1046;
inline constexpr int IDC_LBL_FLOW = 1047;
inline constexpr int IDC_FLOW = 1048;
inline constexpr int IDC_DTR = 1049;
inline constexpr int IDC_RTS = 1050;
inline constexpr int IDC_CTS = 1051;
inline constexpr int IDC_DSR = 1052;
inline constexpr int IDC_DCD = 1053;
inline constexpr int IDC_RI = 1054;
inline constexpr int IDC_BREAK = 1055;
inline constexpr int IDC_RECONNECT = 1056;
inline constexpr int IDC_PORT_STATUS = 1057;
inline constexpr int IDC_GRP_VIEW = 1060;
inline constexpr int IDC_GRP_TXOPT = 1080;
inline constexpr int IDC_GRP_COMMANDS = 1090;
