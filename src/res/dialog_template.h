#pragma once

#include "platform/dialog_template.h"

// The program's two dialogs.
const DialogTemplate& MainDialogTemplate();
const DialogTemplate& FilterDialogTemplate();
