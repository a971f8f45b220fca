#pragma once

#include <string>

// The string table: English ids 103..199, 1100..1199 and 2100..2199, Simplified Chinese at +100,
// Traditional Chinese at +200. Returns nullptr for an id that is not in the table.
const char16_t* FindResourceString(int id);

// The dialogs' fetch rule: the text of English id `englishId` in the language at
// `languageBase` goes into `scratch`; a text the table lacks leaves `scratch` as it was.
void FetchString(int englishId, int languageBase, std::u16string& scratch);

// The window title, the same in every language.
inline constexpr char16_t kProgramTitle[] = u"Tarvolm V3.5   https://tarvolm.org";

// English ids; the text for a language is FindResourceString(id + language base).
inline constexpr int IDS_SOCKETS_INIT_FAILED = 103;  // one text for every language
inline constexpr int IDS_SETTING = 104;
inline constexpr int IDS_PORT = 105;
inline constexpr int IDS_BAUD = 106;
inline constexpr int IDS_PARITY = 107;
inline constexpr int IDS_DATABITS = 108;
inline constexpr int IDS_STOPBITS = 109;
inline constexpr int IDS_REFRESH = 110;
inline constexpr int IDS_OPEN = 111;
inline constexpr int IDS_RX_CONTROL = 112;
inline constexpr int IDS_CLEAR_RECEIVE = 113;
inline constexpr int IDS_PAUSE = 114;
inline constexpr int IDS_CONTINUE = 115;
inline constexpr int IDS_AUTO_CLEAR = 116;
inline constexpr int IDS_HEX = 117;
inline constexpr int IDS_ADD_SPACE = 118;
inline constexpr int IDS_TX_CONTROL = 119;
inline constexpr int IDS_IGNORE_SPACE = 120;
inline constexpr int IDS_AUTO_SEND = 121;
inline constexpr int IDS_INTERVALS = 122;
inline constexpr int IDS_MS = 123;
inline constexpr int IDS_CLEAR = 124;
inline constexpr int IDS_RECEIVE = 125;
inline constexpr int IDS_SEND = 126;
inline constexpr int IDS_CLEAR_SEND = 127;
inline constexpr int IDS_SEND_BUTTON = 128;
inline constexpr int IDS_SAVE_AS_TXT = 129;
inline constexpr int IDS_SEND_FILE = 130;
inline constexpr int IDS_NOT_COM = 131;
inline constexpr int IDS_CLOSE = 132;
inline constexpr int IDS_SEND_FAIL = 133;
inline constexpr int IDS_OPEN_FILE_ERROR = 134;
inline constexpr int IDS_OS_VERSION_ERROR = 135;
inline constexpr int IDS_CLASS_DEVS_ERROR = 136;
inline constexpr int IDS_INTERFACE_DETAIL_ERROR = 137;
inline constexpr int IDS_ENUM_INTERFACES_ERROR = 138;
inline constexpr int IDS_ENUM_REGISTRY_ERROR = 139;
inline constexpr int IDS_OPEN_PORT_ERROR = 140;
inline constexpr int IDS_APPLICATION_ERROR = 141;
inline constexpr int IDS_NOT_SUPPORT_ENCODING = 142;
inline constexpr int IDS_TITLE = 143;
inline constexpr int IDS_RX_FILTER = 144;
inline constexpr int IDS_FILTER_SET = 145;
inline constexpr int IDS_ONLY_RESERVE = 146;
inline constexpr int IDS_OK = 147;
inline constexpr int IDS_CANCEL = 148;
inline constexpr int IDS_FILTER_HINT = 149;
inline constexpr int IDS_SETTING_REFUSED = 150;  // %s names the setting, e.g. "Baud 0"
inline constexpr int IDS_PORT_LIST_ERROR = 151;  // %s is the reason
inline constexpr int IDS_SAVE_FILE_ERROR = 152;  // %s is the path
inline constexpr int IDS_READ_FILE_ERROR = 153;  // %s is the path

