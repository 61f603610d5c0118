// The per-user browser-emulation value that gives the control its modern
// document mode: written when missing, never over a value already chosen.

#include "BrowserTestSupport.h"

#include "browser/BrowserEmulation.h"
#include "browser/CWebBrowser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool ReadMode(HKEY root, const std::wstring& name, DWORD& mode, DWORD& type)
{
    DWORD size = sizeof(mode);
    return RegGetValueW(root, browser_emulation::kKeyPath, name.c_str(), RRF_RT_ANY, &type, &mode, &size) ==
           ERROR_SUCCESS;
}

void Remove(HKEY root, const std::wstring& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, browser_emulation::kKeyPath, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, name.c_str());
        RegCloseKey(key);
    }
}

void Write(HKEY root, const std::wstring& name, DWORD mode)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, browser_emulation::kKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&mode), sizeof(mode));
    RegCloseKey(key);
}

class BrowserEmulation : public ::testing::Test {
protected:
    void TearDown() override
    {
        Remove(HKEY_CURRENT_USER, name);
        Remove(HKEY_LOCAL_MACHINE, name);
    }
    const std::wstring name = L"vorn-test-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
};

} // namespace

TEST_F(BrowserEmulation, AMissingValueIsWrittenForTheUser)
{
    ASSERT_TRUE(browser_emulation::Ensure(name.c_str()));
    DWORD mode = 0, type = 0;
    ASSERT_TRUE(ReadMode(HKEY_CURRENT_USER, name, mode, type));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(mode, 11001u);
}

TEST_F(BrowserEmulation, AValueAlreadyChosenIsLeftAlone)
{
    Write(HKEY_CURRENT_USER, name, 8000);
    ASSERT_TRUE(browser_emulation::Ensure(name.c_str()));
    DWORD mode = 0, type = 0;
    ASSERT_TRUE(ReadMode(HKEY_CURRENT_USER, name, mode, type));
    EXPECT_EQ(mode, 8000u) << "the user's choice stays";

    Remove(HKEY_CURRENT_USER, name);
    Write(HKEY_LOCAL_MACHINE, name, 9000);
    ASSERT_TRUE(browser_emulation::Ensure(name.c_str()));
    EXPECT_FALSE(ReadMode(HKEY_CURRENT_USER, name, mode, type)) << "an administrator's value is not overridden";
}

TEST_F(BrowserEmulation, CreatingTheControlGivesTheRunningProgramItsValue)
{
    wchar_t own[MAX_PATH] = {};
    ASSERT_TRUE(browser_emulation::OwnExecutableName(own, MAX_PATH));
    EXPECT_STREQ(own, L"browser_tests.exe");
    Remove(HKEY_CURRENT_USER, own);

    test::OleApartment ole;
    HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    {
        CWebBrowser site;
        ASSERT_TRUE(site.Create(host));
    }
    DestroyWindow(host);
    DWORD mode = 0, type = 0;
    ASSERT_TRUE(ReadMode(HKEY_CURRENT_USER, own, mode, type));
    EXPECT_EQ(mode, 11001u);
}
