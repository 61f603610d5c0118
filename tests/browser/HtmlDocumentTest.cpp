// The browser site's document operations against fake documents, handed to
// the site in place of the control's own (which Wine cannot make).

#include "FakeDocument.h"
#include "LiveSite.h"

#include <exdispid.h>
#include <gtest/gtest.h>

using test::LiveSite;

// ---------------------------------------------------------------- documents

class BrowserDocument : public ::testing::Test {
protected:
    void SetUp() override { site.SetDocumentOverride(static_cast<IHTMLDocument2*>(&document)); }
    void TearDown() override
    {
        site.SetDocumentOverride(nullptr);
        EXPECT_EQ(document.Refs(), 0) << "every reference taken was given back";
    }

    CWebBrowser site;
    test::FakeDocument document;
};

TEST_F(BrowserDocument, ElementValueCapacityProtocol)
{
    test::FakeElement& user = document.AddElement(L"login_user");
    user.hasValue = true;
    user.value = L"玩家007"; // five characters

    int capacity = 0;
    EXPECT_FALSE(site.GetElementValue(L"login_user", nullptr, &capacity));
    EXPECT_EQ(capacity, 6) << "a null buffer asks for the size";

    wchar_t buffer[16];
    wmemset(buffer, L'#', 16);
    capacity = 5;
    EXPECT_FALSE(site.GetElementValue(L"login_user", buffer, &capacity));
    EXPECT_EQ(capacity, 6);
    EXPECT_EQ(buffer[0], L'#') << "a too-small buffer stays untouched";

    EXPECT_TRUE(site.GetElementValue(L"login_user", buffer, &capacity));
    EXPECT_STREQ(buffer, L"玩家007");
    EXPECT_EQ(buffer[6], L'#') << "nothing written past the string";
    EXPECT_EQ(user.lastGetFlags, 0);

    capacity = 16;
    EXPECT_FALSE(site.GetElementValue(L"missing", buffer, &capacity));
    EXPECT_EQ(capacity, 16) << "no element: nothing reported";
    EXPECT_FALSE(site.GetElementValue(L"login_user", buffer, nullptr));
    EXPECT_FALSE(site.GetElementValue(nullptr, buffer, &capacity));
}

TEST_F(BrowserDocument, SetValueAndClickActOnTheElementWithThatId)
{
    test::FakeElement& name = document.AddElement(L"user");
    test::FakeElement& button = document.AddElement(L"login");

    EXPECT_TRUE(site.SetElementValue(L"user", L"玩家"));
    ASSERT_EQ(name.setCalls.size(), 1u);
    EXPECT_EQ(name.setCalls[0].name, L"value");
    EXPECT_EQ(name.setCalls[0].type, VT_BSTR);
    EXPECT_EQ(name.setCalls[0].value, L"玩家");
    EXPECT_EQ(name.setCalls[0].flags, 1);

    EXPECT_TRUE(site.ClickElement(L"login"));
    EXPECT_EQ(button.clicks, 1);
    EXPECT_EQ(name.clicks, 0);

    EXPECT_FALSE(site.SetElementValue(L"nobody", L"x"));
    EXPECT_FALSE(site.ClickElement(L"nobody"));
    EXPECT_FALSE(site.SetElementValue(L"user", nullptr));
    EXPECT_FALSE(site.SetElementValue(nullptr, L"x"));
    EXPECT_FALSE(site.ClickElement(nullptr));
    EXPECT_EQ(document.lookups, (std::vector<std::wstring>{L"user", L"login", L"nobody", L"nobody"}));
}

TEST_F(BrowserDocument, BodyHtmlFitsOrReportsTheCapacityItNeeds)
{
    document.body.hasInnerHtml = true;
    document.body.innerHtml = L"<p>选择服务器</p>"; // 12 characters

    wchar_t buffer[32];
    wmemset(buffer, L'#', 32);
    int capacity = 12;
    EXPECT_FALSE(site.GetBodyHtml(buffer, &capacity)) << "too small is a failure, not a silent success";
    EXPECT_EQ(capacity, 13);
    EXPECT_EQ(buffer[0], L'#');

    EXPECT_TRUE(site.GetBodyHtml(buffer, &capacity));
    EXPECT_STREQ(buffer, L"<p>选择服务器</p>");

    capacity = 32;
    EXPECT_FALSE(site.GetBodyHtml(nullptr, &capacity));
    EXPECT_FALSE(site.GetBodyHtml(buffer, nullptr));
    document.body.hasInnerHtml = false;
    EXPECT_FALSE(site.GetBodyHtml(buffer, &capacity)) << "no inner HTML";
    document.hasBody = false;
    EXPECT_FALSE(site.GetBodyHtml(buffer, &capacity)) << "no body";
}

