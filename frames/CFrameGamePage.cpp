// Page events, on the UI thread: the page contract (server list, game pages, the
// notice title), new windows and the script bridge's title.

#include "frames/CFrameGame.h"

#include "app/gameApp.h"
#include "browser/ComBstr.h"
#include "ui/framework/TextCut.h"

namespace {

constexpr const wchar_t* kNoticeTitle = L"温馨提示";

bool Contains(const wchar_t* text, const wchar_t* part) { return text && wcsstr(text, part) != nullptr; }

// Only web pages go to the default browser: a page must never get the shell to
// open a local file or start a program.
bool IsWebUrl(const wchar_t* url)
{
    return url && (_wcsnicmp(url, L"http://", 7) == 0 || _wcsnicmp(url, L"https://", 8) == 0);
}

} // namespace

bool CFrameGame::IsServerListUrl(const wchar_t* url) { return Contains(url, L"xf.html"); }

bool CFrameGame::IsGamePageUrl(const wchar_t* url) { return Contains(url, L"type=pc") || Contains(url, L"client=1"); }

void CFrameGame::HandleNavigateComplete(const wchar_t* url)
{
    if (m_gameMode) {
        m_html.OnSize(0, 0, 0);
        return;
    }
    if (IsServerListUrl(url))
        ReadLoginUser();
    if (IsGamePageUrl(url))
        PostMessageW(m_hWnd, WM_ARM_ENTER_TIMER, 0, 0);
}

void CFrameGame::HandleDocumentComplete(IDispatch*, const wchar_t* url)
{
    // Each new page at the display's scale, whatever the document is.
    m_html.FitPageToDisplay();
    ComPtr<IHTMLDocument2> document = m_html.m_browser.GetHtmlDocument2();
    if (!document)
        return;
    if (IsServerListUrl(url))
        ReadLoginUser();

    ComBstr title;
    if (SUCCEEDED(document->get_title(title.Put())) && title.Get() && !m_titleFromScript)
        SetTitleText(title.Get());

    if (!m_gameMode && TitleText().find(kNoticeTitle) != std::wstring::npos)
        m_html.Navigate(m_portal.StartPage().c_str(), kNavNoHistory);

    if (m_gameMode)
        m_html.OnSize(0, 0, 0);
    else if (IsGamePageUrl(url))
        PostMessageW(m_hWnd, WM_FRAMECOMMAND, FRAME_CMD_ENTER_GAME, 0);
    else if (IsServerListUrl(url))
        ReadLoginUser();
}

void CFrameGame::ReadLoginUser()
{
    ComPtr<IHTMLDocument3> document = m_html.m_browser.GetHtmlDocument3();
    if (!document)
        return;
    ComBstr id(L"login_user");
    ComPtr<IHTMLElement> element;
    if (FAILED(document->getElementById(id.Get(), element.Put())) || !element)
        return;
    ComBstr text;
    if (SUCCEEDED(element->get_innerText(text.Put())) && text.Get()) {
        CopyCut(m_loginUser, text.Get());
        if (g_app)
            g_app->SetUserName(m_loginUser);
    }
}

void CFrameGame::HandleNewWindow(IDispatch**, VARIANT_BOOL* cancel, unsigned long, wchar_t*, wchar_t* url)
{
    // Every new window of the page opens in the user's default browser instead.
    if (IsWebUrl(url))
        OpenInBrowser(url);
    if (cancel)
        *cancel = VARIANT_TRUE;
}

std::wstring CFrameGame::HandleExternalCall(unsigned dispid, const std::vector<std::wstring>& args)
{
    if (dispid == kTitleDispid && args.size() == 1) {
        m_titleFromScript = true;
        SetTitleText(args[0]);
    }
    return L"";
}
