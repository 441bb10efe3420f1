// The host pilot's dialogs, menu and strings, driven through the headless windowing backend.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "hostpilot/host_resources.h"
#include "platform/ui/headless_backend.h"

namespace farvane::hostpilot {
namespace {

using namespace farvane::ui;

std::string ItemText(HWND dialog, int id) {
    char text[128] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

class HostResourcesTest : public ::testing::Test {
protected:
    void SetUp() override { UseHeadlessBackend(); }
    void TearDown() override { UseHeadlessBackend(); }

    // Runs dialog 129 with the record; `act` plays the user once it is shown.
    INT_PTR RunFailureDialog(const DriverLoadFailure* failure, std::function<void(HWND)> act) {
        PushModalDialogHandler(std::move(act));
        return DialogBoxParamA(HostPilotResourceModule(), MAKEINTRESOURCEA(IDD_DRIVER_LOAD_FAILURE),
                               nullptr, DriverLoadFailureProc, reinterpret_cast<LPARAM>(failure));
    }
};

TEST_F(HostResourcesTest, FailureDialogShowsDriverAndNegativeNumber) {
    DriverLoadFailure failure{"fvmouse.drv", -5};
    std::string name, number, caption;
    INT_PTR result = RunFailureDialog(&failure, [&](HWND dialog) {
        name = ItemText(dialog, IDC_DRIVER_NAME);
        number = ItemText(dialog, IDC_DRIVER_ERROR_NUMBER);
        char text[32];
        GetWindowTextA(dialog, text, sizeof text);
        caption = text;
        UserClickButton(GetDlgItem(dialog, IDOK));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(name, "fvmouse.drv");
    EXPECT_EQ(number, "-5");
    EXPECT_EQ(caption, "Farvane");
}

TEST_F(HostResourcesTest, NullDriverNameKeepsStaticAndExtremeNumbersFit) {
    DriverLoadFailure failure{nullptr, INT32_MIN};
    std::string name, number;
    RunFailureDialog(&failure, [&](HWND dialog) {
        name = ItemText(dialog, IDC_DRIVER_NAME);
        number = ItemText(dialog, IDC_DRIVER_ERROR_NUMBER);
        EndDialog(dialog, IDCANCEL);
    });
    EXPECT_EQ(name, "Static");
    EXPECT_EQ(number, "-2147483648");
}

TEST_F(HostResourcesTest, NullRecordLeavesTheTemplateTexts) {
    std::string name, number;
    RunFailureDialog(nullptr, [&](HWND dialog) {
        name = ItemText(dialog, IDC_DRIVER_NAME);
        number = ItemText(dialog, IDC_DRIVER_ERROR_NUMBER);
        EndDialog(dialog, IDOK);
    });
    EXPECT_EQ(name, "Static");
    EXPECT_EQ(number, "");
}

TEST_F(HostResourcesTest, OnlyOkAndCancelCloseTheDialog) {
    DriverLoadFailure failure{"fvkbd.dll", 3};
    bool stillOpenAfterOther = false;
    INT_PTR result = RunFailureDialog(&failure, [&](HWND dialog) {
        EXPECT_EQ(SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_DRIVER_NAME, 0), 0), 1);
        EXPECT_EQ(SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), 0), 1);
        stillOpenAfterOther = IsWindowVisible(dialog) != FALSE;
        SendMessageA(dialog, WM_CLOSE, 0, 0);  // the close box becomes Cancel
    });
    EXPECT_TRUE(stillOpenAfterOther);
    EXPECT_EQ(result, IDCANCEL);
    // Messages the procedure does not handle get 0.
    EXPECT_EQ(DriverLoadFailureProc(nullptr, WM_TIMER, 0, 0), 0);
    EXPECT_EQ(DriverLoadFailureProc(nullptr, WM_COMMAND, 55, 0), 1);
}

TEST_F(HostResourcesTest, FailureDialogLayoutFollowsTheTemplate) {
    HWND dialog = CreateDialogParamA(HostPilotResourceModule(), MAKEINTRESOURCEA(129), nullptr,
                                     DriverLoadFailureProc, 0);
    ASSERT_NE(dialog, nullptr);
    RECT client;
    GetClientRect(dialog, &client);
    RECT size{0, 0, 282, 94};
    MapDialogRect(dialog, &size);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    HWND ok = GetDlgItem(dialog, IDOK);
    EXPECT_EQ(GetWindowLongA(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(dialog, IDC_DRIVER_ERROR_NUMBER), GWL_STYLE) & SS_TYPEMASK,
              SS_RIGHT);
    DestroyWindow(dialog);
}

TEST_F(HostResourcesTest, HostSelectionButtonsStandTopToBottomAndTabInTemplateOrder) {
    HWND dialog = CreateDialogParamA(
        HostPilotResourceModule(), MAKEINTRESOURCEA(IDD_HOST_SELECTION), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return 0; }, 0);
    ASSERT_NE(dialog, nullptr);
    char caption[16];
    GetWindowTextA(dialog, caption, sizeof caption);
    EXPECT_STREQ(caption, "Farvane ");
    std::vector<std::pair<LONG, std::string>> byPosition;
    for (int id : {IDC_HOST_WAIT, IDC_HOST_CALL, IDC_HOST_EXIT, IDC_HOST_HELP, IDC_HOST_OFFLINE}) {
        RECT rect;
        GetWindowRect(GetDlgItem(dialog, id), &rect);
        byPosition.emplace_back(rect.top, ItemText(dialog, id));
    }
    std::sort(byPosition.begin(), byPosition.end());
    std::vector<std::string> onScreen;
    for (auto& [top, text] : byPosition) {
        onScreen.push_back(text);
    }
    EXPECT_THAT(onScreen, ::testing::ElementsAre("Wait for Connection", "Call Remote", "Go Offline",
                                                 "Exit Host", "Help"));
    std::vector<int> tabOrder;
    HWND control = GetDlgItem(dialog, IDC_HOST_WAIT);
    for (int i = 0; i < 5; ++i) {
        tabOrder.push_back(GetDlgCtrlID(control));
        control = GetNextDlgTabItem(dialog, control, FALSE);
    }
    EXPECT_THAT(tabOrder, ::testing::ElementsAre(IDC_HOST_WAIT, IDC_HOST_CALL, IDC_HOST_EXIT,
                                                 IDC_HOST_HELP, IDC_HOST_OFFLINE));
    DestroyWindow(dialog);
}

