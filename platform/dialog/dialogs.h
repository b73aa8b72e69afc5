#pragma once
// Dialogs, message boxes, property sheets and the common dialogs, in one include.
#include "platform/dialog/dialog.h"
#include "platform/dialog/messagebox.h"
#include "platform/dialog/propsheet.h"
#include "platform/dialog/commdlg.h"
