#include "platform/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace korvid::platform {

namespace {

constexpr int kSignificantDigits = 15;

// A positive decimal: digits[0].digits[1]... times ten to the power `exponent`.
struct Decimal {
    char digits[32];
    int count = 0;
    int exponent = 0;

    void DropTrailingZeros() {
        while (count > 1 && digits[count - 1] == '0') --count;
    }
};

// Reads to_chars' scientific output "d[.ddd]e+XX" with every digit kept.
Decimal ParseScientific(const char* first, const char* last) {
    Decimal d;
    const char* p = first;
    for (; p != last && *p != 'e'; ++p) {
        if (*p != '.') d.digits[d.count++] = *p;
    }
    ++p;  // 'e'
    const bool negative = *p++ == '-';
    int exponent = 0;
    for (; p != last; ++p) exponent = exponent * 10 + (*p - '0');
    d.exponent = negative ? -exponent : exponent;
    return d;
}

Decimal Scientific(double magnitude, int precision) {
    char buffer[48];
    auto result = precision < 0 ? std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                                std::chars_format::scientific)
                                : std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                                std::chars_format::scientific, precision);
    return ParseScientific(buffer, result.ptr);
}

// True when `magnitude` lies exactly halfway between two neighbours of 15
// significant digits whose first digit stands at 10^exponent. With
// magnitude = m * 2^e (m odd) and s = 14 - exponent, that is when
// magnitude * 10^s * 2 is an odd integer.
bool IsTie(double magnitude, int exponent) {
    uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    uint64_t m = bits & ((uint64_t{1} << 52) - 1);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    int e = -1074;
    if (biased != 0) {
        m |= uint64_t{1} << 52;
        e = biased - 1075;
    }
    if (m == 0) return false;
    while ((m & 1) == 0) {
        m >>= 1;
        ++e;
    }
    const int s = kSignificantDigits - 1 - exponent;
    if (s >= 0) return e + 1 + s == 0;  // m * 5^s is odd
    // m * 2^(e+1-t) / 5^t with t = -s: 5^t must divide m, and m < 2^53 < 5^23.
    const int t = -s;
    if (e + 1 - t != 0 || t > 22) return false;
    uint64_t power = 1;
    for (int k = 0; k < t; ++k) power *= 5;
    return m % power == 0;
}

// The 15 significant digits of `magnitude`, rounded from its exact value
// with a tie going away from zero.
Decimal RoundToSignificant(double magnitude) {
    // to_chars rounds correctly but sends a tie to the even neighbour.
    Decimal d = Scientific(magnitude, kSignificantDigits - 1);
    if (IsTie(magnitude, d.exponent)) {
        // A tie has exactly 16 digits, the last a 5: drop it and round up.
        d = Scientific(magnitude, kSignificantDigits);
        d.count = kSignificantDigits;
        int k = kSignificantDigits - 1;
        while (k >= 0 && d.digits[k] == '9') d.digits[k--] = '0';
        if (k < 0) {
            d.digits[0] = '1';
            d.count = 1;
            ++d.exponent;
        } else {
            ++d.digits[k];
        }
    }
    d.DropTrailingZeros();
    return d;
}

void AppendDigits(std::wstring& out, uint64_t number) {
    wchar_t buffer[24];
    int k = 24;
    do {
        buffer[--k] = static_cast<wchar_t>(L'0' + number % 10);
        number /= 10;
    } while (number != 0);
    out.append(buffer + k, buffer + 24);
}

void AppendDecimal(std::wstring& out, const Decimal& d, std::wstring_view decimalSeparator) {
    if (d.exponent < -4 || d.exponent >= kSignificantDigits) {
        out.push_back(static_cast<wchar_t>(d.digits[0]));
        if (d.count > 1) {
            // Windows writes the user's separator in this form too.
            out.append(decimalSeparator);
            for (int k = 1; k < d.count; ++k) out.push_back(static_cast<wchar_t>(d.digits[k]));
        }
        out.push_back(L'E');
        out.push_back(d.exponent < 0 ? L'-' : L'+');
        const int exponent = d.exponent < 0 ? -d.exponent : d.exponent;
        if (exponent < 10) out.push_back(L'0');
        AppendDigits(out, static_cast<uint64_t>(exponent));
    } else if (d.exponent >= 0) {
        for (int k = 0; k <= d.exponent; ++k) {
            out.push_back(k < d.count ? static_cast<wchar_t>(d.digits[k]) : L'0');
        }
        if (d.count > d.exponent + 1) {
            out.append(decimalSeparator);
            for (int k = d.exponent + 1; k < d.count; ++k) {
                out.push_back(static_cast<wchar_t>(d.digits[k]));
            }
        }
    } else {
        out.push_back(L'0');
        out.append(decimalSeparator);
        out.append(static_cast<size_t>(-d.exponent - 1), L'0');
        for (int k = 0; k < d.count; ++k) out.push_back(static_cast<wchar_t>(d.digits[k]));
    }
}

}  // namespace

void AppendGeneralNumber(std::wstring& out, double value, std::wstring_view decimalSeparator) {
    if (std::isnan(value)) {
        out.append(std::signbit(value) ? L"-NAN(IND)" : L"NAN");
        return;
    }
    if (std::isinf(value)) {
        out.append(value < 0 ? L"-INF" : L"INF");
        return;
    }
    const double magnitude = std::fabs(value);
    if (value < 0) out.push_back(L'-');  // negative zero is written "0"

    // Whole numbers of up to 15 digits are their own digits.
    if (magnitude < 1e15 && magnitude == std::floor(magnitude)) {
        AppendDigits(out, static_cast<uint64_t>(magnitude));
        return;
    }
    // A normal number whose shortest round-trip form has at most 15 digits
    // lies closer to that form than half a unit of the 15th digit, so the
    // form is the rounded value. Subnormals are too coarse for that.
    if (magnitude >= 2.2250738585072014e-308) {
        Decimal shortest = Scientific(magnitude, -1);
        shortest.DropTrailingZeros();
        if (shortest.count <= kSignificantDigits) {
            AppendDecimal(out, shortest, decimalSeparator);
            return;
        }
    }
    AppendDecimal(out, RoundToSignificant(magnitude), decimalSeparator);
}

}  // namespace korvid::platform
