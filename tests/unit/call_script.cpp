#include "tests/unit/call_script.h"

#include <cstdio>
#include <cwctype>
#include <map>
#include <sstream>

#include "material_object/new_tessel.h"
#include "material_object/trace_report.h"
#include "tests/support/allocation_spy.h"

namespace korvid::testing {
namespace {

std::string Utf8(std::wstring_view text) {
    std::string out(text.size() * 3, '\0');
    out.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                   out.data(), static_cast<int>(out.size()), nullptr, nullptr));
    return out;
}

// Line ends inside a text shown on one transcript line.
std::wstring Visible(std::wstring_view text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\r') out += L"\\r";
        else if (c == L'\n') out += L"\\n";
        else out += c;
    }
    return out;
}

std::wstring Number(double value) {
    wchar_t text[40];
    swprintf(text, 40, L"%.15g", value);
    if (wcstod(text, nullptr) != value) swprintf(text, 40, L"%.17g", value);
    return text;
}

const std::map<std::wstring, VARTYPE> kElementTypes = {
    {L"r8", VT_R8}, {L"r4", VT_R4}, {L"i2", VT_I2}, {L"i4", VT_I4}, {L"bool", VT_BOOL},
    {L"str", VT_BSTR}, {L"var", VT_VARIANT}, {L"", VT_VARIANT}};

std::wstring TypeName(VARTYPE vt) {
    for (const auto& [name, type] : kElementTypes) {
        if (type == vt && !name.empty()) return name;
    }
    return L"vt" + std::to_wstring(vt);
}

class Runner {
public:
    Runner(platform::ScriptedPlatform& platform, component_definition::Module1State& module,
           const AllocationSpy& spy, std::function<void(const std::wstring&, bool)> queueForm)
        : platform_(platform), module_(module), spy_(spy), queueForm_(std::move(queueForm)) {}
    ~Runner() { ReleaseAll(); }

    void Line(std::wstring line) {
        out_ << L"> " << line << L"\n";
        std::wistringstream words(line);
        std::wstring first;
        words >> first;
        if (first == L"new" || first == L"form") {
            std::wstring report, option;
            words >> report >> option;
            if (first == L"form") {
                queueForm_(report.empty() ? L"-" : report, false);
                return;
            }
            queueForm_(report == L"-" ? L"" : report, option == L"cas");
            Release(0);
            objects_.resize(std::max<size_t>(objects_.size(), 1));
            objects_[0] = material_object::NewTesselDispatch();
        } else if (first == L"components") {
            words >> module_.g_numComponents;
        } else if (first == L"release") {
            Release(std::stoi(line.substr(line.find(L'@') + 1)));
        } else {
            try {
                Call(line);
            } catch (const std::exception& e) {
                ADD_FAILURE() << "cannot run " << Utf8(line) << ": " << e.what();
            }
        }
        Observe();
    }

    std::wstring Finish(size_t liveAtStart) {
        ReleaseAll();
        Observe();
        SetErrorInfo(0, nullptr);
        if (spy_.Live() != liveAtStart) {
            out_ << L"task-allocator blocks left at the end: " << spy_.Live() - liveAtStart << L"\n";
        }
        return out_.str();
    }

private:
    // Tokens: quoted texts whole, brackets apart.
    static std::vector<std::wstring> Tokens(const std::wstring& line) {
        std::vector<std::wstring> tokens;
        for (size_t k = 0; k < line.size();) {
            wchar_t c = line[k];
            if (iswspace(c)) {
                ++k;
            } else if (c == L'&') {
                tokens.push_back(L"&");
                ++k;
            } else if (c == L'"') {
                size_t end = line.find(L'"', k + 1);
                tokens.push_back(line.substr(k, end + 1 - k));
                k = end + 1;
            } else if (c == L']') {
                size_t end = line.find_first_of(L" \t[]", k + 1);
                tokens.push_back(line.substr(k, end == std::wstring::npos ? end : end - k));
                k = end == std::wstring::npos ? line.size() : end;
            } else {
                size_t end = line.find_first_of(L" \t[]\"", k);
                if (end == k) end = k + 1;  // '[' alone
                else if (end != std::wstring::npos && line[end] == L'[') ++end;  // "r8["
                tokens.push_back(line.substr(k, end == std::wstring::npos ? end : end - k));
                k = end == std::wstring::npos ? line.size() : end;
            }
        }
        return tokens;
    }

    static VARIANT Scalar(const std::wstring& token, VARTYPE vt) {
        com::Variant value = com::Variant::FromText(token);
        if (vt != VT_BSTR && FAILED(VariantChangeTypeEx(value.get(), value.get(), 0x0409, 0, vt))) {
            ADD_FAILURE() << "not a value: " << Utf8(token);
        }
        VARIANT out;
        value.DetachTo(&out);
        return out;
    }

