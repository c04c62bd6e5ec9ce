#include "tests/unit/call_script.h"

#include <deque>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>

#include "automation/variant.h"
#include "com_server/tessel_object.h"
#include "material_object/new_tessel.h"
#include "component_definition/trace_report.h"
#include "thermo_material/material.h"
#include "tests/support/allocation_spy.h"
#include "tests/unit/form_actions.h"
#include "tools/fuzz/arguments.h"
#include "tools/soak/process_memory.h"

namespace korvid::testing {
namespace {

std::vector<component_definition::ComponentRecord> ThreeComponents() {
    component_definition::ComponentRecord methane{
        L"Methane", L"74-82-8", L"Alkane", L"CH4",    111.66,        45.99, 190.56, 0.0115, 16.043,
        73.2,       19.251,     0.05213,   0.0000119, -0.0000000113, 0,     -74.52, 0.4224};
    component_definition::ComponentRecord ethane{
        L"Ethane", L"74-84-0", L"Alkane", L"C2H6",     184.55,         48.72, 305.32, 0.0995, 30.07,
        110.8,     5.409,      0.1781,    -0.00006938, 0.000000008713, 0,     -83.82, 0.5446};
    component_definition::ComponentRecord water{
        L"Water",   L"7732-18-5",    L"Other", L"H2O",  373.15, 220.64,
        647.1,      0.3449,          18.015,   52.0,    32.24,  0.001924,
        0.00001055, -0.000000003596, 0,        -285.83, 0.9970};
    std::vector<component_definition::ComponentRecord> table{methane, ethane, water};
    for (auto& record : table) record.given = (1u << component_definition::kRecordFields) - 1;
    return table;
}

std::string Utf8(std::wstring_view text) {
    std::string out(text.size() * 3, '\0');
    out.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                   out.data(), static_cast<int>(out.size()), nullptr, nullptr));
    return out;
}

std::wstring Wide(std::string_view text) {
    std::wstring out(text.size(), L'\0');
    out.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                   out.data(), static_cast<int>(out.size())));
    return out;
}

// Line ends inside a text shown on one transcript line.
std::wstring Visible(std::wstring_view text) {
    std::wstring out(text);
    for (size_t k = 0; (k = out.find_first_of(L"\r\n", k)) != std::wstring::npos; k += 2) {
        out.replace(k, 1, out[k] == L'\r' ? L"\\r" : L"\\n");
    }
    return out;
}

const std::map<std::wstring, VARTYPE> kElementTypes = {
    {L"r8", VT_R8},     {L"r4", VT_R4},    {L"i2", VT_I2},       {L"i4", VT_I4},
    {L"bool", VT_BOOL}, {L"str", VT_BSTR}, {L"var", VT_VARIANT}, {L"", VT_VARIANT}};

// Tokens: quoted texts whole (lit"..." too), "&", "r8[" and "]@1" apart.
std::vector<std::wstring> Tokens(const std::wstring& line) {
    static const std::wregex token(
        LR"re((?:lit)?"[^"]*"|&|\][^\s\[\]]*|[^\s\[\]"&]*\[|[^\s\[\]"&]+)re");
    std::vector<std::wstring> tokens;
    for (std::wsregex_iterator m(line.begin(), line.end(), token), end; m != end; ++m) {
        tokens.push_back(m->str());
    }
    return tokens;
}

class Runner {
public:
    // Queues the next form: OK with `report` (empty: reporting off), or
    // closed without OK when there is none.
    using QueueForm = std::function<void(std::optional<std::wstring> report, bool cas)>;
    Runner(platform::ScriptedPlatform& platform, component_definition::Module1State& module,
           const AllocationSpy& spy, QueueForm queueForm)
        : platform_(platform), module_(module), spy_(spy), queueForm_(std::move(queueForm)) {}
    ~Runner() { ReleaseAll(); }

