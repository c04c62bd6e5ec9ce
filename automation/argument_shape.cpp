#include "automation/argument_shape.h"

#include <algorithm>
#include <cstring>

namespace korvid::com {

namespace {

// Nested references and arrays of variants are followed this deep.
constexpr int kMaxDepth = 4;

// Pages are checked at every 4 KB boundary: the smallest page Windows uses,
// so every real page boundary is one of them.
constexpr size_t kPage = 4096;

size_t PageOffset(const void* address) {
    return reinterpret_cast<uintptr_t>(address) & (kPage - 1);
}

// The end of the readable region that holds `address`, or nothing when it
// cannot be read (VirtualQuery, which never faults, unlike a read through
// the pointer).
std::optional<uintptr_t> ReadableUpTo(const void* address) {
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(address, &info, sizeof info) != sizeof info) return std::nullopt;
    if (info.State != MEM_COMMIT || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS))) return std::nullopt;
    if (!(info.Protect & (PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                          PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)))
        return std::nullopt;
    return reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
}

bool Readable(const void* address) { return ReadableUpTo(address).has_value(); }

// The 4 bytes before `address` (a BSTR's length prefix, an array's element
// type), or nothing when they lie on a page that cannot be read. The page
// of `address` itself is the caller's to vouch for.
std::optional<uint32_t> FourBytesBefore(const void* address) {
    const auto* before = static_cast<const char*>(address) - 4;
    if (PageOffset(address) < 4 && !Readable(before)) return std::nullopt;
    uint32_t value;
    std::memcpy(&value, before, 4);
    return value;
}

// True when `count` bytes from `start` may be read, given that the first
// page may: the regions after it are asked for, one query each.
bool RangeReadable(const void* start, uint64_t count) {
    if (count == 0) return true;
    const auto first = reinterpret_cast<uintptr_t>(start);
    const uintptr_t last = first + static_cast<uintptr_t>(count - 1);
    if (last < first) return false;
    uintptr_t next = (first | (kPage - 1)) + 1;  // the first byte after the first page
    while (next != 0 && next <= last) {
        const auto end = ReadableUpTo(reinterpret_cast<const void*>(next));
        if (!end) return false;
        next = *end;
    }
    return true;
}

std::wstring Quoted(std::wstring_view text) {
    std::wstring quoted = L"\"";
    quoted.append(text);
    if (text.size() == kShownLimit) quoted += L"...";
    return quoted += L"\"";
}

// The size a SAFEARRAY's element of type `vt` has, 0 when not fixed here.
ULONG ElementSize(VARTYPE vt) {
    switch (vt) {
        case VT_I1:
        case VT_UI1:
            return 1;
        case VT_I2:
        case VT_UI2:
        case VT_BOOL:
            return 2;
        case VT_I4:
        case VT_UI4:
        case VT_R4:
        case VT_INT:
        case VT_UINT:
        case VT_ERROR:
            return 4;
        case VT_R8:
        case VT_CY:
        case VT_DATE:
        case VT_I8:
        case VT_UI8:
            return 8;
        case VT_BSTR:
        case VT_UNKNOWN:
        case VT_DISPATCH:
            return sizeof(void*);
        case VT_VARIANT:
            return sizeof(VARIANT);
        case VT_DECIMAL:
            return sizeof(DECIMAL);
        default:
            return 0;
    }
}

std::optional<std::wstring> VariantProblemAt(const VARIANT& value, int depth);

std::optional<std::wstring> TextProblem(const wchar_t* text) {
    TextShape shape = ReadText(text);
    if (shape.problem.empty()) return std::nullopt;
    return std::move(shape.problem);
}

