#include "app/serial_port_app.h"

#include "app/serial_port_dlg.h"
#include "platform/app_dir.h"

std::u16string g_strAppDir;
CSerialPortApp theApp;

bool CSerialPortApp::InitInstance() {
  g_strAppDir = platform::ExecutableDirectory();
  CSerialPortDlg dlg;
  dlg.DoModal();
  return false;
}