    void Line(const std::wstring& line) {
        out_ << L"> " << line << L"\n";
        std::wistringstream words(line);
        std::wstring first, report, option;
        words >> first;
        if (first == L"new" || first == L"new11") {  // new11: a CAPE-OPEN 1.1 material
            words >> report >> option;
            queueForm_(report == L"-" ? L"" : report, option == L"cas");
            Release(0);
            objects_.resize(std::max<size_t>(objects_.size(), 1));
            objects_[0] = first == L"new" ? material_object::NewTesselDispatch()
                                          : thermo_material::NewMaterialDispatch(nullptr);
        } else if (first == L"form") {
            words >> report;
            queueForm_(report.empty() ? std::nullopt : std::optional(report), false);
        } else if (first == L"env") {  // env NAME [value]: set, or unset without a value
            std::wstring name, value;
            std::getline(words >> name >> std::ws, value);
            platform_.environment.erase(name);
            if (!value.empty()) platform_.environment[name] = value;
        } else if (first == L"create") {  // from the class factory: numbered as results are
            Create();
        } else if (first == L"components") {
            words >> module_.g_numComponents;
        } else if (first == L"repeat") {  // repeat n call: what n calls leave in memory
            size_t times = 0;
            words >> times;
            const std::wstring call = line.substr(line.find(L' ', 7) + 1);
            SIZE_T before = 0;
            for (size_t n = 0; n < times; ++n) {
                if (n == times / 10) before = tools::CommittedPrivate();  // after a warm-up
                Captured([&] { Call(call); });
            }
            const bool grew = tools::CommittedPrivate() > before + 1048576;
            out_ << (grew ? L"  memory grew by more than 1 MiB\n" : L"  memory kept\n");
        } else if (first == L"both") {  // both ways through IDispatch give the same
            // Texts as texts: SetProp and GetProp take the short way; the property
            // as a text by reference: the type library's way.
            const std::wstring call = line.substr(5);
            std::wstring general = call;
            general.insert(general.find(L" \"") + 1, L"&&");
            const std::wstring shortWay = Captured([&] { Call(call); });
            const std::wstring libraryWay = Captured([&] { Call(general, false); });
            out_ << libraryWay
                 << (libraryWay == shortWay ? L"  (the same the short way)\n"
                                            : L"  the short way gave:\n" + shortWay);
        } else if (!form_.Run(Tokens(line), out_)) {  // a form action, else a call
            try {
                Call(line);
            } catch (const std::exception& e) {
                ADD_FAILURE() << "cannot run " << Utf8(line) << ": " << e.what();
            }
        }
        Observe();
    }

    void Comment(const std::wstring& line) { out_ << line << L"\n"; }

    std::wstring Finish(size_t liveAtStart) {
        ReleaseAll();
        Observe();
        SetErrorInfo(0, nullptr);
        if (spy_.Live() != liveAtStart) {
            out_ << L"task-allocator blocks left at the end: " << spy_.Live() - liveAtStart
                 << L"\n";
        }
        return out_.str();
    }

private:
    template <typename Body>
    std::wstring Captured(Body&& body) {
        std::wostringstream captured;
        out_.swap(captured);
        body();
        out_.swap(captured);
        return captured.str();
    }

