#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "gdi_test_support.h"
#include "platform/gdi/desktop_name.h"

namespace farvane::gdi {
namespace {

using testing::AttachMemoryDesktop;
using testing::FreshMemoryName;

TEST(DesktopName, MemoryNamesGiveSizeDepthAndLayout) {
    auto name = ParseDesktopName("memory:1024x768x8p");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->kind, DesktopName::Kind::Memory);
    EXPECT_EQ(name->memory.width, 1024);
    EXPECT_EQ(name->memory.height, 768);
    EXPECT_EQ(name->memory.format.bitsPerPixel, 8);
    EXPECT_TRUE(name->memory.paletteDevice);

    name = ParseDesktopName("memory:640x480x15#second-one");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->memory.format, (PixelFormat{16, PixelLayout::Rgb555}));
    EXPECT_FALSE(name->memory.paletteDevice);
    EXPECT_EQ(name->canonical, "memory:640x480x15#second-one");

    name = ParseDesktopName("memory:0640x0480x16");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->memory.format, (PixelFormat{16, PixelLayout::Rgb565}));
    EXPECT_EQ(name->canonical, "memory:640x480x16");
}

TEST(DesktopName, X11NamesShareOneCanonicalForm) {
    for (const char* text : {":1", "x11::1", ":1.0", "x11::1.0"}) {
        auto name = ParseDesktopName(text);
        ASSERT_TRUE(name) << text;
        EXPECT_EQ(name->kind, DesktopName::Kind::X11);
        EXPECT_EQ(name->canonical, "x11::1.0") << text;
    }
    auto remote = ParseDesktopName("localhost:10.2");
    ASSERT_TRUE(remote);
    EXPECT_EQ(remote->x11Display, "localhost:10.2");
    // A host may be called like a prefix; its canonical name still reads back the same.
    auto odd = ParseDesktopName("x11:memory:4");
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->x11Display, "memory:4.0");
    EXPECT_EQ(ParseDesktopName(odd->canonical)->x11Display, "memory:4.0");
    auto byDefault = ParseDesktopName("default");
    ASSERT_TRUE(byDefault);
    EXPECT_EQ(byDefault->kind, DesktopName::Kind::Default);
}

TEST(DesktopName, BadNamesAreRefused) {
    const std::string tooLong(200, 'a');
    const std::vector<std::string> names = {"",
                                            "memory:",
                                            "memory:10x10",
                                            "memory:0x10x8",
                                            "memory:10x10x7",
                                            "memory:10x10x8q",
                                            "memory:10x10x4p",
                                            "memory:16385x1x8",
                                            "memory:16384x16384x32",
                                            "memory:10x10x8#",
                                            "memory:10x10x8#bad tag",
                                            "memory:10x10x8#" + std::string(33, 'a'),
                                            "memory:axbx8",
                                            "memory:-1x10x8",
                                            "Winlogon",
                                            ":",
                                            ":a",
                                            "x11:",
                                            ":1.",
                                            "bad host:1",
                                            "ho/st:1",
                                            ":123456",
                                            "memory:10x10x8\x01",
                                            tooLong};
    for (const std::string& text : names) {
        EXPECT_FALSE(ParseDesktopName(text)) << text;
        EXPECT_EQ(OpenDesktopA(text.c_str(), 0, FALSE, 0x1FF), nullptr) << text;
    }
    EXPECT_EQ(OpenDesktopA(nullptr, 0, FALSE, 0x1FF), nullptr);
    EXPECT_FALSE(SetThreadDesktop(nullptr));
    EXPECT_FALSE(CloseDesktop(nullptr));
}

TEST(Desktop, UnreachableX11DisplayIsRefused) {
    EXPECT_EQ(OpenDesktopA(":9999", 0, FALSE, 0x1FF), nullptr);
}

