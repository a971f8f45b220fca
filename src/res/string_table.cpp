#include "res/string_table.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace {

enum Language { English, Simplified, Traditional, LanguageCount };

struct Row {
  int id;  // English id
  std::array<const char16_t*, LanguageCount> text;
};

// Texts that are not translated carry the English text under every id.
constexpr Row AllLanguages(int id, const char16_t* text) { return {id, {text, text, text}}; }
// A text shown by its own id in every language: no +100 and +200 ids exist.
constexpr Row EnglishOnly(int id, const char16_t* text) { return {id, {text, nullptr, nullptr}}; }

constexpr Row kRows[] = {
    EnglishOnly(103, u"Windows 套接字初始化失败。"),
    {104, {u"Setting", u"设定", u"設定"}},
    {105, {u"COM", u"串口", u"串口"}},
    {106, {u"Baud", u"波特率", u"波特率"}},
    {107, {u"Check", u"校验位", u"校驗位"}},
    {108, {u"Datab", u"数据位", u"數據位"}},
    {109, {u"Sbit", u"停止位", u"停止位"}},
    {110, {u"Refresh", u"刷新", u"刷新"}},
    {111, {u"Open", u"打开", u"打開"}},
    {112, {u"Receive Control", u"接收设定", u"接收設定"}},
    {113, {u"Clear Receive", u"清空接收区", u"清空接收區"}},
    {114, {u"Pause", u"暂停接收", u"暫停接收"}},
    {115, {u"Contiune", u"继续接收", u"繼續接收"}},
    {116, {u"Auto Clear", u"自动清除", u"自動清除"}},
    {117, {u"Hex", u"十六进制", u"十六進制"}},
    {118, {u"Add Space", u"添加空格", u"添加空格"}},
    {119, {u"Send Control", u"发送设定", u"發送設定"}},
    {120, {u"Ignore Space", u"忽视空格", u"忽視空格"}},
    {121, {u"Auto Send", u"自动发送", u"自動發送"}},
    {122, {u"Intervals", u"间隔", u"間隔"}},
    {123, {u"ms", u"毫秒", u"毫秒"}},
    {124, {u"Clear", u"清除", u"清除"}},
    {125, {u"Receive", u"接收", u"接收"}},
    {126, {u"Send", u"发送", u"發送"}},
    {127, {u"Clear Send", u"清除发送", u"清除發送"}},
    {128, {u"Send(Ctrl+En)", u"发送(Ctrl+En)", u"發送(Ctrl+En)"}},
    {129, {u"Save as .txt", u"保存为.txt", u"保存為 .txt"}},
    {130, {u"Send File", u"发送文件", u"發送文件"}},
    {131, {u"Not Com", u"没有 Com", u"沒有 Com"}},
    {132, {u"Close", u"关闭", u"關閉"}},
    {133, {u"Send Fail", u"发送失败", u"發送失敗"}},
    AllLanguages(134, u"Open file%sError！"),
    AllLanguages(135, u"Could not get OS version. (err=%lx)"),
    AllLanguages(136, u"SetupDiGetClassDevs failed. (err=%lx)"),
    AllLanguages(137, u"SetupDiGetDeviceInterfaceDetail failed. (err=%lx))"),
    AllLanguages(138, u"SetupDiEnumDeviceInterfaces failed. (err=%lx)"),
    AllLanguages(139, u"Could not read from HKLM\\Enum"),
    AllLanguages(140, u"Open %s error"),
    AllLanguages(141, u"Application error！"),
    {142,
     {u"Not support UTF-8 and Unicode big endian", u"不支持 UTF-8 与 Unicode big endian格式", u"不支持 UTF-8 與 Unicode big endian 格式"}},
    AllLanguages(143, kProgramTitle),
    {144, {u"Receive filter", u"接收过滤", u"接收過濾"}},
    {145, {u"Filter Set", u"过滤设定", u"過濾設定"}},
    {146, {u"Only reserve", u"仅保留", u"僅保留"}},
    {147, {u"OK", u"确定", u"確定"}},
    {148, {u"Cancel", u"取消", u"取消"}},
    {149,
     {u"There are multiple conditions separated by commas, not input redundant character.",
      u"有多个条件时以逗号分开，不要输入多余字符。", u"有多個條件時以逗號分開，不要輸入多余字符。"}},
    {150, {u"Setting %s not supported", u"不支持设定 %s", u"不支援設定 %s"}},
    {151, {u"Port list error: %s", u"串口列表错误：%s", u"串口列表錯誤：%s"}},
    AllLanguages(152, u"Save file%sError！"),
    AllLanguages(153, u"Read file%sError！"),

    // Line control
    {1100, {u"Line", u"线路", u"線路"}},
    {1101, {u"Flow", u"流控", u"流控"}},
    {1102, {u"None", u"无", u"無"}},
    {1103, {u"Break", u"中断", u"中斷"}},
    {1104, {u"The port did not take %s.", u"串口未能设置 %s。", u"串口未能設定 %s。"}},
    // Ports
    {1115, {u"Reconnect", u"自动重连", u"自動重連"}},
    {1116, {u"Waiting for %s", u"等待 %s", u"等待 %s"}},
    {1117, {u"%s is gone", u"%s 已断开", u"%s 已斷開"}},
    {1118,
     {u"Not sent: waiting for %s to come back.", u"未发送：正在等待 %s 重新连接。", u"未發送：正在等待 %s 重新連接。"}},
    // View and log
    {1125, {u"View", u"显示", u"顯示"}},
    {1126, {u"Time stamp", u"时间戳", u"時間戳記"}},
    {1127, {u"Idle gap (ms)", u"空闲间隔(ms)", u"閒置間隔(ms)"}},
    {1128, {u"Show sent", u"显示发送", u"顯示發送"}},
    {1129, {u"Log...", u"记录...", u"記錄..."}},
    {1130, {u"Stop log", u"停止记录", u"停止記錄"}},
    {1131, {u"Log: %s", u"记录：%s", u"記錄：%s"}},
    {1132, {u"Raw log, the bytes received", u"原始记录，接收到的字节", u"原始記錄，接收到的位元組"}},
    {1133, {u"Text log, as shown", u"文本记录，与显示相同", u"文字記錄，與顯示相同"}},
    {1134,
     {u"The log %s cannot be opened: %s", u"无法打开记录文件 %s：%s", u"無法開啟記錄檔 %s：%s"}},
    {1135,
     {u"The log %s cannot be written: %s\nIt has stopped; what arrives is still shown.",
      u"无法写入记录文件 %s：%s\n记录已停止；接收的数据仍会显示。", u"無法寫入記錄檔 %s：%s\n記錄已停止；接收的資料仍會顯示。"}},
    {1136,
     {u"The disk cannot keep up with the log %s: some of what arrived is missing from it.",
      u"磁盘跟不上记录文件 %s 的速度：部分接收的数据没有记录下来。", u"磁碟跟不上記錄檔 %s 的速度：部分接收的資料沒有記錄下來。"}},
    // Send options and commands
    {1140, {u"Send options", u"发送选项", u"發送選項"}},
    {1141, {u"Commands", u"命令", u"命令"}},
    {1142, {u"Line end", u"行尾", u"行尾"}},
    {1143, {u"Append", u"校验", u"校驗"}},
    {1144, {u"Add", u"添加", u"新增"}},
    {1145, {u"Apply", u"应用", u"套用"}},
    {1146, {u"Remove", u"删除", u"刪除"}},
    {1147, {u"Up", u"上移", u"上移"}},
    {1148, {u"Down", u"下移", u"下移"}},
    {1149, {u"Name", u"名称", u"名稱"}},
    {1150, {u"Text", u"内容", u"內容"}},
    {1151, {u"As send box", u"同发送区", u"同發送區"}},
    {1152, {u"Delay", u"延时", u"延時"}},
    {1153, {u"Repeat", u"重复", u"重複"}},
    {1154, {u"0: until stopped", u"0：直到停止", u"0：直到停止"}},
    {1155, {u"Run", u"运行", u"執行"}},
    {1156, {u"Stop", u"停止", u"停止"}},
    {1157, {u"Import...", u"导入...", u"匯入..."}},
    {1158, {u"Export...", u"导出...", u"匯出..."}},
    {1159, {u"Step %s, round %s", u"第 %s 步，第 %s 轮", u"第 %s 步，第 %s 輪"}},
    // Encodings and the hex dump
    {1160, {u"Encoding", u"编码", u"編碼"}},
    {1161, {u"Hex dump", u"十六进制转储", u"十六進制傾印"}},
    {1162, {u"System", u"系统", u"系統"}},
    {1163,
     {u"%s cannot write every character: %s went as \"?\", the first %s.",
      u"%s 无法表示所有字符：%s 个已作为“?”发送，第一个是 %s。",
      u"%s 無法表示所有字元：%s 個已作為「?」發送，第一個是 %s。"}},
    {1164,
     {u"This system cannot convert %s: its characters show as \uFFFD and are sent as \"?\".",
      u"本系统无法转换 %s：其字符显示为 \uFFFD，发送为“?”。", u"本系統無法轉換 %s：其字元顯示為 \uFFFD，發送為「?」。"}},
    // Terminal
    // The receive view
    // The settings file
    {1180,
     {u"The settings file %s cannot be read: Tarvolm starts with its defaults and will not change the file.",
      u"无法读取设置文件 %s：Tarvolm 以默认设置启动，不会改动该文件。", u"無法讀取設定檔 %s：Tarvolm 以預設設定啟動，不會改動該檔案。"}},
    {1181, {u"It is not a file.", u"它不是文件。", u"它不是檔案。"}},
    {1182, {u"It cannot be opened.", u"无法打开它。", u"無法開啟它。"}},
    {1183, {u"It is too large to be a settings file.", u"它太大，不可能是设置文件。", u"它太大，不可能是設定檔。"}},
    {1184, {u"It is not text in the encoding expected.", u"它不是所需编码的文本。", u"它不是所需編碼的文字。"}},
    // Fixes
    // The package
    {1190,
     {u"Only members of the group %s may open it, and you are not one.\nJoin the group with\n"
      u"    sudo usermod -aG %s $USER\n"
      u"then log out and in again.",
      u"只有用户组 %s 的成员才能打开它，而您不在该组中。\n请用以下命令加入该组：\n"
      u"    sudo usermod -aG %s $USER\n"
      u"然后注销并重新登录。",
      u"只有群組 %s 的成員才能開啟它，而您不在該群組中。\n請用以下指令加入該群組：\n"
      u"    sudo usermod -aG %s $USER\n"
      u"然後登出並重新登入。"}},

    // The commands, continued
    {2100, {u"Finished", u"已完成", u"已完成"}},
    {2101, {u"Stopped", u"已停止", u"已停止"}},
    {2102, {u"A command needs a text to send.", u"命令需要有发送内容。", u"命令需要有發送內容。"}},
    {2103, {u"There are no commands to run.", u"没有可运行的命令。", u"沒有可執行的命令。"}},
    {2104, {u"Open a port first: the commands go out through it.", u"请先打开串口：命令经由它发送。",
            u"請先開啟串口：命令經由它發送。"}},
    {2105, {u"%s: lines %s are not commands and were skipped.", u"%s：第 %s 行不是命令，已跳过。",
            u"%s：第 %s 行不是命令，已略過。"}},
    {2106,
     {u"The commands cannot be saved to %s. They stay in the window until Tarvolm closes: export them, or make the "
      u"folder writable.",
      u"无法把命令保存到 %s。在 Tarvolm 关闭前命令仍保留在窗口中：请导出它们，或让该文件夹可写。",
      u"無法把命令儲存到 %s。在 Tarvolm 關閉前命令仍保留在視窗中：請匯出它們，或讓該資料夾可寫入。"}},
    {2107,
     {u"The commands file %s cannot be read: Tarvolm starts without commands and will not change the file.",
      u"无法读取命令文件 %s：Tarvolm 不带命令启动，不会改动该文件。",
      u"無法讀取命令檔 %s：Tarvolm 不帶命令啟動，不會改動該檔案。"}},
    {2108, {u"The file %s cannot be read.", u"无法读取文件 %s。", u"無法讀取檔案 %s。"}},
    {2109, {u"The file %s cannot be written.", u"无法写入文件 %s。", u"無法寫入檔案 %s。"}},
};

constexpr int kLanguageBaseStep = 100;
constexpr int kFirstId = 103;

}  // namespace

const char16_t* FindResourceString(int id) {
  if (id < kFirstId) return nullptr;
  // Blocks of the same shape: English 103..199, 1100..1199 and 2100..2199, each followed
  // by its Simplified (+100) and Traditional (+200) texts.
  const int language = (id / kLanguageBaseStep - 1) % 10;
  if (language >= LanguageCount) return nullptr;
  const int englishId = id - language * kLanguageBaseStep;
  const auto row = std::find_if(std::begin(kRows), std::end(kRows),
                                [englishId](const Row& r) { return r.id == englishId; });
  return row == std::end(kRows) ? nullptr : row->text[language];
}

void FetchString(int englishId, int languageBase, std::u16string& scratch) {
  // One text exists in a single language only.
  const int id = englishId == IDS_SOCKETS_INIT_FAILED ? englishId : englishId + languageBase;
  if (const char16_t* text = FindResourceString(id)) scratch = text;
}