    // One argument from tokens[k...]; k moves past it.
    VARIANT Value(const std::vector<std::wstring>& tokens, size_t& k) {
        const std::wstring& t = tokens.at(k++);
        VARIANT v;
        VariantInit(&v);
        if (t == L"&") {  // by reference: `&` to a variant, `&&` to the value's own type
            const bool exact = tokens.at(k) == L"&";
            k += exact;
            VARIANT* target = held_.emplace_back(std::make_unique<com::Variant>())->get();
            *target = Value(tokens, k);
            v.vt = VT_BYREF | (exact ? target->vt : static_cast<VARTYPE>(VT_VARIANT));
            v.byref = exact ? static_cast<void*>(&target->lVal) : target;
        } else if (t.back() == L'[') {
            const VARTYPE vt = kElementTypes.at(t.substr(0, t.size() - 1));
            std::vector<VARIANT> items;
            while (tokens.at(k)[0] != L']') items.push_back(Value(tokens, k));
            const std::wstring& close = tokens.at(k++);
            SAFEARRAYBOUND bound{static_cast<ULONG>(items.size()),
                                 close.size() > 2 ? std::stol(close.substr(2)) : 0};
            v.vt = VT_ARRAY | vt;
            v.parray = SafeArrayCreate(vt, 1, &bound);
            for (VARIANT& item : items) {
                LONG index = bound.lLbound + static_cast<LONG>(&item - items.data());
                if (vt != VT_VARIANT) VariantChangeTypeEx(&item, &item, 0x0409, 0, vt);
                SafeArrayPutElement(v.parray, &index,
                                    vt == VT_VARIANT ? static_cast<void*>(&item)
                                    : vt == VT_BSTR  ? static_cast<void*>(item.bstrVal)
                                                     : static_cast<void*>(&item.lVal));
                VariantClear(&item);
            }
        } else if (t[0] == L'@') {  // an object of the script
            v.vt = VT_DISPATCH;
            v.pdispVal = objects_.at(std::stoul(t.substr(1)));
            v.pdispVal->AddRef();
        } else if (t.rfind(L"lit\"", 0) == 0) {  // a literal where a BSTR belongs, by reference
            auto& text = literals_.emplace_back(std::vector<wchar_t>{0x7FFE, 0x7FFF});  // "prefix": 2 GB
            text.insert(text.end(), t.begin() + 4, t.end() - 1);
            text.push_back(L'\0');
            VARIANT& target = literalVariants_.emplace_back();
            target.vt = VT_BSTR;
            target.bstrVal = text.data() + 2;
            v.vt = VT_BYREF | VT_VARIANT;
            v.pvarVal = &target;
        } else if (t[0] == L'"') {
            v.vt = VT_BSTR;
            v.bstrVal = SysAllocStringLen(t.data() + 1, static_cast<UINT>(t.size() - 2));
        } else if (t.rfind(L"never:", 0) == 0) {
            v.vt = VT_ARRAY | kElementTypes.at(t.substr(6));
        } else if (t == L"true" || t == L"false") {
            v.vt = VT_BOOL;
            v.boolVal = t == L"true" ? VARIANT_TRUE : VARIANT_FALSE;
        } else if (t == L"null" || t == L"missing") {
            v.vt = t == L"null" ? VT_NULL : VT_ERROR;
            v.scode = DISP_E_PARAMNOTFOUND;
        } else if (t != L"empty") {  // 12 long, 1.5 double, 1.5f single, 12s short
            const wchar_t suffix = t.back();
            const VARTYPE vt = suffix == L'f'   ? VT_R4
                               : suffix == L's' ? VT_I2
                               : t.find_first_of(L".eE") == std::wstring::npos && t.size() < 10
                                   ? VT_I4
                                   : VT_R8;
            v.vt = VT_BSTR;
            v.bstrVal =
                SysAllocString(t.substr(0, t.size() - (vt == VT_R4 || vt == VT_I2)).c_str());
            if (FAILED(VariantChangeTypeEx(&v, &v, 0x0409, 0, vt)))
                ADD_FAILURE() << "not a value: " << Utf8(t);
        }
        return v;
    }

    // A value as the script would write it; objects returned are numbered.
    std::wstring Show(const VARIANT& v) {
        const std::string text = fuzz::Describe(v, true, [this](IUnknown* object) {
            IDispatch* dispatch = nullptr;
            object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
            objects_.push_back(dispatch);
            return "object @" + std::to_string(objects_.size() - 1);
        });
        return std::wstring(text.begin(), text.end());
    }

