#include "platform/ui_toolkit.h"

#include <cstdio>
#include <cstdlib>

namespace {
UiToolkit* g_toolkit = nullptr;
}

UiToolkit& UiToolkit::Current() {
  if (!g_toolkit) {
    std::fputs("tarvolm: no user-interface toolkit installed\n", stderr);
    std::abort();
  }
  return *g_toolkit;
}

void UiToolkit::Install(UiToolkit* toolkit) { g_toolkit = toolkit; }
