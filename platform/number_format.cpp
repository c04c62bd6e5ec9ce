#include "platform/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

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

void AppendDigits(TextBuffer& out, uint64_t number) {
    wchar_t buffer[24];
    size_t k = 24;
    do {
        buffer[--k] = static_cast<wchar_t>(L'0' + number % 10);
        number /= 10;
    } while (number != 0);
    out.Append({buffer + k, 24 - k});
}

// The text of a decimal goes together here, then to its place in one append.
class NumberChars {
public:
    explicit NumberChars(std::wstring_view separator) : separator_(separator) {}
    void Put(wchar_t ch) { *end_++ = ch; }
    void PutDigits(const char* digits, int count) {
        for (int k = 0; k < count; ++k) *end_++ = static_cast<wchar_t>(digits[k]);
    }
    void PutZeros(int count) {
        for (int k = 0; k < count; ++k) *end_++ = L'0';
    }
    void PutSeparator() {
        for (wchar_t ch : separator_) *end_++ = ch;
    }
    void AppendTo(TextBuffer& out) const { out.Append({text_, static_cast<size_t>(end_ - text_)}); }

private:
    std::wstring_view separator_;
    // 15 digits, the separator, up to four zeros after "0" or "E+308".
    wchar_t text_[40];
    wchar_t* end_ = text_;
};

void AppendDecimal(TextBuffer& out, const Decimal& d, std::wstring_view decimalSeparator) {
    // LOCALE_SDECIMAL has at most three characters; the buffer takes eight.
    decimalSeparator = decimalSeparator.substr(0, 8);
    NumberChars text(decimalSeparator);
    if (d.exponent < -4 || d.exponent >= kSignificantDigits) {
        text.Put(static_cast<wchar_t>(d.digits[0]));
        if (d.count > 1) {
            // Windows writes the user's separator in this form too.
            text.PutSeparator();
            text.PutDigits(d.digits + 1, d.count - 1);
        }
        text.Put(L'E');
        text.Put(d.exponent < 0 ? L'-' : L'+');
        const int exponent = d.exponent < 0 ? -d.exponent : d.exponent;
        if (exponent >= 100) text.Put(static_cast<wchar_t>(L'0' + exponent / 100));
        text.Put(static_cast<wchar_t>(L'0' + exponent / 10 % 10));
        text.Put(static_cast<wchar_t>(L'0' + exponent % 10));
    } else if (d.exponent >= 0) {
        const int whole = d.exponent + 1;
        text.PutDigits(d.digits, std::min(whole, d.count));
        text.PutZeros(whole - std::min(whole, d.count));
        if (d.count > whole) {
            text.PutSeparator();
            text.PutDigits(d.digits + whole, d.count - whole);
        }
    } else {
        text.Put(L'0');
        text.PutSeparator();
        text.PutZeros(-d.exponent - 1);
        text.PutDigits(d.digits, d.count);
    }
    text.AppendTo(out);
}

// Most values a person or a unit sets have a short decimal form (0.2,
// 101.325): the fewest decimals p for which the integer nearest
// magnitude * 10^p, divided by 10^p, gives the value back. That integer's
// digits are the value's shortest form, found without the general search.
// Nothing when it has more than 15 digits or needs more than 22 decimals.
std::optional<Decimal> ShortDecimal(double magnitude) {
    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    for (int p = 1; p <= 22; ++p) {
        const double scaled = magnitude * kPowersOfTen[p];
        if (scaled >= 1e15) return std::nullopt;
        const double nearest = std::floor(scaled + 0.5);
        // A form that gives the value back lies far closer than a quarter:
        // only then is the exact division worth its time.
        if (std::fabs(scaled - nearest) > 0.25 || nearest / kPowersOfTen[p] != magnitude) continue;
        Decimal d;
        char digits[24];
        char* end = digits + sizeof digits;
        char* first = end;
        for (uint64_t number = static_cast<uint64_t>(nearest); number != 0; number /= 10) {
            *--first = static_cast<char>('0' + number % 10);
        }
        d.count = static_cast<int>(end - first);
        std::memcpy(d.digits, first, static_cast<size_t>(d.count));
        d.exponent = d.count - 1 - p;
        d.DropTrailingZeros();
        return d;
    }
    return std::nullopt;
}

}  // namespace

void AppendGeneralNumber(TextBuffer& out, double value, std::wstring_view decimalSeparator) {
    using namespace std::string_view_literals;
    if (std::isnan(value)) {
        out.Append(std::signbit(value) ? L"-NAN(IND)"sv : L"NAN"sv);
        return;
    }
    if (std::isinf(value)) {
        out.Append(value < 0 ? L"-INF"sv : L"INF"sv);
        return;
    }
    const double magnitude = std::fabs(value);
    if (value < 0) out.Append(L"-"sv);  // negative zero is written "0"

    // Whole numbers of up to 15 digits are their own digits.
    if (magnitude < 1e15 && magnitude == std::floor(magnitude)) {
        AppendDigits(out, static_cast<uint64_t>(magnitude));
        return;
    }
    if (magnitude >= 1e-7) {
        if (const std::optional<Decimal> d = ShortDecimal(magnitude)) {
            AppendDecimal(out, *d, decimalSeparator);
            return;
        }
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