    void Call(const std::wstring& line, bool showByRef = true) {
        const std::vector<std::wstring> tokens = Tokens(line);
        const size_t liveBefore = spy_.Live();
        size_t k = 0;
        IDispatch* object =
            objects_.at(tokens[k][0] == L'@' ? std::stoul(tokens[k++].substr(1)) : 0);
        const bool put = tokens[k] == L"put";
        std::wstring member = tokens[k += put];
        std::vector<VARIANT> args;
        for (++k; k < tokens.size();) args.insert(args.begin(), Value(tokens, k));  // last first
        DISPID id = DISPID_UNKNOWN, named = DISPID_PROPERTYPUT;
        LPOLESTR names[] = {member.data()};
        DISPPARAMS params{args.data(), put ? &named : nullptr, static_cast<UINT>(args.size()),
                          put ? 1u : 0u};
        VARIANT result;
        VariantInit(&result);
        EXCEPINFO excep{};
        UINT argErr = ~0u;
        HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (SUCCEEDED(hr)) {
            hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT,
                                put ? DISPATCH_PROPERTYPUT : DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                &params, put ? nullptr : &result, &excep, &argErr);
        }
        Observe();
        out_ << (FAILED(hr) ? L"! " : L"= ") << std::hex;
        if (hr == DISP_E_EXCEPTION) {
            out_ << static_cast<unsigned long>(excep.scode) << L" " << com::Text(excep.bstrSource)
                 << L" | " << Visible(com::Text(excep.bstrDescription));
            for (BSTR text : {excep.bstrSource, excep.bstrDescription, excep.bstrHelpFile})
                SysFreeString(text);
        } else if (FAILED(hr)) {
            out_ << static_cast<unsigned long>(hr) << std::dec;
            if (argErr != ~0u) out_ << L" argerr " << argErr;
        } else {
            out_ << Show(result);
        }
        const bool madeObject = result.vt == VT_DISPATCH && result.pdispVal;
        if (FAILED(hr) && result.vt != VT_EMPTY) out_ << L" (result left: " << Show(result) << L")";
        out_ << std::dec << L"\n";
        for (size_t n = 0; n < args.size(); ++n) {
            if (showByRef && args[n].vt & VT_BYREF)
                out_ << L"  " << args.size() - n << L": " << Show(args[n]) << L"\n";
            VariantClear(&args[n]);
        }
        VariantClear(&result);
        held_.clear();
        SetErrorInfo(0, nullptr);
        // A put may store what it is given, a new object holds its own lists.
        if (!put && !madeObject && spy_.Live() != liveBefore) {
            out_ << L"  task-allocator blocks left: " << spy_.Live() - liveBefore << L"\n";
        }
    }

    void Create() {
        objects_.resize(std::max<size_t>(objects_.size(), 1));  // @0 stays `new`'s
        VARIANT made;
        made.vt = VT_DISPATCH;
        const HRESULT hr =
            com::CreateTesselObject(IID_IDispatch, reinterpret_cast<void**>(&made.pdispVal));
        Observe();
        if (SUCCEEDED(hr)) {
            out_ << L"= " << Show(made) << L"\n";
            VariantClear(&made);
            return;
        }
        IErrorInfo* info = nullptr;
        BSTR source = nullptr, description = nullptr;
        if (GetErrorInfo(0, &info) == S_OK) {
            info->GetSource(&source);
            info->GetDescription(&description);
            info->Release();
        }
        out_ << L"! " << std::hex << static_cast<unsigned long>(hr) << std::dec << L" "
             << com::Text(source) << L" | " << com::Text(description) << L"\n";
        SysFreeString(source);
        SysFreeString(description);
    }

    // Report lines and message boxes since the last look.
    void Observe() {
        component_definition::TraceFlush();
        for (const auto& [path, text] : platform_.files) {
            if (path.find(L"\\CapeOpenValidationReports\\") == std::wstring::npos) continue;
            size_t& shown = shown_[path];
            if (text.size() > shown && path != lastReport_) {
                out_ << L"| file " << path.substr(path.rfind(L'\\') + 1) << L"\n";
                lastReport_ = path;
            }
            while (shown < text.size()) {
                const size_t end = std::min(text.find(L"\r\n", shown), text.size());
                out_ << L"| " << Visible(std::wstring_view(text).substr(shown, end - shown))
                     << L"\n";
                shown = std::min(text.size(), end + 2);
            }
        }
        for (; boxes_ < platform_.messages.size(); ++boxes_) {
            const auto& box = platform_.messages[boxes_];
            out_ << (box.mode == platform::MessageMode::Modal ? L"box " : L"unattended box ")
                 << box.caption << L": " << Visible(box.text) << L"\n";
        }
    }

    void Release(size_t n) {
        if (n >= objects_.size() || !objects_[n]) return;
        objects_[n]->Release();
        objects_[n] = nullptr;
    }
    void ReleaseAll() {
        for (size_t n = objects_.size(); n-- > 0;) Release(n);
    }

    platform::ScriptedPlatform& platform_;
    component_definition::Module1State& module_;
    const AllocationSpy& spy_;
    QueueForm queueForm_;
    FormActions form_{platform_, module_};
    std::vector<IDispatch*> objects_;
    std::vector<std::unique_ptr<com::Variant>> held_;
    // Literals and the variants that point to them: never cleared.
    std::deque<std::vector<wchar_t>> literals_;
    std::deque<VARIANT> literalVariants_;
    std::map<std::wstring, size_t> shown_;
    std::wstring lastReport_;
    size_t boxes_ = 0;
    std::wostringstream out_;
};

}  // namespace

