// The shape of what a client passes, checked before anything trusts it: a
// text must be a BSTR (its length prefix agrees with its first NUL), a
// VARIANT's references must not be null, and an array's descriptor must
// agree with itself. A unit that passes an L"..." literal where a BSTR
// belongs, or a SAFEARRAY whose descriptor lies, is refused rather than read
// past its end. Both classes check their arguments here (FirstMisshapen),
// and so does the validator's pass-through.
//
// The checks never read a text beyond its first NUL and never fault: the
// length prefix before a text and each further page a text reaches are
// asked of VirtualQuery first, only where they lie on a page that the text's
// own first character does not prove readable.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvid::com {

// What reading a text argument found.
struct TextShape {
    // The text up to its first NUL, at most kShownLimit characters: what may
    // be shown of it, whatever it is.
    std::wstring_view shown;
    // Empty for a BSTR (or a NULL one); else what is wrong, as a sentence
    // part: "is not a BSTR (a literal?): ...".
    std::wstring problem;
};
inline constexpr size_t kShownLimit = 200;

// Reads `text` as a BSTR argument.
TextShape ReadText(const wchar_t* text);

// What is wrong with the shape of `value` (null references, texts that are
// not BSTRs, array descriptors that lie), or nothing.
std::optional<std::wstring> VariantProblem(const VARIANT& value);
// The same for an array argument of element type `elementType` (VT_EMPTY:
// taken from its own descriptor).
std::optional<std::wstring> ArrayProblem(const SAFEARRAY* array, VARTYPE elementType);

// One argument of a call, refused for its shape.
struct RefusedArgument {
    std::wstring name;
    int16_t position = 0;  // 1-based, among the operation's parameters
    std::wstring shown;    // what the trace shows of it
    std::wstring problem;  // "is not a BSTR (a literal?): ..."
    // "<name> (argument <position>) <problem>"
    std::wstring Description() const;
};

namespace shape_detail {

std::optional<RefusedArgument> Check(BSTR text);
std::optional<RefusedArgument> Check(BSTR* text);
std::optional<RefusedArgument> Check(const VARIANT& value);
std::optional<RefusedArgument> Check(VARIANT* value);
std::optional<RefusedArgument> Check(SAFEARRAY** array);
template <typename Other>
std::optional<RefusedArgument> Check(const Other&) {
    return std::nullopt;  // numbers, flags, out parameters: nothing to read
}
// The name of parameter `index` in "a, b, c".
std::wstring NameAt(std::wstring_view names, size_t index);

}  // namespace shape_detail

// The first of `args` (all the operation's parameters in order, named by
// `names`, "property, basis, values") whose shape is refused, or nothing.
// Texts and VARIANTs are checked; other parameters only count positions.
template <typename... Args>
std::optional<RefusedArgument> FirstMisshapen(std::wstring_view names, const Args&... args) {
    std::optional<RefusedArgument> refused;
    size_t index = 0;
    ((refused || (refused = shape_detail::Check(args)) || (++index, false)), ...);
    if (refused) {
        refused->name = shape_detail::NameAt(names, index);
        refused->position = static_cast<int16_t>(index + 1);
    }
    return refused;
}

}  // namespace korvid::com
