#include "tools/validate/junit.h"

#include "tools/validate/output.h"

namespace korvid::validate {

namespace {

// Text and attribute values: the five markup characters escaped; characters
// XML 1.0 does not allow (controls, lone surrogates) become U+FFFD.
std::wstring Escaped(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t k = 0; k < text.size(); ++k) {
        const wchar_t ch = text[k];
        const bool high = ch >= 0xD800 && ch <= 0xDBFF, low = ch >= 0xDC00 && ch <= 0xDFFF;
        if (high && k + 1 < text.size() && text[k + 1] >= 0xDC00 && text[k + 1] <= 0xDFFF) {
            out += ch;
            out += text[++k];
        } else if (ch == L'&') {
            out += L"&amp;";
        } else if (ch == L'<') {
            out += L"&lt;";
        } else if (ch == L'>') {
            out += L"&gt;";
        } else if (ch == L'"') {
            out += L"&quot;";
        } else if ((ch < 0x20 && ch != L'\t' && ch != L'\n' && ch != L'\r') || high || low ||
                   ch == 0xFFFE || ch == 0xFFFF) {
            out += L'\xFFFD';
        } else {
            out += ch;
        }
    }
    return out;
}

std::wstring Attribute(const wchar_t* name, const std::wstring& value) {
    return std::wstring(L" ") + name + L"=\"" + Escaped(value) + L"\"";
}

}  // namespace

JUnitCase& CaseOf(JUnitSuite& suite, const std::wstring& name) {
    for (JUnitCase& one : suite.cases)
        if (one.name == name) return one;
    suite.cases.push_back({name, {}, {}, {}});
    return suite.cases.back();
}

bool WriteJUnit(const std::wstring& path, const std::vector<JUnitSuite>& suites) {
    std::wstring xml = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites>\n";
    for (const JUnitSuite& suite : suites) {
        size_t failures = 0, errors = 0;
        for (const JUnitCase& one : suite.cases) {
            failures += !one.failures.empty();
            errors += !one.error.empty();
        }
        xml += L"  <testsuite" + Attribute(L"name", suite.name) +
               Attribute(L"tests", std::to_wstring(suite.cases.size())) +
               Attribute(L"failures", std::to_wstring(failures)) +
               Attribute(L"errors", std::to_wstring(errors)) + L">\n";
        for (const JUnitCase& one : suite.cases) {
            xml += L"    <testcase" + Attribute(L"name", one.name) +
                   Attribute(L"classname", suite.name) + L">\n";
            for (const JUnitCase::Failure& failure : one.failures)
                xml += L"      <failure" + Attribute(L"message", failure.text) +
                       Attribute(L"type", failure.type) + L">" + Escaped(failure.text) +
                       L"</failure>\n";
            if (!one.error.empty())
                xml += L"      <error" + Attribute(L"message", one.error) + L"/>\n";
            xml += L"      <system-out>" + Escaped(one.out) + L"</system-out>\n";
            xml += L"    </testcase>\n";
        }
        xml += L"  </testsuite>\n";
    }
    xml += L"</testsuites>\n";
    return WriteUtf8File(path, xml);
}

}  // namespace korvid::validate