// The second block, 1100-1199: line control 1100-1114, ports 1115-1124, view and log
// 1125-1139, send options and commands 1140-1159, encodings and the hex dump 1160-1167,
// terminal 1168-1174, the receive view 1175-1179, the settings file 1180-1184, fixes
// 1185-1189, the package 1190-1199.
inline constexpr int IDS_LINE = 1100;
inline constexpr int IDS_FLOW = 1101;
inline constexpr int IDS_NONE = 1102;  // in the Flow, Line end and Append lists
inline constexpr int IDS_BREAK = 1103;
inline constexpr int IDS_LINE_NOT_SET = 1104;  // %s names the line, e.g. "DTR"
inline constexpr int IDS_RECONNECT = 1115;
inline constexpr int IDS_WAITING_FOR_PORT = 1116;  // %s is the port as typed
inline constexpr int IDS_PORT_GONE = 1117;         // %s is the port as typed
inline constexpr int IDS_NOT_SENT_WAITING = 1118;  // %s is the port as typed
inline constexpr int IDS_VIEW = 1125;
inline constexpr int IDS_TIMESTAMP = 1126;
inline constexpr int IDS_IDLE_GAP = 1127;
inline constexpr int IDS_SHOW_SENT = 1128;
inline constexpr int IDS_LOG = 1129;
inline constexpr int IDS_STOP_LOG = 1130;
inline constexpr int IDS_LOG_FILE = 1131;         // %s is the file's name
inline constexpr int IDS_RAW_LOG = 1132;
inline constexpr int IDS_TEXT_LOG = 1133;
inline constexpr int IDS_LOG_OPEN_ERROR = 1134;   // %s the path, then %s the reason
inline constexpr int IDS_LOG_WRITE_ERROR = 1135;  // %s the path, then %s the reason
inline constexpr int IDS_LOG_BEHIND = 1136;       // %s is the path
inline constexpr int IDS_SEND_OPTIONS = 1140;
inline constexpr int IDS_LINE_END = 1142;
inline constexpr int IDS_APPEND = 1143;
inline constexpr int IDS_COMMANDS = 1141;
inline constexpr int IDS_ENCODING = 1160;
inline constexpr int IDS_HEX_DUMP = 1161;
inline constexpr int IDS_SYSTEM = 1162;  // the encoding of the system's locale
// The encoding, the count, the first character, in this order.
inline constexpr int IDS_CHARACTERS_REPLACED = 1163;
inline constexpr int IDS_ENCODING_MISSING = 1164;  // %s is the encoding
inline constexpr int IDS_CMD_ADD = 1144;
inline constexpr int IDS_CMD_APPLY = 1145;
inline constexpr int IDS_CMD_REMOVE = 1146;
inline constexpr int IDS_CMD_UP = 1147;
inline constexpr int IDS_CMD_DOWN = 1148;
inline constexpr int IDS_CMD_NAME = 1149;
inline constexpr int IDS_CMD_TEXT = 1150;
inline constexpr int IDS_AS_SEND_BOX = 1151;  // first in the command's Line end and Append lists
inline constexpr int IDS_CMD_DELAY = 1152;
inline constexpr int IDS_CMD_REPEAT = 1153;
inline constexpr int IDS_CMD_REPEAT_HINT = 1154;
inline constexpr int IDS_CMD_RUN = 1155;
inline constexpr int IDS_CMD_STOP = 1156;
inline constexpr int IDS_CMD_IMPORT = 1157;
inline constexpr int IDS_CMD_EXPORT = 1158;
inline constexpr int IDS_CMD_STEP = 1159;  // the first %s is "2/3", the second "1/3" or "4" (until stopped)
inline constexpr int IDS_SETTINGS_UNREADABLE = 1180;  // %s is the path; a reason follows
inline constexpr int IDS_NOT_A_FILE = 1181;
inline constexpr int IDS_CANNOT_OPEN = 1182;
inline constexpr int IDS_TOO_LARGE = 1183;
inline constexpr int IDS_NOT_TEXT = 1184;
inline constexpr int IDS_JOIN_PORT_GROUP = 1190;  // every %s is the group

// The third block, 2100-2199: the commands 2100-2119.
inline constexpr int IDS_CMD_FINISHED = 2100;
inline constexpr int IDS_CMD_STOPPED = 2101;
inline constexpr int IDS_CMD_NEEDS_TEXT = 2102;
inline constexpr int IDS_CMD_NONE_TO_RUN = 2103;
inline constexpr int IDS_CMD_PORT_CLOSED = 2104;
inline constexpr int IDS_CMD_LINES_SKIPPED = 2105;  // the file, then the line numbers
inline constexpr int IDS_CMD_NOT_SAVED = 2106;      // %s is the path
inline constexpr int IDS_CMD_FILE_UNREADABLE = 2107;  // %s is the path
inline constexpr int IDS_CMD_CANNOT_READ = 2108;    // %s is the path
inline constexpr int IDS_CMD_CANNOT_WRITE = 2109;   // %s is the path
