// window.external as a page script reaches it: the site hands the bridge out
// through GetExternal, and every call goes through the real IDispatch methods
// with DISPPARAMS laid out as a script engine lays them out (last argument first).

#include "CallArguments.h"

#include "browser/CWebBrowser.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

constexpr unsigned kTitle = 3000;

class Bridge : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(site.GetExternal(&external), S_OK);
        ASSERT_NE(external, nullptr);
        ASSERT_TRUE(site.m_external.AddName(L"zarvo_title", kTitle));
    }
    void TearDown() override
    {
        if (external)
            external->Release();
    }

    void InstallRecordingHandler(std::wstring answer = L"")
    {
        site.SetExternalCallback([this, answer](unsigned dispid, const std::vector<std::wstring>& args) {
            calls.push_back({dispid, args});
            return answer;
        });
    }

    DISPID IdOf(const wchar_t* name)
    {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = 0;
        EXPECT_EQ(external->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
        return id;
    }

    HRESULT Call(DISPID id, test::CallArguments& args, VARIANT* result, WORD flags = DISPATCH_METHOD)
    {
        return external->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, args.Params(), result, nullptr, nullptr);
    }

    struct Call_ {
        unsigned dispid;
        std::vector<std::wstring> args;
    };

    CWebBrowser site;
    IDispatch* external = nullptr;
    std::vector<Call_> calls;
};

} // namespace

TEST_F(Bridge, OneStringReachesTheHandlerAs3000AndTheScriptGetsAnEmptyString)
{
    InstallRecordingHandler();
    test::CallArguments args;
    args.String(L"一区 - Morvane网页版");
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(Call(IdOf(L"zarvo_title"), args, &result, DISPATCH_METHOD | DISPATCH_PROPERTYGET), S_OK);

    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].dispid, kTitle);
    ASSERT_EQ(calls[0].args.size(), 1u);
    EXPECT_EQ(calls[0].args[0], L"一区 - Morvane网页版");
    ASSERT_EQ(V_VT(&result), VT_BSTR) << "the call's value is the handler's string";
    ASSERT_NE(V_BSTR(&result), nullptr);
    EXPECT_EQ(SysStringLen(V_BSTR(&result)), 0u);
    VariantClear(&result);
}

TEST_F(Bridge, HandlerAnswerBecomesTheScriptsValue)
{
    InstallRecordingHandler(L"好的");
    test::CallArguments args;
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(Call(IdOf(L"zarvo_title"), args, &result), S_OK);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].args.empty());
    ASSERT_EQ(V_VT(&result), VT_BSTR);
    EXPECT_STREQ(V_BSTR(&result), L"好的");
    VariantClear(&result);
}

TEST_F(Bridge, ArgumentsKeepTheScriptsOrderAndNullStringsDropOut)
{
    InstallRecordingHandler();
    {
        test::CallArguments args;
        args.String(L"first").String(L"second").String(L"third");
        ASSERT_EQ(Call(kTitle, args, nullptr), S_OK);
    }
    {
        test::CallArguments args;
        args.String(L"first").String(nullptr).String(L"third");
        ASSERT_EQ(Call(kTitle, args, nullptr), S_OK);
    }
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].args, (std::vector<std::wstring>{L"first", L"second", L"third"}));
    EXPECT_EQ(calls[1].args, (std::vector<std::wstring>{L"first", L"third"}));
}

TEST_F(Bridge, NumbersAndOtherSimpleValuesArriveAsTextAndObjectsAreLeftOut)
{
    InstallRecordingHandler();
    BSTR byRef = SysAllocString(L"by reference");
    test::CallArguments args;
    // window.external.zarvo_title(5, 2.5, true, null, undefined, obj, "x", variable)
    args.Int(5).Double(2.5).Bool(true).Of(VT_NULL).Of(VT_EMPTY).Object(&site.m_external).String(L"x").StringRef(&byRef);
    ASSERT_EQ(Call(kTitle, args, nullptr), S_OK);
    SysFreeString(byRef);

    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args, (std::vector<std::wstring>{L"5", L"2.5", L"True", L"x", L"by reference"}));
}

TEST_F(Bridge, ReadingARegisteredNameAsAPropertyYieldsTrueWithoutCallingTheHandler)
{
    InstallRecordingHandler();
    test::CallArguments none;
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(Call(kTitle, none, &result, DISPATCH_PROPERTYGET), S_OK);
    EXPECT_EQ(V_VT(&result), VT_BOOL);
    EXPECT_EQ(V_BOOL(&result), VARIANT_TRUE);
    EXPECT_TRUE(calls.empty());

    // A property write does nothing at all.
    test::CallArguments value;
    value.String(L"x");
    ASSERT_EQ(Call(kTitle, value, nullptr, DISPATCH_PROPERTYPUT), S_OK);
    EXPECT_TRUE(calls.empty());
}

