// The flash drum's ICapeUnitReport: two reports a host lists, selects and
// produces. "Summary" (the default) holds the unit's name and parameter
// values, "Streams" each port and whether it is connected.
#include <cwchar>

#include "KorvidSampleUnit_h.h"
#include "tools/sample_unit/flash_drum.h"
#include "tools/sample_unit/port.h"
#include "tools/sample_unit/real_parameter.h"

namespace korvid::sample_unit {

namespace {

constexpr const wchar_t* kReports[] = {L"Summary", L"Streams"};

}  // namespace

HRESULT FlashDrum::Report::get_reports(VARIANT* reports) {
    if (!reports) return E_POINTER;
    VariantInit(reports);
    return Run(L"get_reports", [&] {
        SAFEARRAY* names = SafeArrayCreateVector(VT_BSTR, 0, std::size(kReports));
        if (!names) Fail(CapeErrorKind::Unknown, L"Out of memory.");
        for (LONG k = 0; k < static_cast<LONG>(std::size(kReports)); ++k) {
            BSTR name = SysAllocString(kReports[k]);
            const HRESULT hr = name ? SafeArrayPutElement(names, &k, name) : E_OUTOFMEMORY;
            SysFreeString(name);
            if (FAILED(hr)) {
                SafeArrayDestroy(names);
                Fail(CapeErrorKind::Unknown, L"Out of memory.");
            }
        }
        reports->vt = VT_ARRAY | VT_BSTR;
        reports->parray = names;
    });
}

HRESULT FlashDrum::Report::get_selectedReport(BSTR* report) {
    return Out(L"get_selectedReport", report, [&] { return AllocText(Self().selectedReport_); });
}

HRESULT FlashDrum::Report::put_selectedReport(BSTR report) {
    return Run(L"put_selectedReport", [&] {
        const std::wstring name = report ? report : L"";
        for (const wchar_t* known : kReports)
            if (name == known) return static_cast<void>(Self().selectedReport_ = name);
        Fail(CapeErrorKind::InvalidArgument,
             L"The flash drum has no report \"" + name + L"\": Summary or Streams.");
    });
}

HRESULT FlashDrum::Report::ProduceReport(BSTR* message) {
    if (!message) return E_POINTER;
    return Run(L"ProduceReport", [&] {
        FlashDrum& drum = Self();
        drum.NeedInitialized(L"ProduceReport");
        std::wstring text;
        if (drum.selectedReport_ == L"Streams") {
            if (drum.state_->fault == Fault::ReportFails)
                Fail(CapeErrorKind::Unknown, L"The Streams report fails (the report-fails fault).");
            for (size_t k = 0; k < drum.ports_->Size(); ++k)
                text += drum.PortAt(k).Name() +
                        (drum.PortAt(k).Connected() ? L": connected\r\n" : L": not connected\r\n");
        } else {
            text = drum.Name() + L"\r\n";
            for (size_t k = 0; k < drum.parameters_->Size(); ++k) {
                wchar_t value[32];
                std::swprintf(value, std::size(value), L"%.10g", drum.ParameterAt(k).Value());
                text += drum.ParameterAt(k).Name() + L" = " + value + L"\r\n";
            }
        }
        SetText(message, text);
    });
}

}  // namespace korvid::sample_unit
