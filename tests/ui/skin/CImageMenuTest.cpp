// The popup menu: its size from its rows, choices reported through the row
// callback, hiding when it loses activation, its shadow and its window kinds.

#include "SkinTestSupport.h"
#include "ui/skin/CImageCtrlEx.h"
#include "ui/skin/CImageMenu.h"

#include <gtest/gtest.h>

using skintest::MouseMove;

namespace {
class MenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        menu.SetClassName(L"zarvo_menu");
        menu.paint.rowHeight = 24;
        AddRow(10014, L"清除缓存");
        AddRow(10015, L"刷新");
        AddRow(10016, L"老板键(Alt+D)");
        menu.paint.SetHoverColor(0xFF9CD0FE);
        menu.paint.SetOnRowClick([this](CImageItem* row) { chosen.push_back(row->id); });
    }
    void TearDown() override
    {
        if (other.m_hWnd)
            DestroyWindow(other.m_hWnd);
        if (menu.m_hWnd)
            DestroyWindow(menu.m_hWnd);
        SetCursorPos(1270, 790);
        test::PumpPending();
    }
    void AddRow(int id, const wchar_t* text)
    {
        CImageItem* row = menu.paint.AddRow(id);
        row->AddButton(id, text, 0, 0, 0, 0, 1, 1, 94, 94)->SetTextColors(0xFF0C0C0C, 0xFF0C0C0C, 0xFF0C0C0C);
    }
    RECT MenuRect() const
    {
        RECT r = {};
        ::GetWindowRect(menu.m_hWnd, &r);
        return r;
    }
    RECT ShadowRect() const
    {
        RECT r = {};
        ::GetWindowRect(menu.shadow->m_hWnd, &r);
        return r;
    }
    COLORREF MenuPixel(int x, int y)
    {
        UpdateWindow(menu.m_hWnd);
        HDC dc = GetDC(menu.m_hWnd);
        const COLORREF pixel = GetPixel(dc, x, y);
        ReleaseDC(menu.m_hWnd, dc);
        return pixel;
    }

    test::ThreadManager manager;
    CImageMenu menu;
    skintest::TestImageWindow other;
    std::vector<int> chosen;
};
} // namespace

TEST_F(MenuTest, HeightIsTheSumOfTheVisibleRows)
{
    menu.Popup(200, 150);
    ASSERT_NE(menu.m_hWnd, nullptr);
    RECT r = MenuRect();
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 150);
    EXPECT_EQ(r.right - r.left, 96);
    EXPECT_EQ(r.bottom - r.top, 72);
    EXPECT_TRUE(IsWindowVisible(menu.m_hWnd));

    menu.paint.AddRow(10015)->visible = false;
    menu.Popup(200, 150);
    r = MenuRect();
    EXPECT_EQ(r.right - r.left, 96);
    EXPECT_EQ(r.bottom - r.top, 48) << "a hidden row takes no space";
    RECT third = menu.paint.RowRect(10016);
    EXPECT_EQ(third.top, 24) << "the rows below move up";
}

TEST_F(MenuTest, ClickReportsTheRowAndASecondClickReportsItAgain)
{
    menu.Popup(200, 150);
    MouseMove(menu.m_hWnd, 40, 36);
    EXPECT_EQ(menu.paint.hotRow, menu.paint.AddRow(10015));
    SendMessageW(menu.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(40, 36));
    ASSERT_EQ(chosen, std::vector<int>{10015});
    EXPECT_EQ(menu.paint.selectedRow, menu.paint.AddRow(10015));
    SendMessageW(menu.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(40, 36));
    EXPECT_EQ(chosen, (std::vector<int>{10015, 10015})) << "the selected row is reported again";
    MouseMove(menu.m_hWnd, 40, 60);
    SendMessageW(menu.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(40, 60));
    EXPECT_EQ(chosen.back(), 10016);
    EXPECT_FALSE(menu.paint.AddRow(10015)->selected) << "one selected row at a time";
}

TEST_F(MenuTest, ChildListEndsTheHoverOfARowItsParentNoLongerShows)
{
    // A three-row list as a child of a window that shows 48 pixels of it.
    ASSERT_TRUE(other.CreatePopup(600, 400, 96, 48));
    CImageCtrlEx list;
    list.paint.SetHoverColor(0xFF9CD0FE);
    CImageItem* rows[] = {list.paint.AddRow(1), list.paint.AddRow(2), list.paint.AddRow(3)};
    for (CImageItem* row : rows)
        row->AddButton(row->id, L"row", 0, 0, 0, 0, 1, 1, 94, 94);
    ASSERT_TRUE(list.Create(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 0, 0, 96, 72, other.m_hWnd));
    auto hoveredRows = [&] {
        int n = 0;
        for (CImageItem* row : rows)
            n += row->hovered;
        return n;
    };

    MouseMove(list.m_hWnd, 40, 36);
    ASSERT_EQ(list.paint.hotRow, rows[1]);
    ASSERT_NE(rows[1]->hotButton, nullptr);

    // Scrolled down by 30 pixels: the second row now starts below the parent's
    // client area; the mouse moves onto the first.
    MoveWindow(list.m_hWnd, 0, 30, 96, 72, TRUE);
    MouseMove(list.m_hWnd, 40, 10);
    EXPECT_EQ(list.paint.hotRow, rows[0]);
    EXPECT_TRUE(rows[0]->hovered);
    EXPECT_FALSE(rows[1]->hovered) << "the row no longer shown lost its hover look";
    EXPECT_EQ(rows[1]->hotButton, nullptr);
    EXPECT_EQ(rows[1]->mouseX, -1);
    EXPECT_EQ(hoveredRows(), 1) << "one row at most looks hot";
    DestroyWindow(list.m_hWnd);
}