    // One argument from tokens[k...]; k moves past it.
    VARIANT Value(const std::vector<std::wstring>& tokens, size_t& k) {
        const std::wstring& t = tokens.at(k++);
        VARIANT v;
        VariantInit(&v);
        if (t == L"&") {  // by reference: `&` to a variant, `&&` to the value's own type
            const bool exact = tokens.at(k) == L"&";
            k += exact;
            held_.push_back(std::make_unique<com::Variant>());
            VARIANT* target = held_.back()->get();
            *target = Value(tokens, k);
            v.vt = VT_BYREF | (exact ? target->vt : static_cast<VARTYPE>(VT_VARIANT));
            v.byref = exact ? static_cast<void*>(&target->lVal) : target;
            return v;
        }
        if (t.back() == L'[') {
            const VARTYPE vt = kElementTypes.at(t.substr(0, t.size() - 1));
            std::vector<VARIANT> items;
            while (tokens.at(k)[0] != L']') items.push_back(Value(tokens, k));
            const std::wstring close = tokens.at(k++);
            const LONG lower = close.size() > 2 ? std::stol(close.substr(2)) : 0;
            SAFEARRAYBOUND bound{static_cast<ULONG>(items.size()), lower};
            SAFEARRAY* array = SafeArrayCreate(vt, 1, &bound);
            for (LONG n = 0; n < static_cast<LONG>(items.size()); ++n) {
                LONG index = lower + n;
                VARIANT& item = items[n];
                if (vt != VT_VARIANT) VariantChangeTypeEx(&item, &item, 0x0409, 0, vt);
                void* data = vt == VT_VARIANT ? static_cast<void*>(&item)
                             : vt == VT_BSTR  ? static_cast<void*>(item.bstrVal)
                                              : static_cast<void*>(&item.lVal);
                SafeArrayPutElement(array, &index, data);
                VariantClear(&item);
            }
            v.vt = VT_ARRAY | vt;
            v.parray = array;
        } else if (t[0] == L'"') {
            return Scalar(t.substr(1, t.size() - 2), VT_BSTR);
        } else if (t.rfind(L"never:", 0) == 0) {
            v.vt = VT_ARRAY | kElementTypes.at(t.substr(6));
        } else if (t == L"true" || t == L"false") {
            v.vt = VT_BOOL;
            v.boolVal = t == L"true" ? VARIANT_TRUE : VARIANT_FALSE;
        } else if (t == L"null") {
            v.vt = VT_NULL;
        } else if (t == L"missing") {
            v.vt = VT_ERROR;
            v.scode = DISP_E_PARAMNOTFOUND;
        } else if (t == L"nothing" || t == L"me") {
            v.vt = VT_DISPATCH;
            v.pdispVal = t == L"me" ? objects_.at(0) : nullptr;
            if (v.pdispVal) v.pdispVal->AddRef();
        } else if (t != L"empty") {
            const wchar_t suffix = t.back();
            return suffix == L'f'   ? Scalar(t.substr(0, t.size() - 1), VT_R4)
                   : suffix == L's' ? Scalar(t.substr(0, t.size() - 1), VT_I2)
                   : Scalar(t, t.find_first_of(L".eE") == std::wstring::npos && t.size() < 10 ? VT_I4 : VT_R8);
        }
        return v;
    }

    std::wstring Show(const VARIANT& v) {
        if (v.vt == (VT_BYREF | VT_VARIANT)) return L"&" + Show(*v.pvarVal);
        if (v.vt & VT_BYREF) {
            VARIANT value;
            value.vt = v.vt & ~VT_BYREF;
            memcpy(&value.lVal, v.byref, value.vt & VT_ARRAY ? sizeof(SAFEARRAY*) : sizeof(double));
            return L"&&" + Show(value);
        }
        if (v.vt & VT_ARRAY) return ShowArray(v);
        switch (v.vt) {
            case VT_EMPTY: return L"empty";
            case VT_NULL: return L"null";
            case VT_BSTR: return L"\"" + Visible(com::Text(v.bstrVal)) + L"\"";
            case VT_R8: return Number(v.dblVal);
            case VT_R4: return L"r4 " + Number(v.fltVal);
            case VT_I2: return L"i2 " + std::to_wstring(v.iVal);
            case VT_I4: return std::to_wstring(v.lVal);
            case VT_BOOL: return v.boolVal == VARIANT_TRUE ? L"true" : v.boolVal ? L"bool?" : L"false";
            case VT_DISPATCH:
                if (!v.pdispVal) return L"nothing";
                v.pdispVal->AddRef();
                objects_.push_back(v.pdispVal);
                return L"object @" + std::to_wstring(objects_.size() - 1);
            default: return L"vt" + std::to_wstring(v.vt);
        }
    }