std::optional<std::wstring> ArrayProblemAt(const SAFEARRAY* array, VARTYPE vt, int depth) {
    if (!array) return std::nullopt;  // an array never dimensioned: the readers' to refuse
    if (array->cDims == 0) return L"is an array whose descriptor counts no dimension";
    const USHORT features = array->fFeatures;
    if (features & FADF_HAVEVARTYPE) {
        const auto stored = FourBytesBefore(array);
        if (!stored) return L"is an array whose element type cannot be read";
        if (vt == VT_EMPTY) vt = static_cast<VARTYPE>(*stored);
        if (*stored != vt) {
            return L"is an array of VARTYPE " + std::to_wstring(vt) +
                   L" whose descriptor says VARTYPE " + std::to_wstring(*stored);
        }
    }
    const bool featuresAgree = (!(features & FADF_BSTR) || vt == VT_BSTR) &&
                               (!(features & FADF_VARIANT) || vt == VT_VARIANT) &&
                               (!(features & FADF_UNKNOWN) || vt == VT_UNKNOWN) &&
                               (!(features & FADF_DISPATCH) || vt == VT_DISPATCH);
    if (vt != VT_EMPTY && !featuresAgree) {
        return L"is an array of VARTYPE " + std::to_wstring(vt) +
               L" whose descriptor's features say another type";
    }
    const ULONG size = ElementSize(vt);
    if (size != 0 && array->cbElements != size) {
        return L"is an array of VARTYPE " + std::to_wstring(vt) +
               L" whose elements are said to be " + std::to_wstring(array->cbElements) +
               L" bytes long";
    }
    uint64_t count = 1;
    for (USHORT d = 0; d < array->cDims; ++d) {
        const SAFEARRAYBOUND& bound = array->rgsabound[d];
        const int64_t upper = int64_t{bound.lLbound} + bound.cElements - 1;
        count *= bound.cElements;
        if (upper > LONG_MAX ||
            count > (uint64_t{1} << 31) / (array->cbElements ? array->cbElements : 1))
            return L"is an array whose bounds count more elements than memory holds";
    }
    if (count == 0) return std::nullopt;
    if (!array->pvData)
        return L"is an array of " + std::to_wstring(count) + L" elements without data";
    if (!RangeReadable(array->pvData, count * array->cbElements))
        return L"is an array whose elements lie partly on memory that cannot be read";
    const LONG lower = array->cDims == 1 ? array->rgsabound[0].lLbound : 0;
    for (uint64_t k = 0; k < count && (vt == VT_BSTR || vt == VT_VARIANT); ++k) {
        std::optional<std::wstring> problem;
        if (vt == VT_BSTR) {
            problem = TextProblem(static_cast<BSTR const*>(array->pvData)[k]);
        } else if (depth < kMaxDepth) {
            problem = VariantProblemAt(static_cast<const VARIANT*>(array->pvData)[k], depth + 1);
        }
        if (problem)
            return L"has an element " + std::to_wstring(lower + static_cast<int64_t>(k)) +
                   L" that " + *problem;
    }
    return std::nullopt;
}

std::optional<std::wstring> VariantProblemAt(const VARIANT& value, int depth) {
    const VARTYPE vt = value.vt;
    if (vt & VT_BYREF) {
        if (!value.byref) return L"holds a null reference";
        const VARTYPE target = vt & ~VT_BYREF;
        if (target & VT_ARRAY) return ArrayProblemAt(*value.pparray, target & ~VT_ARRAY, depth);
        if (target == VT_BSTR) return TextProblem(*value.pbstrVal);
        if (target == VT_VARIANT) {
            if (depth >= kMaxDepth) return L"holds references nested too deep";
            return VariantProblemAt(*value.pvarVal, depth + 1);
        }
        return std::nullopt;
    }
    if (vt & VT_ARRAY) return ArrayProblemAt(value.parray, vt & ~VT_ARRAY, depth);
    if (vt == VT_BSTR) return TextProblem(value.bstrVal);
    return std::nullopt;
}

}  // namespace

