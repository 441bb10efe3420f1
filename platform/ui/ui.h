// The windowing model: include this to program against windows, messages, menus, dialogs,
// painting, the clipboard, the common dialogs, printing and help.
#pragma once

#include "platform/ui/accelerator_api.h"
#include "platform/ui/clipboard_api.h"
#include "platform/ui/common_dialog_api.h"
#include "platform/ui/control_input.h"
#include "platform/ui/cursor_api.h"
#include "platform/ui/dialog_api.h"
#include "platform/ui/frame_bars.h"
#include "platform/ui/gdi_api.h"
#include "platform/ui/help_api.h"
#include "platform/ui/input.h"
#include "platform/ui/interprocess.h"
#include "platform/ui/menu_api.h"
#include "platform/ui/printer_api.h"
#include "platform/ui/resources.h"
#include "platform/ui/user_constants.h"
#include "platform/ui/user_types.h"
#include "platform/ui/window_api.h"