TEST_F(BrowserDocument, DocumentsComeFromTheOverrideAndAMissingInterfaceIsNull)
{
    ComPtr<IHTMLDocument2> two = site.GetHtmlDocument2();
    ComPtr<IHTMLDocument3> three = site.GetHtmlDocument3();
    EXPECT_EQ(two.Get(), static_cast<IHTMLDocument2*>(&document));
    EXPECT_EQ(three.Get(), static_cast<IHTMLDocument3*>(&document));
    two.Reset();
    three.Reset();

    document.offersDocument3 = false;
    EXPECT_FALSE(site.GetHtmlDocument3());
    document.AddElement(L"x");
    EXPECT_FALSE(site.ClickElement(L"x"));
    document.offersDocument3 = true;

    site.SetDocumentOverride(nullptr);
    EXPECT_FALSE(site.GetHtmlDocument2()) << "no control, no document";
    EXPECT_FALSE(site.ClickElement(L"x"));
}

TEST_F(LiveSite, LoadHtmlGoesToABlankPageAndWritesTheTextIntoTheDocument)
{
    test::FakeDocument document;
    site.SetDocumentOverride(static_cast<IHTMLDocument2*>(&document));
    EXPECT_FALSE(site.LoadHtml(nullptr));
    ASSERT_TRUE(site.LoadHtml(L"<h1>温馨提示</h1>"));
    ASSERT_EQ(document.writes.size(), 1u);
    const auto& write = document.writes[0];
    EXPECT_EQ(write.dimensions, 1u);
    EXPECT_EQ(write.elementType, VT_VARIANT);
    EXPECT_EQ(write.lowerBound, 0);
    EXPECT_EQ(write.texts, (std::vector<std::wstring>{L"<h1>温馨提示</h1>"}));
    EXPECT_EQ(document.closes, 1);
    site.SetDocumentOverride(nullptr);
    EXPECT_EQ(document.Refs(), 0);

    // Under Wine the control has no document of its own.
    EXPECT_FALSE(site.LoadHtml(L"<p>x</p>"));
}

TEST(BrowserCommands, OnlyScriptErrorsOfTheHostCommandGroupAreHandled)
{
    CWebBrowser site;
    const GUID hostCommands = {0xf38bc242, 0xb950, 0x11d1, {0x89, 0x18, 0x00, 0xc0, 0x4f, 0xc2, 0xc8, 0x36}};
    EXPECT_EQ(site.QueryStatus(&hostCommands, 0, nullptr, nullptr), OLECMDERR_E_NOTSUPPORTED);
    EXPECT_EQ(site.Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, nullptr), OLECMDERR_E_UNKNOWNGROUP);
    EXPECT_EQ(site.Exec(&IID_IUnknown, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, nullptr), OLECMDERR_E_UNKNOWNGROUP);
    EXPECT_EQ(site.Exec(&hostCommands, OLECMDID_REFRESH, 0, nullptr, nullptr), OLECMDERR_E_NOTSUPPORTED);

    // A script error keeps the script running, even when its details cannot be read.
    test::FakeDocument document;
    VARIANT in;
    VariantInit(&in);
    V_VT(&in) = VT_UNKNOWN;
    V_UNKNOWN(&in) = static_cast<IHTMLDocument2*>(&document);
    VARIANT out;
    VariantInit(&out);
    EXPECT_TRUE(FAILED(site.Exec(&hostCommands, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out)));
    EXPECT_EQ(V_VT(&out), VT_BOOL);
    EXPECT_EQ(V_BOOL(&out), VARIANT_TRUE);
    EXPECT_EQ(document.Refs(), 0);
}
