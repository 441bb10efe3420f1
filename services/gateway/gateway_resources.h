// The gateway module's own resources: template 128 (string, menu, toolbar), the About dialog
// and the framework's strings.
#pragma once

#include "platform/kernel/win_types.h"

inline constexpr UINT IDR_GATEWAY_TEMPLATE = 128;

// Registers the resources once and returns their module handle.
HINSTANCE GatewayResources();
