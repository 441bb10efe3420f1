// Resources carried by a module (a program or a library): dialog templates, menus,
// accelerator tables, string tables and custom data, looked up by module handle and by id or
// name as the platform's resource calls do. A module registers its resources once at start;
// the registry keeps pointers to the module's own data, which must live as long as the program.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/dialog_api.h"
#include "platform/ui/menu_api.h"
#include "platform/ui/user_types.h"

namespace farvane::ui {

// A new module handle under a name (for diagnostics); the same name gives the same handle.
HINSTANCE RegisterResourceModule(const std::string& name);

// `name` is an id (MAKEINTRESOURCEA) or a text name.
void RegisterDialogResource(HINSTANCE module, LPCSTR name, const DialogTemplate* dialog);
void RegisterMenuResource(HINSTANCE module, LPCSTR name, const MenuTemplate* menu);
void RegisterAcceleratorResource(HINSTANCE module, LPCSTR name, const std::vector<ACCEL>* table);
void RegisterStringResource(HINSTANCE module, UINT id, const std::string& text);
void RegisterCustomResource(HINSTANCE module, LPCSTR name, LPCSTR type, const std::string* data);

const DialogTemplate* FindDialogResource(HINSTANCE module, LPCSTR name);
const MenuTemplate* FindMenuResource(HINSTANCE module, LPCSTR name);

// Copies string `id` into the buffer (cut to fit, always terminated); returns the count copied,
// 0 when there is no such string.
int LoadStringA(HINSTANCE module, UINT id, LPSTR buffer, int size);
// The text of string `id`, or empty.
std::string LoadStringText(HINSTANCE module, UINT id);
HMENU LoadMenuA(HINSTANCE module, LPCSTR name);
HACCEL LoadAcceleratorsA(HINSTANCE module, LPCSTR name);
// The bytes of a custom resource, or null.
const std::string* FindCustomResource(HINSTANCE module, LPCSTR name, LPCSTR type);

}  // namespace farvane::ui