TEST_F(HostResourcesTest, HostMenuAndStrings) {
    HMENU menu = LoadMenuA(HostPilotResourceModule(), MAKEINTRESOURCEA(IDM_HOST));
    ASSERT_NE(menu, nullptr);
    char text[64];
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Farvane");
    HMENU popup = GetSubMenu(menu, 0);
    std::vector<std::pair<UINT, std::string>> items;
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        items.emplace_back(GetMenuItemID(popup, i), text);
    }
    using Item = std::pair<UINT, std::string>;
    EXPECT_THAT(items,
                ::testing::ElementsAre(Item{1, "Wait for Connection"}, Item{2, "Call Remote"},
                                       Item{3, "Exit Host"}, Item{4, "Help"}));
    DestroyMenu(menu);
    HINSTANCE module = HostPilotResourceModule();
    EXPECT_EQ(LoadStringText(module, IDS_DRIVER_LOAD_ERROR), "Farvane - Driver Load Error");
    EXPECT_EQ(LoadStringText(module, IDS_DRIVER_SYSTEM_INI), "system.ini");
    EXPECT_EQ(LoadStringText(module, IDS_OFFLINE), "Farvane Offline");
    EXPECT_EQ(LoadStringText(module, 2105), "");  // no such string
    char small[8];
    EXPECT_EQ(LoadStringA(module, IDS_DRIVER_DSP41, small, sizeof small), 7);
    EXPECT_STREQ(small, "fvdsp41");
    EXPECT_NE(LoadStringText(module, IDS_OLDER_VERSION).find("installed.  Please"),
              std::string::npos);
}

}  // namespace
}  // namespace farvane::hostpilot
