#include "app/serial_port_app.h"

#include "app/main_window.h"
#include "platform/app_dir.h"

std::u16string g_strAppDir;
CSerialPortApp theApp;

bool CSerialPortApp::InitInstance() {
  g_strAppDir = platform::ExecutableDirectory();
  MainWindow window;
  window.DoModal();
  return false;
}
