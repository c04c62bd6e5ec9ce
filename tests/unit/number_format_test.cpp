// The fast general number format gives exactly OLE Automation's VarBstrFromR8
// text, in a point and a comma locale.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/number_format.h"

namespace korvid::testing {
namespace {

using platform::FormatGeneralNumber;

double FromBits(uint64_t bits) {
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// VarBstrFromR8's text as Windows gives it: Wine keeps a "." in the exponent
// form ("1.19E-05" in a German locale) where Windows writes the locale's
// separator ("1,19E-05").
std::wstring Reference(double value, LCID lcid, const std::wstring& separator) {
    BSTR text = nullptr;
    if (FAILED(VarBstrFromR8(value, lcid, 0, &text))) return L"<failed>";
    std::wstring result(text, SysStringLen(text));
    SysFreeString(text);
    const size_t point = result.find(L'.');
    if (result.find(L'E') != std::wstring::npos && point != std::wstring::npos) {
        result.replace(point, 1, separator);
    }
    return result;
}

// Powers of ten and their neighbours (the switch points of the exponent
// form), exact 16-digit ties, short decimals, random bit patterns and
// everyday values.
std::vector<double> ComparisonValues() {
    std::vector<double> values = {0.0,
                                  -0.0,
                                  999999999999999.5,
                                  100000000000000.5,
                                  -100000000000002.5,
                                  12345678901234.25,
                                  0.1234567890123445};
    std::mt19937_64 random(20240611);
    for (int e = -325; e <= 308; ++e) {
        const double p = std::pow(10.0, e);
        values.insert(values.end(), {p, std::nextafter(p, 0.0), std::nextafter(p, HUGE_VAL),
                                     -p * (1 - 5e-16), p * (1 - 5e-15)});
    }
    for (int p = 0; p <= 12; ++p) {
        const uint64_t five = static_cast<uint64_t>(std::pow(5.0, p));
        const uint64_t low = 1000000000000000ULL / five + 1, high = 9999999999999999ULL / five;
        for (int sample = 0; sample < 40; ++sample) {
            const double tie =
                std::ldexp(static_cast<double>((low + random() % (high - low)) | 1), -p);
            values.insert(values.end(),
                          {tie, -tie, std::nextafter(tie, HUGE_VAL), std::nextafter(tie, 0.0)});
        }
    }
    // Values with a short decimal form, from one to 22 decimals.
    for (int p = 1; p <= 22; ++p) {
        for (int sample = 0; sample < 200; ++sample) {
            const double digits = static_cast<double>(random() % 1000000000000000ULL >> (sample % 40));
            values.push_back(digits / std::pow(10.0, p));
        }
    }
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> scale(-8, 17);
    for (int sample = 0; sample < 6000; ++sample) {
        const double v = mantissa(random) * std::pow(10.0, scale(random));
        values.insert(values.end(), {FromBits(random()), v, std::round(v * 1000) / 1000});
    }
    return values;
}

TEST(GeneralNumberFormat, GivesExactlyTheTextOfVarBstrFromR8) {
    const std::vector<double> values = ComparisonValues();
    for (auto [lcid, separator] : {std::pair{0x0409u, L"."}, std::pair{0x0407u, L","}}) {
        int mismatches = 0;
        for (double value : values) {
            const std::wstring expected = Reference(value, lcid, separator);
            const std::wstring actual = FormatGeneralNumber(value, separator);
            if (actual != expected && ++mismatches <= 20) {
                ADD_FAILURE() << "lcid " << std::hex << lcid << ": " << value << " expected "
                              << std::string(expected.begin(), expected.end()) << ", got "
                              << std::string(actual.begin(), actual.end());
            }
        }
        EXPECT_EQ(mismatches, 0) << "of " << values.size() << " values";
    }
    // What VarBstrFromR8 refuses: the texts of the runtime's own formatting.
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = HUGE_VAL;
    const std::pair<double, const wchar_t*> special[] = {
        {nan, L"NAN"}, {-nan, L"-NAN(IND)"}, {inf, L"INF"}, {-inf, L"-INF"}};
    for (const auto& [value, text] : special) EXPECT_EQ(FormatGeneralNumber(value, L"."), text);
}

}  // namespace
}  // namespace korvid::testing
