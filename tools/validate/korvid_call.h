// The call the unit has under way on a material object: the pass-through
// marks each call it forwards for as long as the object works on it, so that
// a message box Korvid shows, or a crash, can be told as belonging to that
// call. The host runs every call on its one thread; the crash report reads
// the mark from another while that thread waits.
#pragma once

#include <string>

namespace korvid::validate {

struct KorvidCall {
    const std::wstring& object;  // its label: a port's name or a copy's
    const wchar_t* operation;
    const wchar_t* detail;    // the property or flash type named, or empty
    const KorvidCall* outer;  // the call under way when this one began
};

inline const KorvidCall* g_korvidCall = nullptr;

// The innermost call under way, or nullptr.
inline const KorvidCall* KorvidCallUnderWay() { return g_korvidCall; }

// "GetProp fraction"
inline std::wstring Describe(const KorvidCall& call) {
    return call.operation + (*call.detail ? L" " + std::wstring(call.detail) : L"");
}

// Marks a call under way for as long as it lives.
class KorvidCallScope {
public:
    KorvidCallScope(const std::wstring& object, const wchar_t* operation, const wchar_t* detail)
        : call_{object, operation, detail, g_korvidCall} {
        g_korvidCall = &call_;
    }
    ~KorvidCallScope() { g_korvidCall = call_.outer; }
    KorvidCallScope(const KorvidCallScope&) = delete;
    KorvidCallScope& operator=(const KorvidCallScope&) = delete;

private:
    const KorvidCall call_;
};

}  // namespace korvid::validate
