#include "app/serial_port_app.h"

#include "app/command_line.h"
#include "app/main_window.h"
#include "platform/app_dir.h"

std::u16string g_strAppDir;
CSerialPortApp theApp;

bool CSerialPortApp::InitInstance(const CommandLine& commandLine) {
  g_strAppDir = platform::ExecutableDirectory();
  MainWindow window;
  window.StartWith(commandLine.port, commandLine.open);
  window.DoModal();
  return false;
}