TextShape ReadText(const wchar_t* text) {
    TextShape shape;
    if (!text) return shape;
    if (reinterpret_cast<uintptr_t>(text) & 1) {
        shape.problem = L"is not a BSTR: its address is odd";
        return shape;
    }
    const std::optional<uint32_t> bytes = FourBytesBefore(text);
    const bool odd = bytes && *bytes % 2 != 0;  // no count of wide characters
    const bool bounded = bytes && !odd;
    const size_t claimed = bounded ? *bytes / 2 : 0;
    // Up to the first NUL, and never past the claimed length's end, a page
    // at a time: a further page is asked for before its first character is
    // read. k ends at the NUL, or at `claimed` when no NUL came up to there.
    size_t k = 0;
    bool pageUnreadable = false;
    for (;;) {
        const size_t pageEnd = k + (kPage - PageOffset(text + k)) / sizeof(wchar_t);
        const size_t stop = bounded ? std::min(pageEnd, claimed + 1) : pageEnd;
        while (k < stop && text[k] != L'\0') ++k;
        if (k < stop) break;  // the NUL
        if (bounded && k == claimed + 1) {
            k = claimed;  // the text goes on after the length claimed
            break;
        }
        if (!Readable(text + k)) {
            pageUnreadable = true;
            break;
        }
    }
    shape.shown = std::wstring_view(text, std::min(k, kShownLimit));
    if (!pageUnreadable && bounded && k == claimed && text[k] == L'\0') return shape;
    if (pageUnreadable) {
        shape.problem = L"is not a BSTR: no NUL ends " + Quoted(shape.shown) +
                        L" before memory that cannot be read";
    } else if (!bytes) {
        shape.problem = L"is not a BSTR (a literal?): the length prefix before " +
                        Quoted(shape.shown) + L" cannot be read";
    } else if (odd) {
        shape.problem = L"is not a BSTR (a literal?): the length prefix before " +
                        Quoted(shape.shown) + L" counts " + std::to_wstring(*bytes) +
                        L" bytes, an odd number";
    } else if (k == claimed) {
        shape.problem = L"is not a BSTR: its length prefix says " + std::to_wstring(claimed) +
                        L" characters, and no NUL follows them";
    } else {
        shape.problem = L"is not a BSTR (a literal?), or holds a NUL: " + Quoted(shape.shown) +
                        L" ends at a NUL after " + std::to_wstring(k) +
                        L" characters where its length prefix says " + std::to_wstring(claimed);
    }
    return shape;
}

std::optional<std::wstring> VariantProblem(const VARIANT& value) {
    return VariantProblemAt(value, 0);
}

std::optional<std::wstring> ArrayProblem(const SAFEARRAY* array, VARTYPE elementType) {
    return ArrayProblemAt(array, elementType, 0);
}

std::wstring RefusedArgument::Description() const {
    return name + L" (argument " + std::to_wstring(position) + L") " + problem;
}

namespace shape_detail {

std::optional<RefusedArgument> Check(BSTR text) {
    TextShape shape = ReadText(text);
    if (shape.problem.empty()) return std::nullopt;
    RefusedArgument refused;
    refused.shown = std::wstring(shape.shown) + L"\t(not a BSTR)";
    refused.problem = std::move(shape.problem);
    return refused;
}

std::optional<RefusedArgument> Check(BSTR* text) { return text ? Check(*text) : std::nullopt; }

std::optional<RefusedArgument> Check(const VARIANT& value) {
    std::optional<std::wstring> problem = VariantProblemAt(value, 0);
    if (!problem) return std::nullopt;
    RefusedArgument refused;
    refused.shown = L"(not read: its shape is refused)";
    refused.problem = std::move(*problem);
    return refused;
}

std::optional<RefusedArgument> Check(VARIANT* value) {
    return value ? Check(*value) : std::nullopt;
}

std::optional<RefusedArgument> Check(SAFEARRAY** array) {
    std::optional<std::wstring> problem =
        array ? ArrayProblemAt(*array, VT_EMPTY, 0) : std::nullopt;
    if (!problem) return std::nullopt;
    RefusedArgument refused;
    refused.shown = L"(not read: its shape is refused)";
    refused.problem = std::move(*problem);
    return refused;
}

std::wstring NameAt(std::wstring_view names, size_t index) {
    for (; index > 0; --index) {
        const size_t comma = names.find(L',');
        if (comma == std::wstring_view::npos) return L"argument";
        names.remove_prefix(comma + 1);
    }
    while (!names.empty() && names.front() == L' ') names.remove_prefix(1);
    return std::wstring(names.substr(0, names.find(L',')));
}

}  // namespace shape_detail

}  // namespace korvid::com
