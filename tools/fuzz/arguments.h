// Random arguments for IDispatch::Invoke: every VARIANT type, by-reference
// variants, NULL, empty, huge and NUL-holding BSTRs, arrays of any element
// type with zero elements, two or three dimensions, odd lower bounds, nested
// arrays and arrays never sized (VT_ARRAY with a NULL SAFEARRAY*). Texts are
// mostly names the object knows, so calls get past its first checks.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <vector>

namespace korvid::fuzz {

class Random {
public:
    explicit Random(uint64_t seed) : engine_(seed) {}
    uint32_t Below(uint32_t n) { return n ? static_cast<uint32_t>(engine_() % n) : 0; }
    bool Percent(uint32_t p) { return Below(100) < p; }
    template <typename T, size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(N)];
    }
    template <typename T>
    const T& Pick(const std::vector<T>& items) {
        return items[Below(static_cast<uint32_t>(items.size()))];
    }
    uint64_t Bits() { return engine_(); }

private:
    std::mt19937_64 engine_;
};

// The arguments of one call and everything they point to. The caller owns
// all of it: the arguments by value, the targets of the by-reference ones
// (which the callee may have replaced: whatever they hold at the end is
// cleared once, here), and nothing else.
class CallArguments {
public:
    CallArguments() = default;
    CallArguments(const CallArguments&) = delete;
    CallArguments& operator=(const CallArguments&) = delete;
    ~CallArguments() {
        for (VARIANT& arg : args) VariantClear(&arg);  // a by-reference argument frees nothing
        for (auto it = targets_.rbegin(); it != targets_.rend(); ++it) VariantClear(&*it);
    }

    // A fresh VARIANT that lives as long as the call's arguments.
    VARIANT* NewTarget() {
        targets_.emplace_back();
        VariantInit(&targets_.back());
        return &targets_.back();
    }

    std::vector<VARIANT> args;  // rgvarg: the last argument first
    std::vector<DISPID> named;

private:
    std::deque<VARIANT> targets_;  // stable addresses
};

// Builds random VARIANTs into a call's arguments.
class ArgumentMaker {
public:
    // `words`: the names worth sending; `object`: an object to pass (the
    // callee gets its own references).
    ArgumentMaker(std::vector<std::wstring> words, IDispatch* object)
        : words_(std::move(words)), object_(object) {}

    std::wstring Text(Random& random) const;
    BSTR NewBstr(Random& random) const;  // may be NULL
    // Fills `v` (VT_EMPTY on entry). `depth` limits nesting; `byRef` allows
    // by-reference variants, whose targets `call` owns.
    void Fill(Random& random, VARIANT* v, int depth, bool byRef, CallArguments& call) const;

private:
    void FillScalar(Random& random, VARIANT* v, VARTYPE vt) const;
    void FillArray(Random& random, VARIANT* v, int depth, CallArguments& call) const;

    std::vector<std::wstring> words_;
    IDispatch* object_;
};

// A short readable form of a VARIANT: type, and value or bounds.
std::string Describe(const VARIANT& v, int depth = 0);
std::string Describe(BSTR text);
std::string DescribeText(const wchar_t* text, size_t length);

}  // namespace korvid::fuzz
