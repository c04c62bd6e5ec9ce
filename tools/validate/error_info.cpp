#include "tools/validate/error_info.h"

#include "CapeOpenUnit_h.h"
#include "tools/validate/output.h"

namespace korvid::validate {

namespace {

std::wstring Take(BSTR text) {
    std::wstring value = Quoted(text);
    SysFreeString(text);
    return value;
}

// The thread's error information, taken off the thread; empty when
// `failing` does not give it for `called`, with the reason in `none`.
IErrorInfo* TakeErrorInfo(IUnknown* failing, const IID* called, std::wstring* none) {
    IErrorInfo* error = nullptr;
    if (GetErrorInfo(0, &error) != S_OK) error = nullptr;
    if (!failing || !called) return error;
    ISupportErrorInfo* support = nullptr;
    HRESULT supported = failing->QueryInterface(IID_PPV_ARGS(&support));
    if (SUCCEEDED(supported) && support) {
        supported = support->InterfaceSupportsErrorInfo(*called);
        support->Release();
        if (supported != S_OK)
            *none = L" (the object's ISupportErrorInfo: none for this interface)";
    } else {
        *none = L" (the object answers no ISupportErrorInfo)";
    }
    if (supported == S_OK) return error;
    if (error) error->Release();
    return nullptr;
}

}  // namespace

FailureInfo DescribeFailure(IUnknown* failing, const IID* called) {
    FailureInfo info;
    std::wstring none;
    IErrorInfo* error = TakeErrorInfo(failing, called, &none);
    std::wstring errorInfo = L"no IErrorInfo" + none;
    if (error) {
        BSTR source = nullptr, description = nullptr;
        error->GetSource(&source);
        error->GetDescription(&description);
        errorInfo = L"IErrorInfo: source " + Take(source) + L", description " + Take(description);
        error->Release();
    }
    ECapeRoot* root = nullptr;
    if (failing && SUCCEEDED(failing->QueryInterface(IID_PPV_ARGS(&root)))) {
        BSTR name = nullptr;
        root->get_name(&name);
        info.lines.push_back(L"ECapeRoot name " + Take(name));
        root->Release();
        info.capeOpen = true;
    }
    ECapeUser* user = nullptr;
    if (failing && SUCCEEDED(failing->QueryInterface(IID_PPV_ARGS(&user)))) {
        LONG code = 0;
        BSTR description = nullptr, scope = nullptr, face = nullptr, operation = nullptr,
             more = nullptr;
        user->get_code(&code);
        user->get_description(&description);
        user->get_scope(&scope);
        user->get_interfaceName(&face);
        user->get_operation(&operation);
        user->get_moreInfo(&more);
        info.lines.push_back(L"ECapeUser code " + std::to_wstring(code) + L", description " +
                             Take(description) + L", scope " + Take(scope) + L", interface " +
                             Take(face) + L", operation " + Take(operation) + L", moreInfo " +
                             Take(more));
        user->Release();
        info.capeOpen = true;
    }
    if (failing && !info.capeOpen)
        info.lines.push_back(L"no CAPE-OPEN error information (ECapeRoot, ECapeUser)");
    info.lines.push_back(errorInfo);
    return info;
}

}  // namespace korvid::validate
