// The flash drum's calls of a CAPE-OPEN 0.9 material object. A call that
// fails raises ECapeUnknown naming the call, the port and the object's own
// error description.
#pragma once

#include <string>
#include <vector>

#include "Korvid_h.h"

namespace korvid::sample_unit {

class Material {
public:
    // `port`: the name of the port the object is connected to, for messages.
    Material(ICapeThermoMaterialObject* object, std::wstring port)
        : object_(object), port_(std::move(port)) {}

    long NumComponents();
    // An overall mixture property on `basis` ("" for none): one value, or
    // one per component for "fraction".
    std::vector<double> Get(const wchar_t* property, const wchar_t* basis);
    void Set(const wchar_t* property, const wchar_t* basis, const std::vector<double>& values);

private:
    void Check(HRESULT hr, const std::wstring& call);

    ICapeThermoMaterialObject* object_;
    std::wstring port_;
};

}  // namespace korvid::sample_unit
