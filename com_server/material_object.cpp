// The COM object of a Material: its interfaces (material_facets.h), one
// reference count, QueryInterface over them, and its creation.
#include "com_server/material_object.h"

#include <array>
#include <memory>

#include "com_server/default_dispatch.h"
#include "com_server/material_facets.h"

namespace korvid::com {

namespace material_detail {

// One Material as a COM object.
class MaterialObject final : public FacetedObject<MaterialObject> {
public:
    MaterialObject()
        : thermo_(this),
          identification_(this),
          compounds_(this),
          phases_(this),
          constants_(this),
          propertyRoutine_(this),
          equilibriumRoutine_(this),
          root_(this),
          user_(this),
          badArgument_(this),
          badInvOrder_(this),
          unknown_(this),
          data_(this),
          invalidArgument_(this),
          implementation_(this),
          noImpl_(this),
          limitedImpl_(this),
          noMemory_(this),
          failedInitialisation_(this),
          notAvailable_(this),
          logicAccess_(this) {}

    // Runs the start-up (the form, or a copy of `configuration`'s compounds); raises its error.
    void Start(const Material* configuration) {
        logic_ = configuration ? std::make_unique<Material>(*configuration)
                               : std::make_unique<Material>();
    }
    Material& Logic() { return *logic_; }

    // Every interface of the object with its IDispatch, in the order in
    // which the default IDispatch looks up names.
    std::array<Face, 20> Faces() {
        return {{{&IID_ICapeThermoMaterial, &thermo_},
                 {&IID_ICapeThermoCompounds, &compounds_},
                 {&IID_ICapeThermoPhases, &phases_},
                 {&IID_ICapeThermoUniversalConstant, &constants_},
                 {&IID_ICapeThermoPropertyRoutine, &propertyRoutine_},
                 {&IID_ICapeThermoEquilibriumRoutine, &equilibriumRoutine_},
                 {&IID_ICapeIdentification, &identification_},
                 {&IID_ECapeRoot, &root_},
                 {&IID_ECapeUser, &user_},
                 {&IID_ECapeBadArgument, &badArgument_},
                 {&IID_ECapeBadInvOrder, &badInvOrder_},
                 {&IID_ECapeUnknown, &unknown_},
                 {&IID_ECapeData, &data_},
                 {&IID_ECapeInvalidArgument, &invalidArgument_},
                 {&IID_ECapeImplementation, &implementation_},
                 {&IID_ECapeNoImpl, &noImpl_},
                 {&IID_ECapeLimitedImpl, &limitedImpl_},
                 {&IID_ECapeNoMemory, &noMemory_},
                 {&IID_ECapeFailedInitialisation, &failedInitialisation_},
                 {&IID_ECapeThrmPropertyNotAvailable, &notAvailable_}}};
    }

    // The logic's access, for CopyFromMaterial.
    void* Private(REFIID iid) {
        return IsEqualIID(iid, IID_IKorvidMaterialLogic)
                   ? static_cast<IKorvidMaterialLogic*>(&logicAccess_)
                   : nullptr;
    }

private:
    Thermo thermo_;
    Identification identification_;
    Compounds compounds_;
    Phases phases_;
    Constants constants_;
    PropertyRoutine propertyRoutine_;
    EquilibriumRoutine equilibriumRoutine_;
    ErrorRoot root_;
    ErrorUser user_;
    ErrorBadArgument badArgument_;
    ErrorBadInvOrder badInvOrder_;
    PlainError<ECapeUnknown, &IID_ECapeUnknown> unknown_;
    PlainError<ECapeData, &IID_ECapeData> data_;
    PlainError<ECapeInvalidArgument, &IID_ECapeInvalidArgument> invalidArgument_;
    PlainError<ECapeImplementation, &IID_ECapeImplementation> implementation_;
    PlainError<ECapeNoImpl, &IID_ECapeNoImpl> noImpl_;
    PlainError<ECapeLimitedImpl, &IID_ECapeLimitedImpl> limitedImpl_;
    PlainError<ECapeNoMemory, &IID_ECapeNoMemory> noMemory_;
    PlainError<ECapeFailedInitialisation, &IID_ECapeFailedInitialisation> failedInitialisation_;
    PlainError<ECapeThrmPropertyNotAvailable, &IID_ECapeThrmPropertyNotAvailable> notAvailable_;
    LogicAccess logicAccess_;
    std::unique_ptr<Material> logic_;
};

Material* LogicAccess::Logic() { return &owner_->Logic(); }

HRESULT Thermo::CopyFromMaterial(IDispatch** source) {
    // The source's logic when it is a material of this apartment.
    Material* logic = nullptr;
    IDispatch* given = source ? *source : nullptr;
    IKorvidMaterialLogic* access = nullptr;
    if (given && SUCCEEDED(given->QueryInterface(IID_IKorvidMaterialLogic,
                                                 reinterpret_cast<void**>(&access)))) {
        logic = access->Logic();
        access->Release();
    }
    KORVID_CALL(Logic().CopyFromMaterial(logic, given != nullptr));
}

}  // namespace material_detail

using material_detail::MaterialObject;

HRESULT CreateMaterialObject(REFIID iid, void** result) {
    return CreateObject<MaterialObject>(IID_ICapeThermoMaterial, iid, result,
                                        [](MaterialObject& object) { object.Start(nullptr); });
}

}  // namespace korvid::com

namespace korvid::thermo_material {

IDispatch* NewMaterialDispatch(const Material* configuration) {
    return com::NewObject<com::material_detail::MaterialObject>(
        [&](com::material_detail::MaterialObject& object) { object.Start(configuration); });
}

}  // namespace korvid::thermo_material