    std::wstring ShowArray(const VARIANT& v) {
        const VARTYPE vt = v.vt & VT_TYPEMASK;
        SAFEARRAY* array = v.parray;
        if (!array) return L"never:" + TypeName(vt);
        const UINT dims = SafeArrayGetDim(array);
        LONG lower[2] = {}, upper[2] = {};
        std::wstring out = TypeName(vt) + L"[";
        for (UINT d = 0; d < dims && d < 2; ++d) {
            SafeArrayGetLBound(array, d + 1, &lower[d]);
            SafeArrayGetUBound(array, d + 1, &upper[d]);
        }
        if (dims == 2) {
            out += std::to_wstring(upper[0] - lower[0] + 1) + L"x" +
                   std::to_wstring(upper[1] - lower[1] + 1) + L":";
        }
        const LONG rows = dims == 2 ? upper[0] - lower[0] + 1 : 1;
        for (LONG r = 0; r < rows; ++r) {
            for (LONG c = lower[dims - 1]; c <= upper[dims - 1]; ++c) {
                LONG index[2] = {dims == 2 ? lower[0] + r : c, c};
                VARIANT item;
                VariantInit(&item);
                if (vt == VT_VARIANT) SafeArrayGetElement(array, index, &item);
                else if (SUCCEEDED(SafeArrayGetElement(array, index, &item.lVal))) item.vt = vt;
                out += (out.back() == L'[' ? L"" : L" ") + Show(item);
                VariantClear(&item);
            }
        }
        out += L"]";
        if (dims == 1 && lower[0] != 0) out += L"@" + std::to_wstring(lower[0]);
        return out;
    }

    void Call(const std::wstring& line) {
        const size_t liveBefore = spy_.Live();
        std::vector<std::wstring> tokens = Tokens(line);
        size_t k = 0;
        size_t target = 0;
        if (tokens[k][0] == L'@') target = std::stoul(tokens[k++].substr(1));
        WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
        if (tokens[k] == L"put") {
            flags = DISPATCH_PROPERTYPUT;
            ++k;
        }
        std::wstring member = tokens[k++];
        std::vector<VARIANT> args;
        while (k < tokens.size()) args.insert(args.begin(), Value(tokens, k));  // last first
        IDispatch* object = objects_.at(target);
        DISPID id = DISPID_UNKNOWN;
        LPOLESTR names[] = {member.data()};
        HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params{args.data(), flags == DISPATCH_PROPERTYPUT ? &named : nullptr,
                          static_cast<UINT>(args.size()), flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
        VARIANT result;
        VariantInit(&result);
        EXCEPINFO excep{};
        UINT argErr = ~0u;
        if (SUCCEEDED(hr)) {
            hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                flags == DISPATCH_PROPERTYPUT ? nullptr : &result, &excep, &argErr);
        }
        Observe();
        if (hr == DISP_E_EXCEPTION) {
            out_ << L"! " << std::hex << static_cast<unsigned long>(excep.scode) << std::dec << L" "
                 << com::Text(excep.bstrSource) << L" | " << Visible(com::Text(excep.bstrDescription));
            SysFreeString(excep.bstrSource);
            SysFreeString(excep.bstrDescription);
            SysFreeString(excep.bstrHelpFile);
        } else if (FAILED(hr)) {
            out_ << L"! " << std::hex << static_cast<unsigned long>(hr) << std::dec;
            if (argErr != ~0u) out_ << L" argerr " << argErr;
        } else {
            out_ << L"= " << Show(result);
        }
        const bool madeObject = result.vt == VT_DISPATCH && result.pdispVal;
        if (FAILED(hr) && result.vt != VT_EMPTY) out_ << L" (result left: " << Show(result) << L")";
        out_ << L"\n";
        for (size_t n = 0; n < args.size(); ++n) {
            if (args[n].vt & VT_BYREF) out_ << L"  " << args.size() - n << L": " << Show(args[n]) << L"\n";
            VariantClear(&args[n]);
        }
        VariantClear(&result);
        held_.clear();
        SetErrorInfo(0, nullptr);
        // A put may store what it is given, a new object holds its own lists.
        if (flags != DISPATCH_PROPERTYPUT && !madeObject && spy_.Live() != liveBefore) {
            out_ << L"  task-allocator blocks left: " << spy_.Live() - liveBefore << L"\n";
        }
    }