TEST_F(Bridge, NamesMatchExactlyAndUnknownOnesAreReportedSlotBySlot)
{
    LPOLESTR capital[] = {const_cast<LPOLESTR>(L"ZARVO_TITLE")};
    DISPID id = 0;
    EXPECT_EQ(external->GetIDsOfNames(IID_NULL, capital, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);

    LPOLESTR mixed[] = {const_cast<LPOLESTR>(L"zarvo_title"), const_cast<LPOLESTR>(L"zarvo_other")};
    DISPID ids[2] = {0, 0};
    EXPECT_EQ(external->GetIDsOfNames(IID_NULL, mixed, 2, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], static_cast<DISPID>(kTitle));
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);

    // The unknown name first: the known one after it is still looked up.
    LPOLESTR reversed[] = {const_cast<LPOLESTR>(L"zarvo_other"), const_cast<LPOLESTR>(L"zarvo_title")};
    EXPECT_EQ(external->GetIDsOfNames(IID_NULL, reversed, 2, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], DISPID_UNKNOWN);
    EXPECT_EQ(ids[1], static_cast<DISPID>(kTitle));

    EXPECT_EQ(external->GetIDsOfNames(IID_NULL, nullptr, 0, 0, nullptr), S_OK) << "no names, nothing unknown";
}

TEST_F(Bridge, DuplicateRegistrationsAreRefusedAndTheFirstStays)
{
    EXPECT_FALSE(site.m_external.AddName(L"zarvo_title", 3001)) << "same name, other id";
    EXPECT_FALSE(site.m_external.AddName(L"zarvo_other", kTitle)) << "same id, other name";
    EXPECT_TRUE(site.m_external.AddName(L"Zarvo_Title", 3002)) << "names differ in case";
    EXPECT_EQ(site.m_external.m_names.size(), 2u);
    EXPECT_EQ(site.m_external.m_names.at(kTitle), L"zarvo_title");
}

TEST_F(Bridge, WithoutAHandlerOrForAnUnregisteredIdTheCallSucceedsAndLeavesTheResultAlone)
{
    test::CallArguments args;
    args.String(L"x");
    VARIANT result;
    VariantInit(&result);
    V_VT(&result) = VT_I4;
    V_I4(&result) = 77;
    EXPECT_EQ(Call(kTitle, args, &result, DISPATCH_METHOD | DISPATCH_PROPERTYGET), S_OK);
    EXPECT_EQ(V_VT(&result), VT_I4);
    EXPECT_EQ(V_I4(&result), 77);

    InstallRecordingHandler();
    EXPECT_EQ(Call(4242, args, &result, DISPATCH_METHOD | DISPATCH_PROPERTYGET), S_OK);
    EXPECT_EQ(V_VT(&result), VT_I4);
    EXPECT_EQ(V_I4(&result), 77);
    EXPECT_TRUE(calls.empty());
}

TEST_F(Bridge, AThrowingHandlerIsContainedAndTheNextCallWorks)
{
    bool throwNext = true;
    int handled = 0;
    site.SetExternalCallback([&](unsigned, const std::vector<std::wstring>&) -> std::wstring {
        if (throwNext) {
            throwNext = false;
            throw std::runtime_error("handler failed");
        }
        ++handled;
        return L"ok";
    });
    test::CallArguments args;
    args.String(L"x");
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(Call(kTitle, args, &result), S_OK);
    EXPECT_EQ(V_VT(&result), VT_EMPTY) << "nothing was answered";

    EXPECT_EQ(Call(kTitle, args, &result), S_OK);
    EXPECT_EQ(handled, 1);
    ASSERT_EQ(V_VT(&result), VT_BSTR);
    EXPECT_STREQ(V_BSTR(&result), L"ok");
    VariantClear(&result);
}

TEST_F(Bridge, IsTheSameObjectForEveryAskAndCountsWithoutEverDeleting)
{
    void* self = nullptr;
    EXPECT_EQ(external->QueryInterface(IID_IDispatch, &self), S_OK);
    EXPECT_EQ(self, external);
    EXPECT_EQ(external->QueryInterface(IID_IUnknown, &self), S_OK);
    EXPECT_EQ(self, external);
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(external->QueryInterface(IID_IOleCommandTarget, &other), E_FAIL);
    EXPECT_EQ(other, nullptr);

    const LONG before = site.m_external.m_refCount;
    EXPECT_EQ(external->AddRef(), static_cast<ULONG>(before + 1));
    EXPECT_EQ(external->Release(), static_cast<ULONG>(before));
    UINT count = 0;
    EXPECT_EQ(external->GetTypeInfoCount(&count), E_FAIL);
}
