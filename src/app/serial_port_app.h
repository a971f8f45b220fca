#pragma once

#include <string>

struct CommandLine;

// The application object: finds its folder and runs the main dialog.
class CSerialPortApp {
 public:
  // Returns false once the dialog has ended, which tells the caller to end the process.
  bool InitInstance(const CommandLine& commandLine);
};

extern std::u16string g_strAppDir;  // folder of the executable, no trailing separator
extern CSerialPortApp theApp;