    // Report lines and message boxes since the last look.
    void Observe() {
        material_object::TraceFlush();
        for (const auto& [path, text] : platform_.files) {
            if (path.find(L"\\CapeOpenValidationReports\\") == std::wstring::npos) continue;
            size_t& shown = shown_[path];
            if (text.size() > shown && path != lastReport_) {
                out_ << L"| file " << path.substr(path.rfind(L'\\') + 1) << L"\n";
                lastReport_ = path;
            }
            while (shown < text.size()) {
                size_t end = text.find(L"\r\n", shown);
                if (end == std::wstring::npos) end = text.size();
                out_ << L"| " << Visible(std::wstring_view(text).substr(shown, end - shown)) << L"\n";
                shown = std::min(text.size(), end + 2);
            }
        }
        for (; boxes_ < platform_.messages.size(); ++boxes_) {
            const auto& box = platform_.messages[boxes_];
            out_ << L"box " << box.caption << L": " << Visible(box.text) << L"\n";
        }
    }

    void Release(size_t n) {
        if (n < objects_.size() && objects_[n]) {
            objects_[n]->Release();
            objects_[n] = nullptr;
        }
    }
    void ReleaseAll() {
        for (size_t n = objects_.size(); n-- > 0;) Release(n);
    }

    platform::ScriptedPlatform& platform_;
    component_definition::Module1State& module_;
    const AllocationSpy& spy_;
    std::function<void(const std::wstring&, bool)> queueForm_;
    std::vector<IDispatch*> objects_;
    std::vector<std::unique_ptr<com::Variant>> held_;
    std::map<std::wstring, size_t> shown_;
    std::wstring lastReport_;
    size_t boxes_ = 0;
    std::wostringstream out_;
};

std::string ReadFile(const std::wstring& path) {
    std::string text;
    if (FILE* f = _wfopen(path.c_str(), L"rb")) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
        fclose(f);
    }
    return text;
}

void WriteFile(const std::wstring& path, const std::string& text) {
    FILE* f = _wfopen(path.c_str(), L"wb");
    ASSERT_TRUE(f) << "cannot write " << Utf8(path);
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

}  // namespace

void CallScriptTest::RunScript(const char* name, const char* script) {
    if (module_.g_numComponents == 0) DefineComponents(ThreeComponents());
    // One spy for the process: COM keeps it while blocks it saw are alive (the
    // type library's caches live as long as the process).
    static AllocationSpy spy;
    static const HRESULT registered = (DisableBstrCache(), CoRegisterMallocSpy(&spy));
    ASSERT_EQ(registered, S_OK);
    auto queueForm = [this](const std::wstring& report, bool cas) {
        if (report == L"-") {  // a nested form closed without OK
            platform_.formScripts.push_back([](auto& state, auto& handler, auto& window) {
                state.grid.SetTextMatrix(1, 0, L"a");
                state.grid.SetTextMatrix(1, 1, L"b");
                EXPECT_TRUE(handler.OnCloseRequest(window));
            });
        } else {
            QueueOkForm(report, cas);
        }
    };
    static const size_t liveAtStart = [&] {  // the type library loads and caches once
        Runner warmUp(platform_, module_, spy, queueForm);
        for (const wchar_t* line : {L"new", L"ComponentName", L"GetProp \"x\" \"\" empty \"\" \"\""}) {
            warmUp.Line(line);
        }
        warmUp.Finish(0);
        return spy.Live();
    }();
    std::wstring transcript;
    {
        Runner runner(platform_, module_, spy, queueForm);
        std::istringstream lines(script);
        for (std::string line; std::getline(lines, line);) {
            if (line.empty() || line[0] == '#') continue;
            runner.Line(std::wstring(line.begin(), line.end()));
        }
        transcript = runner.Finish(liveAtStart);
    }

    std::wstring path = L"Z:" KORVID_SOURCE_DIR L"/tests/data/expected/";
    for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
    path += std::wstring(name, name + strlen(name)) + L".txt";
    const std::string actual = Utf8(transcript);
    if (GetEnvironmentVariableW(L"KORVID_UPDATE_EXPECTED", nullptr, 0) != 0) {
        WriteFile(path, actual);
        return;
    }
    const std::string expected = ReadFile(path);
    if (actual == expected) return;
    const std::wstring copy = std::wstring(name, name + strlen(name)) + L".actual.txt";
    WriteFile(copy, actual);
    std::istringstream a(actual), e(expected);
    std::string lineA, lineE;
    int number = 1;
    while (std::getline(a, lineA) && std::getline(e, lineE) && lineA == lineE) ++number;
    ADD_FAILURE() << name << ": transcript differs from the expected one at line " << number
                  << "\n  expected: " << lineE << "\n  actual:   " << lineA
                  << "\n(the whole transcript is in " << Utf8(copy) << " in the test's folder)";
}

}  // namespace korvid::testing