TEST(Desktop, EachThreadSeesTheDesktopItAttached) {
    const std::string first = FreshMemoryName(320, 200, "8p");
    const std::string second = FreshMemoryName(64, 48, "24");
    ASSERT_TRUE(AttachMemoryDesktop(first));
    HWND firstWindow = GetDesktopWindow();
    int otherWidth = 0;
    HWND otherWindow = nullptr;
    std::thread other([&] {
        AttachMemoryDesktop(second);
        otherWidth = GetSystemMetrics(SM_CXSCREEN);
        otherWindow = GetDesktopWindow();
    });
    other.join();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 320);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 200);
    EXPECT_EQ(otherWidth, 64);
    EXPECT_NE(firstWindow, otherWindow);
    EXPECT_TRUE(IsWindow(firstWindow));
    EXPECT_TRUE(IsWindow(otherWindow));
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(0x1234)));
    EXPECT_FALSE(IsWindow(nullptr));
}

TEST(Desktop, SameNameSameDisplay) {
    const std::string name = FreshMemoryName(32, 32, "32");
    HDESK a = OpenDesktopA(name.c_str(), 0, FALSE, 0x1FF);
    HDESK b = OpenDesktopA(name.c_str(), 0, FALSE, 0x1FF);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    ASSERT_TRUE(SetThreadDesktop(a));
    HWND viaA = GetDesktopWindow();
    ASSERT_TRUE(SetThreadDesktop(b));
    EXPECT_EQ(GetDesktopWindow(), viaA);
    EXPECT_EQ(FindMemoryDisplay(name)->window(), viaA);
    EXPECT_EQ(FindMemoryDisplay(":1"), nullptr);
}

TEST(Desktop, CloseDesktopFailsWhileAThreadIsAttached) {
    const std::string name = FreshMemoryName(16, 16, "8");
    HDESK desktop = OpenDesktopA(name.c_str(), 0, FALSE, 0x1FF);
    HDESK spare = OpenDesktopA(name.c_str(), 0, FALSE, 0x1FF);
    ASSERT_TRUE(SetThreadDesktop(desktop));
    EXPECT_FALSE(CloseDesktop(desktop));
    ASSERT_TRUE(SetThreadDesktop(spare));
    EXPECT_TRUE(CloseDesktop(desktop));
    EXPECT_FALSE(CloseDesktop(desktop));
    EXPECT_FALSE(SetThreadDesktop(desktop));
    // A thread that ends lets go of its desktop.
    HDESK threads = OpenDesktopA(name.c_str(), 0, FALSE, 0x1FF);
    std::thread([&] { SetThreadDesktop(threads); }).join();
    EXPECT_TRUE(CloseDesktop(threads));
}

TEST(Desktop, DefaultIsDisplayVariableElseMemory) {
    const char* saved = std::getenv("DISPLAY");
    const std::string savedValue = saved ? saved : "";
    unsetenv("DISPLAY");
    EXPECT_EQ(DefaultDesktopName(), kFallbackDesktop);
    setenv("DISPLAY", ":7", 1);
    EXPECT_EQ(DefaultDesktopName(), ":7");
    unsetenv("DISPLAY");
    // A fresh thread has no desktop of its own and sees the default.
    int width = 0;
    int depth = 0;
    std::thread([&] {
        width = GetSystemMetrics(SM_CXSCREEN);
        HDC screen = GetDC(nullptr);
        depth = GetDeviceCaps(screen, BITSPIXEL);
        ReleaseDC(nullptr, screen);
    }).join();
    EXPECT_EQ(width, 1024);
    EXPECT_EQ(depth, 32);

    EXPECT_FALSE(SetDefaultDesktop("nonsense"));
    const std::string chosen = FreshMemoryName(200, 100, "16");
    ASSERT_TRUE(SetDefaultDesktop(chosen));
    std::thread([&] { width = GetSystemMetrics(SM_CXSCREEN); }).join();
    EXPECT_EQ(width, 200);
    EXPECT_EQ(OpenDisplay("Default"), OpenDisplay(chosen));
    if (saved) {
        setenv("DISPLAY", savedValue.c_str(), 1);
    }
}

}  // namespace
}  // namespace farvane::gdi