TEST_F(MenuTest, BackgroundAndHoverColoursArePainted)
{
    menu.Popup(200, 150);
    test::PumpPending();
    EXPECT_EQ(MenuPixel(92, 12), RGB(0xED, 0xF3, 0xFA));
    MouseMove(menu.m_hWnd, 40, 36);
    EXPECT_EQ(MenuPixel(92, 36), RGB(0x9C, 0xD0, 0xFE)) << "the row under the mouse";
    EXPECT_EQ(MenuPixel(92, 12), RGB(0xED, 0xF3, 0xFA));
}

TEST_F(MenuTest, LosingActivationHidesItWithoutAChoice)
{
    menu.Popup(200, 150);
    ASSERT_TRUE(test::PumpUntil([&] { return GetActiveWindow() == menu.m_hWnd; }, 2000));
    ASSERT_TRUE(other.CreatePopup(600, 400, 100, 100));
    SetActiveWindow(other.m_hWnd);
    EXPECT_TRUE(test::PumpUntil([&] { return !IsWindowVisible(menu.m_hWnd); }, 2000));
    EXPECT_FALSE(IsWindowVisible(menu.shadow->m_hWnd)) << "the shadow hides with it";
    EXPECT_TRUE(chosen.empty());
    EXPECT_TRUE(IsWindow(menu.m_hWnd)) << "kept for the next popup";
}

TEST_F(MenuTest, SecondPopupMovesTheSameWindows)
{
    menu.Popup(200, 150);
    HWND first = menu.m_hWnd;
    HWND firstShadow = menu.shadow->m_hWnd;
    ShowWindow(menu.m_hWnd, SW_HIDE);
    menu.Popup(300, 250);
    EXPECT_EQ(menu.m_hWnd, first);
    EXPECT_EQ(menu.shadow->m_hWnd, firstShadow);
    const RECT r = MenuRect();
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 250);
    const RECT s = ShadowRect();
    EXPECT_EQ(s.left, 294);
    EXPECT_EQ(s.top, 244);
    EXPECT_TRUE(IsWindowVisible(menu.m_hWnd));
    EXPECT_TRUE(IsWindowVisible(menu.shadow->m_hWnd));
}

TEST_F(MenuTest, ShadowSurroundsA96By200MenuBySixPixels)
{
    CImageMenu tall;
    tall.paint.rowHeight = 25;
    for (int id = 1; id <= 8; ++id)
        tall.paint.AddRow(id);
    tall.Popup(100, 100);
    RECT r = {};
    ::GetWindowRect(tall.m_hWnd, &r);
    ASSERT_EQ(r.right - r.left, 96);
    ASSERT_EQ(r.bottom - r.top, 200);
    RECT s = {};
    ::GetWindowRect(tall.shadow->m_hWnd, &s);
    EXPECT_EQ(s.left, 94);
    EXPECT_EQ(s.top, 94);
    EXPECT_EQ(s.right - s.left, 108);
    EXPECT_EQ(s.bottom - s.top, 212);

    // Popped up again at the same place with one row fewer: the shadow follows
    // the new size although the menu did not move.
    tall.paint.AddRow(8)->visible = false;
    ShowWindow(tall.m_hWnd, SW_HIDE);
    tall.Popup(100, 100);
    ::GetWindowRect(tall.shadow->m_hWnd, &s);
    EXPECT_EQ(s.bottom - s.top, 175 + 12);
    DestroyWindow(tall.m_hWnd);
}

TEST_F(MenuTest, IsATopmostToolWindowOwnedByItsShadow)
{
    menu.Popup(200, 150);
    EXPECT_STREQ(menu.m_className, L"zarvo_menu");
    EXPECT_TRUE(GetWindowLongW(menu.m_hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(GetWindowLongW(menu.m_hWnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_TRUE(GetWindowLongW(menu.shadow->m_hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindow(menu.m_hWnd, GW_OWNER), menu.shadow->m_hWnd);
    // The shadow is made topmost, which takes the menu it owns along. (Wine
    // marks only the owned menu topmost; Windows marks both.)
    EXPECT_TRUE(GetWindowLongW(menu.m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(MenuTest, DestroyedMenuWindowComesBackWithAShadow)
{
    menu.Popup(200, 150);
    HWND first = menu.m_hWnd;
    DestroyWindow(first);
    EXPECT_FALSE(IsWindowVisible(menu.shadow->m_hWnd));
    menu.Popup(210, 160);
    ASSERT_NE(menu.m_hWnd, nullptr);
    EXPECT_TRUE(IsWindow(menu.shadow->m_hWnd));
    EXPECT_EQ(GetWindow(menu.m_hWnd, GW_OWNER), menu.shadow->m_hWnd);
    test::PumpPending(); // a close posted to the old shadow must not take the new menu along
    EXPECT_TRUE(IsWindow(menu.m_hWnd));
    EXPECT_TRUE(IsWindowVisible(menu.m_hWnd));
    EXPECT_EQ(menu.paint.rows.size(), 0u) << "the rows went with the destroyed window";
}
