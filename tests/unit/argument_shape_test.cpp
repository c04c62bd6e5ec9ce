// What the argument checks refuse, and that they never fault: texts whose
// length prefix lies or lies on a page that cannot be read, texts that run
// into such a page, arrays whose descriptor lies, null references.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "automation/argument_shape.h"
#include "tools/fuzz/arguments.h"

namespace korvid::testing {
namespace {

// Texts written into the middle of three pages whose outer two are unreadable.
class GuardedPage {
public:
    // `text` (and a NUL unless `terminated` is false) at byte `offset` of the
    // middle page, after the 4-byte `prefix` when the offset leaves room.
    wchar_t* Put(size_t offset, uint32_t prefix, std::wstring_view text, bool terminated = true) {
        char* at = pages_.Middle() + offset;
        if (offset >= 4) std::memcpy(at - 4, &prefix, 4);
        std::memcpy(at, text.data(), text.size() * 2);
        if (terminated) std::memset(at + text.size() * 2, 0, 2);
        return reinterpret_cast<wchar_t*>(at);
    }
    size_t Size() const { return pages_.PageSize(); }

private:
    fuzz::GuardedPages pages_;
};

TEST(ArgumentShape, TextsThatAreNotBstrsAreRefusedWithoutReadingPastThem) {
    GuardedPage guarded;
    const size_t end = guarded.Size() - 8;  // 4 characters before the unreadable page
    BSTR good = SysAllocString(L"totalFlow"), empty = SysAllocString(L"");
    BSTR withNul = SysAllocStringLen(L"mo\0le", 5), odd = SysAllocStringByteLen("abc", 3);
    const auto* oddAddress =
        reinterpret_cast<const wchar_t*>(reinterpret_cast<char*>(guarded.Put(256, 10, L"ab")) + 1);
    struct Case {
        const char* name;
        const wchar_t* text;
        const wchar_t* shown;
        const wchar_t* problem;  // the start of it; nullptr: a BSTR
    } cases[] = {
        {"a BSTR", good, L"totalFlow", nullptr},
        {"the empty BSTR", empty, L"", nullptr},
        {"a NULL BSTR", nullptr, L"", nullptr},
        {"a literal's huge prefix", guarded.Put(64, 0x7FFFFFFE, L"totalFlow"), L"totalFlow",
         L"is not a BSTR (a literal?), or holds a NUL: \"totalFlow\" ends at a NUL after 9"},
        {"L\"\" whose prefix counts", guarded.Put(128, 16, L""), L"",
         L"is not a BSTR (a literal?), or holds a NUL: \"\" ends at a NUL after 0"},
        {"a NUL inside", withNul, L"mo", L"is not a BSTR (a literal?), or holds a NUL: \"mo\""},
        {"a prefix too short", guarded.Put(192, 4, L"vapor"), L"va",
         L"is not a BSTR: its length prefix says 2 characters, and no NUL follows them"},
        {"a prefix on an unreadable page", guarded.Put(0, 0, L"Mole"), L"Mole",
         L"is not a BSTR (a literal?): the length prefix before \"Mole\" cannot be read"},
        {"no NUL before an unreadable page", guarded.Put(end, 0x7FFFFFFE, L"xxxx", false),
         L"xxxx", L"is not a BSTR: no NUL ends \"xxxx\" before memory that cannot be read"},
        {"an odd byte count", odd, L"", L"is not a BSTR (a literal?): the length prefix before \""},
        {"an odd address", oddAddress, L"", L"is not a BSTR: its address is odd"},
    };
    for (const Case& c : cases) {
        const com::TextShape shape = com::ReadText(c.text);
        if (c.problem) {
            EXPECT_EQ(shape.problem.rfind(c.problem, 0), 0u) << c.name;
        } else {
            EXPECT_TRUE(shape.problem.empty()) << c.name;
        }
        EXPECT_EQ(shape.shown.substr(0, std::wcslen(c.shown)), c.shown) << c.name;
    }
    for (BSTR s : {good, empty, withNul, odd}) SysFreeString(s);
}

TEST(ArgumentShape, ArraysWhoseDescriptorLiesAndNullReferencesAreRefused) {
    GuardedPage guarded;
    BSTR literal = guarded.Put(64, 0x7FFFFFFE, L"vapor");
    struct Case {
        const char* name;
        VARTYPE vt;  // of the array made, ULONG elements
        ULONG count;
        std::function<void(VARIANT&)> lie;
        const wchar_t* problem;  // a part of it; nullptr: accepted
    } cases[] = {
        {"an honest array", VT_R8, 3, [](VARIANT&) {}, nullptr},
        {"no elements", VT_BSTR, 0, [](VARIANT&) {}, nullptr},
        {"a wrong element size", VT_R8, 3, [](VARIANT& v) { v.parray->cbElements = 16; },
         L"elements are said to be 16 bytes long"},
        {"another element type stored", VT_R8, 3, [](VARIANT& v) { v.vt = VT_ARRAY | VT_I4; },
         L"whose descriptor says VARTYPE 5"},
        {"features of another type", VT_R8, 3,
         [](VARIANT& v) { v.parray->fFeatures |= FADF_BSTR; }, L"features say another type"},
        {"no data", VT_R8, 3, [](VARIANT& v) { v.parray->pvData = nullptr; },
         L"3 elements without data"},
        {"too many elements", VT_R8, 3,
         [](VARIANT& v) { v.parray->rgsabound[0].cElements = 0x7FFFFFFF; },
         L"more elements than memory holds"},
        {"elements beyond readable memory", VT_UI1, 3,
         [](VARIANT& v) { v.parray->rgsabound[0].cElements = 0x10000000; },
         L"lie partly on memory that cannot be read"},
        {"no dimension", VT_R8, 3, [](VARIANT& v) { v.parray->cDims = 0; },
         L"counts no dimension"},
        {"a literal among texts", VT_BSTR, 2,
         [&](VARIANT& v) { static_cast<BSTR*>(v.parray->pvData)[1] = literal; },
         L"has an element 1 that is not a BSTR"},
        {"a null reference", VT_R8, 0, [](VARIANT& v) { v.vt = VT_BYREF | VT_VARIANT; },
         L"holds a null reference"},
    };
    for (Case& c : cases) {
        VARIANT v{};
        SAFEARRAY* array = SafeArrayCreateVector(c.vt, 0, c.count);
        v.vt = VT_ARRAY | c.vt;
        v.parray = array;
        const SAFEARRAY truth = *array;
        c.lie(v);
        if (v.vt == (VT_BYREF | VT_VARIANT)) v.pvarVal = nullptr;
        const auto problem = com::VariantProblem(v);
        if (c.problem) {
            ASSERT_TRUE(problem) << c.name;
            EXPECT_NE(problem->find(c.problem), std::wstring::npos) << c.name;
        } else {
            EXPECT_FALSE(problem) << c.name;
        }
        if (c.vt == VT_BSTR && c.count) static_cast<BSTR*>(truth.pvData)[1] = nullptr;
        *array = truth;
        SafeArrayDestroy(array);
    }
}

}  // namespace
}  // namespace korvid::testing