CallScriptTest::~CallScriptTest() {
    component_definition::TraceFlush();
    module_.Clear();
}

void CallScriptTest::RunScript(const char* name) {
    const auto start = [this] {
        module_.Clear();
        module_.g_components = ThreeComponents();
        module_.g_components.resize(21);
        module_.g_numComponents = 3;
    };
    // One spy for the process: COM keeps it while blocks it saw are alive (the
    // type library's caches live as long as the process).
    static AllocationSpy spy;
    static const HRESULT registered = (DisableBstrCache(), CoRegisterMallocSpy(&spy));
    ASSERT_EQ(registered, S_OK);
    // A form filled in row 1 and closed: by OK with the report name and id
    // option, or without OK.
    Runner::QueueForm queueForm = [this](std::optional<std::wstring> report, bool cas) {
        platform_.formScripts.push_back([=](auto& state, auto& handler, auto& window) {
            const auto& table = module_.g_components;
            state.grid.SetTextMatrix(1, 0, !report ? L"a" : table.empty() ? L"x" : table[0].name);
            state.grid.SetTextMatrix(1, 1, !report ? L"b" : table.empty() ? L"x" : table[0].cas);
            if (!report) {
                EXPECT_TRUE(handler.OnCloseRequest(window));
                return;
            }
            if (!report->empty()) handler.OnReportNameChange(window, *report);
            handler.OnOptionClick(window, !cas);
            handler.OnOkClick(window);
            EXPECT_TRUE(state.closed) << "the form stayed open";
        });
    };
    static const size_t liveAtStart = [&] {  // the type library loads and caches once
        start();
        Runner warmUp(platform_, module_, spy, queueForm);
        for (const wchar_t* line :
             {L"new", L"ComponentName", L"GetProp \"x\" \"\" empty \"\" \"\""}) {
            warmUp.Line(line);
        }
        warmUp.Finish(0);
        return spy.Live();
    }();
    start();  // the same start, whether the warm-up ran in this test or not
    const std::string path =
        std::string("Z:" KORVID_SOURCE_DIR "/tests/data/calls/") + name + ".txt";
    std::ifstream file(path, std::ios::binary);
    const std::string expected{std::istreambuf_iterator<char>(file), {}};
    ASSERT_FALSE(expected.empty()) << "no calls in " << path;
    std::string actual;
    {
        Runner runner(platform_, module_, spy, queueForm);
        std::istringstream lines(expected);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("> ", 0) == 0) runner.Line(Wide(line.substr(2)));
            if (line.rfind("#", 0) == 0) runner.Comment(Wide(line));
        }
        actual = Utf8(runner.Finish(liveAtStart));
    }
    if (getenv("KORVID_UPDATE_EXPECTED")) {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    if (actual == expected) return;
    std::ofstream(std::string(name) + ".actual.txt", std::ios::binary) << actual;
    std::istringstream a(actual), e(expected);
    std::string lineA, lineE;
    int number = 1;
    while (std::getline(a, lineA) && std::getline(e, lineE) && lineA == lineE) ++number;
    ADD_FAILURE() << name << ": the transcript differs from " << path << " at line " << number
                  << "\n  expected: " << lineE << "\n  actual:   " << lineA << "\n(all of it in "
                  << name << ".actual.txt in the test's folder)";
}

}  // namespace korvid::testing
