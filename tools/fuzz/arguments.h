// Random arguments for the fuzzer and the robustness client: every VARIANT
// type, by reference too, NULL, empty, huge and NUL-holding BSTRs, arrays of
// any element type, empty, of two or three dimensions, odd lower bounds,
// nested or never sized. Texts are mostly names the object knows, so that
// calls get past its first checks. And a readable form of values.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "automation/argument_shape.h"

namespace korvid::fuzz {

struct Random : std::mt19937_64 {
    using std::mt19937_64::mt19937_64;
    uint32_t Below(uint32_t n) { return n ? static_cast<uint32_t>((*this)() % n) : 0; }
    bool Percent(uint32_t p) { return Below(100) < p; }
    template <typename T, size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(N)];
    }
};

// Three pages, the first and the last unreadable: a text written at the
// start or the end of the middle one borders memory that cannot be read.
class GuardedPages {
public:
    GuardedPages();
    ~GuardedPages() { VirtualFree(base_, 0, MEM_RELEASE); }
    GuardedPages(const GuardedPages&) = delete;
    GuardedPages& operator=(const GuardedPages&) = delete;
    char* Middle() const { return base_ + page_; }
    size_t PageSize() const { return page_; }
    bool Holds(const void* p) const { return p >= base_ && p < base_ + 3 * page_; }

private:
    char* base_;
    size_t page_;
};

// Misshapen texts: wide literals where BSTRs belong (their "length prefix"
// lies, or lies on a page that cannot be read; L"" too), kept in a pool of
// their own that nothing frees.
bool IsLiteral(const wchar_t* text);
// SysFreeString, except for a literal.
void FreeText(BSTR text);
// Takes the literals out of `v` (texts, arrays of texts or variants) before
// it is cleared: a NULL in their place.
void Scrub(VARIANT& v);

// The arguments of one call and the targets of the by-reference ones, which
// the caller owns: whatever they hold after the call is cleared once, here.
struct CallArguments {
    std::vector<VARIANT> args;  // rgvarg: the last argument first
    std::vector<DISPID> named;
    std::deque<VARIANT> targets;  // stable addresses
    // Arrays whose descriptor was made to lie, with the truth to restore.
    struct Lie {
        SAFEARRAY* array;
        SAFEARRAY header;
        DWORD elementType;
    };
    std::vector<Lie> lies;
    // Puts every lying descriptor right again: before anything reads or frees them.
    void RestoreLies() {
        for (auto it = lies.rbegin(); it != lies.rend(); ++it) {
            *it->array = it->header;
            if (it->array->fFeatures & FADF_HAVEVARTYPE)
                reinterpret_cast<DWORD*>(it->array)[-1] = it->elementType;
        }
        lies.clear();
    }
    ~CallArguments() {
        RestoreLies();
        for (VARIANT& arg : args) Scrub(arg), VariantClear(&arg);  // a by-reference one frees nothing
        for (auto it = targets.rbegin(); it != targets.rend(); ++it) Scrub(*it), VariantClear(&*it);
    }
};

// Makes arguments; `object` is an object of the caller's to pass around.
// Texts are freed with FreeText, the values Scrub'bed after RestoreLies.
struct ArgumentMaker {
    IDispatch* object;
    // Texts may be literals, arrays' descriptors may lie, references may be
    // null: for [in] arguments only, never for what the callee clears.
    bool misshapen = true;
    std::wstring Text(Random& random) const;
    BSTR NewBstr(Random& random) const;  // may be NULL
    // Fills `v`: `depth` limits nesting, `byRef` allows a by-reference
    // variant, whose target goes to `call`.
    void Fill(Random& random, VARIANT* v, int depth, bool byRef, CallArguments& call) const;
};

// A value as the call scripts write their arguments: empty null "text" 12
// (long) 1.5 (double) r4 1.5, i2 3, true false, object nothing; arrays
// r8[0.2 0.3 0.5], str[..]@1 (lower bound 1), var[2x3: row by row] (2x3@1,1:
// lower bounds 1),
// never:r8 (no array behind the type); &value (by reference to a variant),
// &&value (to the value's own type); other types vtN:value. Texts show \r
// \n and characters outside printable ASCII as \uXXXX. Unless `whole`, texts
// stop after 40 characters and arrays after 6 elements. `object` names an
// object passed or returned ("object" without it).
using ObjectNamer = std::function<std::string(IUnknown*)>;
std::string Describe(const VARIANT& v, bool whole = false, const ObjectNamer& object = nullptr,
                     int depth = 0);
std::string DescribeText(const wchar_t* text, size_t length, bool whole = false);
// A text that is not a BSTR shows as lit"..." (up to its first NUL).
inline std::string Describe(BSTR text, bool whole = false) {
    if (!text) return "NULL";
    const com::TextShape shape = com::ReadText(text);
    if (!shape.problem.empty())
        return "lit" + DescribeText(shape.shown.data(), shape.shown.size(), whole);
    return DescribeText(text, SysStringLen(text), whole);
}

}  // namespace korvid::fuzz
