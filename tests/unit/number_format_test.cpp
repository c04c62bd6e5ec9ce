// The fast general number format against OLE Automation's own VarBstrFromR8.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/number_format.h"
#include "platform/scripted/scripted_platform.h"

namespace korvid::testing {
namespace {

using platform::FormatGeneralNumber;

double FromBits(uint64_t bits) {
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

uint64_t Bits(double value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::wstring Separator(LCID lcid) {
    wchar_t text[8] = L"";
    GetLocaleInfoW(lcid, LOCALE_SDECIMAL, text, 8);
    return text;
}

// VarBstrFromR8's text as Windows gives it. Wine keeps a "." in the
// exponent form ("1.19E-05" in a German locale) where Windows writes the
// locale's separator ("1,19E-05").
std::wstring Reference(double value, LCID lcid) {
    BSTR text = nullptr;
    if (FAILED(VarBstrFromR8(value, lcid, 0, &text))) return L"<failed>";
    std::wstring result(text, SysStringLen(text));
    SysFreeString(text);
    const size_t point = result.find(L'.');
    if (result.find(L'E') != std::wstring::npos && point != std::wstring::npos) {
        result.replace(point, 1, Separator(lcid));
    }
    return result;
}

TEST(GeneralNumberFormatTest, WritesTheMeasuredForms) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* what;
        double value;
        const wchar_t* dot;
        const wchar_t* comma;
    } cases[] = {
        {"zero", 0.0, L"0", L"0"},
        {"negative zero loses its sign", -0.0, L"0", L"0"},
        {"whole number", 101325.0, L"101325", L"101325"},
        {"decimal separator of the locale", -273.15, L"-273.15", L"-273,15"},
        {"15 significant digits", 1.0 / 3, L"0.333333333333333", L"0,333333333333333"},
        {"last digit rounded", 2.0 / 3, L"0.666666666666667", L"0,666666666666667"},
        {"binary noise rounded away", 0.30000000000000004, L"0.3", L"0,3"},
        {"largest plain whole number", 999999999999999.0, L"999999999999999", L"999999999999999"},
        {"1E+15 switches to the exponent", 1e15, L"1E+15", L"1E+15"},
        {"rounding up into the exponent form", 999999999999999.5, L"1E+15", L"1E+15"},
        {"16-digit whole number", 1234567890123455.0, L"1.23456789012346E+15",
         L"1,23456789012346E+15"},
        {"0.0001 stays plain", 1e-4, L"0.0001", L"0,0001"},
        {"1E-05 takes the exponent", 1e-5, L"1E-05", L"1E-05"},
        {"exponent form in the locale", -1.2345e-5, L"-1.2345E-05", L"-1,2345E-05"},
        {"rounding up out of the exponent form", 9.9999999999999995e-5, L"0.0001", L"0,0001"},
        {"three-digit exponent", 1.5e300, L"1.5E+300", L"1,5E+300"},
        {"tie goes away from zero", 100000000000000.5, L"100000000000001", L"100000000000001"},
        {"negative tie", -100000000000002.5, L"-100000000000003", L"-100000000000003"},
        {"tie in the fraction", 12345678901234.25, L"12345678901234.3", L"12345678901234,3"},
        {"near tie below", 0.1234567890123445, L"0.123456789012344", L"0,123456789012344"},
        {"smallest subnormal", 4.9406564584124654e-324, L"4.94065645841247E-324",
         L"4,94065645841247E-324"},
        {"largest double", 1.7976931348623157e308, L"1.79769313486232E+308",
         L"1,79769313486232E+308"},
        {"NaN", nan, L"NAN", L"NAN"},
        {"NaN with its sign bit", -nan, L"-NAN(IND)", L"-NAN(IND)"},
        {"infinity", inf, L"INF", L"INF"},
        {"negative infinity", -inf, L"-INF", L"-INF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatGeneralNumber(c.value, L"."), c.dot) << c.what;
        EXPECT_EQ(FormatGeneralNumber(c.value, L","), c.comma) << c.what;
    }
}

// Values where the format is easy to get wrong, then random ones over the
// whole range of doubles.
std::vector<double> ComparisonValues() {
    std::vector<double> values;
    std::mt19937_64 random(20240611);

    // Whole numbers, negatives and their neighbours.
    for (int64_t n : {0LL, 1LL, 7LL, 10LL, 99LL, 12345LL, 999999LL, 123456789012345LL,
                      999999999999999LL, 1000000000000000LL, 9007199254740991LL}) {
        for (double v : {static_cast<double>(n), -static_cast<double>(n)}) {
            values.push_back(v);
            values.push_back(std::nextafter(v, HUGE_VAL));
            values.push_back(std::nextafter(v, -HUGE_VAL));
        }
    }
    // Around the switch points of the exponent form, and every power of ten.
    for (int e = -325; e <= 308; ++e) {
        const double p = std::pow(10.0, e);
        double v = p;
        for (int step = 0; step < 3; ++step) v = std::nextafter(v, HUGE_VAL);
        values.push_back(v);
        v = p;
        for (int step = 0; step < 3; ++step) {
            values.push_back(v);
            v = std::nextafter(v, 0.0);
        }
        values.push_back(p * (1 - 5e-16));
        values.push_back(p * (1 - 5e-15));
        values.push_back(-p * 0.99999999999999950);
    }
    // Exact ties: N / 2^p where N * 5^p has 16 digits, so the value has
    // exactly 16 significant digits ending in 5; and their nearest neighbours.
    for (int p = 0; p <= 12; ++p) {
        uint64_t five = 1;
        for (int k = 0; k < p; ++k) five *= 5;
        for (int sample = 0; sample < 40; ++sample) {
            const uint64_t low = 1000000000000000ULL / five + 1;
            const uint64_t high = 9999999999999999ULL / five;
            uint64_t m = low + random() % (high - low);
            m |= 1;
            const double tie = std::ldexp(static_cast<double>(m), -p);
            values.push_back(tie);
            values.push_back(-tie);
            values.push_back(std::nextafter(tie, HUGE_VAL));
            values.push_back(std::nextafter(tie, 0.0));
        }
    }
    // Near ties: 16-digit decimals ending in 5 at many scales, as parsed.
    std::uniform_int_distribution<int> exponent(-320, 300);
    for (int sample = 0; sample < 1500; ++sample) {
        const uint64_t digits = 100000000000000ULL + random() % 900000000000000ULL;
        const std::string text = std::to_string(digits) + "5e" + std::to_string(exponent(random));
        values.push_back(std::strtod(text.c_str(), nullptr));
    }
    // Random bit patterns (all magnitudes, subnormals, NaNs, infinities).
    for (int sample = 0; sample < 6000; ++sample) values.push_back(FromBits(random()));
    for (int sample = 0; sample < 200; ++sample)
        values.push_back(FromBits(random() & 0x000FFFFFFFFFFFFFULL));
    // Random values of everyday size with a few decimals.
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> scale(-8, 17);
    for (int sample = 0; sample < 6000; ++sample) {
        const double v = mantissa(random) * std::pow(10.0, scale(random));
        values.push_back(v);
        values.push_back(std::round(v * 1000) / 1000);
    }
    for (uint64_t bits : {0x7FF0000000000000ULL, 0xFFF0000000000000ULL, 0x7FF8000000000000ULL,
                          0xFFF8000000000000ULL, 0x7FF0000000000001ULL, 0xFFFFFFFFFFFFFFFFULL,
                          0x0000000000000001ULL, 0x000FFFFFFFFFFFFFULL, 0x0010000000000000ULL,
                          0x8000000000000000ULL}) {
        values.push_back(FromBits(bits));
    }
    return values;
}

TEST(GeneralNumberFormatTest, GivesExactlyTheTextOfVarBstrFromR8) {
    const std::vector<double> values = ComparisonValues();
    for (LCID lcid : {LCID{0x0409}, LCID{0x0407}}) {
        const std::wstring separator = Separator(lcid);
        ASSERT_EQ(separator, lcid == 0x0407 ? L"," : L".");
        int mismatches = 0;
        for (double value : values) {
            const std::wstring expected = Reference(value, lcid);
            const std::wstring actual = FormatGeneralNumber(value, separator);
            if (actual != expected && ++mismatches <= 20) {
                ADD_FAILURE() << "lcid " << std::hex << lcid << " bits " << Bits(value) << " ("
                              << value << "): expected "
                              << std::string(expected.begin(), expected.end()) << ", got "
                              << std::string(actual.begin(), actual.end());
            }
        }
        EXPECT_EQ(mismatches, 0) << "of " << values.size() << " values";
    }
}

TEST(GeneralNumberFormatTest, TheScriptedPlatformFormatsWithItsLocale) {
    struct Case {
        uint32_t lcid;
        double value;
        const wchar_t* expected;
    } cases[] = {
        {0x0409, 0.5, L"0.5"},
        {0x0407, 0.5, L"0,5"},
        {0x0407, 1e-7, L"1E-07"},
    };
    for (const Case& c : cases) {
        platform::ScriptedPlatform scripted(c.lcid);
        EXPECT_EQ(scripted.FormatNumber(c.value), c.expected) << std::hex << c.lcid;
    }
}

}  // namespace
}  // namespace korvid::testing
