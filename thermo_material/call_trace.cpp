#include "thermo_material/call_trace.h"

#include <string>

#include "automation/com_error.h"
#include "automation/variant.h"
#include "platform/platform.h"

namespace korvid::thermo_material {

namespace {

using namespace std::string_view_literals;

void AppendValue(platform::TextBuffer& line, const VARIANT& value) {
    const VARIANT& held = com::Deref(value);
    if (held.vt == VT_EMPTY) {
        line.Append(L"(empty)"sv);
        return;
    }
    try {
        com::AppendText(line, held, platform::CurrentPlatform().Lcid());
    } catch (const RaisedError&) {
        line.Append(L"(VARTYPE "sv);
        line.Append(std::to_wstring(held.vt));
        line.Append(L")"sv);
    }
}

// A whole number as std::to_wstring writes it, without making a string.
void AppendWhole(platform::TextBuffer& line, long long value) {
    wchar_t digits[24];
    wchar_t* start = digits + 24;
    unsigned long long rest = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                        : static_cast<unsigned long long>(value);
    do {
        *--start = static_cast<wchar_t>(L'0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (value < 0) *--start = L'-';
    line.Append({start, static_cast<size_t>(digits + 24 - start)});
}

// TAB label "[" index "]" TAB: the start of an element's line.
void BeginElement(platform::TextBuffer& line, std::wstring_view label, long long index) {
    line.Append(L"\t"sv);
    line.Append(label);
    line.Append(L"["sv);
    AppendWhole(line, index);
    line.Append(L"]\t"sv);
}

}  // namespace

CallTrace::CallTrace(std::wstring_view header, int32_t number)
    : lines_(component_definition::TraceLines::Active()) {
    if (!lines_) return;
    lines_->WriteHeader(header);
    platform::TextBuffer& line = lines_->Scratch();
    line.Append(L"\tObject\tMaterial "sv);
    AppendWhole(line, number);
    lines_->Write(line.View());
}

void CallTrace::Text(std::wstring_view label, std::wstring_view text) {
    if (lines_) lines_->Write({L"\t"sv, label, L"\t"sv, text});
}

void CallTrace::Number(std::wstring_view label, double value) {
    if (!lines_) return;
    platform::TextBuffer& line = lines_->Scratch();
    line.Append(L"\t"sv);
    line.Append(label);
    line.Append(L"\t"sv);
    platform::CurrentPlatform().AppendNumber(line, value);
    lines_->Write(line.View());
}

void CallTrace::Numbers(std::wstring_view label, const std::vector<double>& values) {
    if (!lines_) return;
    auto& platform = platform::CurrentPlatform();
    for (size_t k = 0; k < values.size(); ++k) {
        platform::TextBuffer& line = lines_->Scratch();
        BeginElement(line, label, static_cast<long long>(k));
        platform.AppendNumber(line, values[k]);
        lines_->Write(line.View());
    }
}

void CallTrace::Value(std::wstring_view label, const VARIANT& value) {
    if (!lines_) return;
    std::optional<com::ArrayArg> array;
    try {
        array = com::ArrayArg::Of(value);
    } catch (const RaisedError&) {
        Text(label, L"(array never dimensioned)"sv);
        return;
    }
    if (!array || array->Dims() != 1) {
        platform::TextBuffer& line = lines_->Scratch();
        line.Append(L"\t"sv);
        line.Append(label);
        line.Append(L"\t"sv);
        if (array) {
            line.Append(L"(array of "sv);
            AppendWhole(line, array->Dims());
            line.Append(L" dimensions)"sv);
        } else {
            AppendValue(line, value);
        }
        lines_->Write(line.View());
        return;
    }
    if (!array->HasElements()) Text(label, L"(no elements)"sv);
    const LCID lcid = platform::CurrentPlatform().Lcid();
    for (LONG k = array->Lower(); k <= array->Upper(); ++k) {
        platform::TextBuffer& line = lines_->Scratch();
        BeginElement(line, label, k);
        if (array->ElementType() == VT_R8 || array->ElementType() == VT_BSTR) {
            // Numbers and texts, as a compiled client passes them: read in
            // place rather than copied, and never refused.
            array->AppendElementText(line, k, lcid);
        } else if (array->ElementType() == VT_VARIANT && array->psa()->pvData) {
            // In place: a copy of an element that no VARIANT may hold fails.
            AppendValue(line,
                        static_cast<const VARIANT*>(array->psa()->pvData)[k - array->Lower()]);
        } else {
            AppendValue(line, *array->Element(k));
        }
        lines_->Write(line.View());
    }
}

void TraceError(std::wstring_view name, HRESULT hr, std::wstring_view description) {
    auto* lines = component_definition::TraceLines::Active();
    if (!lines) return;
    wchar_t code[16];
    swprintf(code, 16, L"%08lX", static_cast<unsigned long>(hr));
    lines->Write({L"\tError\t"sv, name, L"\t"sv, code, L"\t"sv, description});
}

}  // namespace korvid::thermo_material
