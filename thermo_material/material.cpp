// Creation, release, identification and the error record of Material, and
// the operations that make, copy and clear materials.
#include "thermo_material/material.h"

#include "component_definition/module_state.h"
#include "component_definition/new_object_definition.h"
#include "component_definition/trace_report.h"
#include "platform/platform.h"

namespace korvid::thermo_material {

// The report file a material's definition opened.
struct ReportHold {
    int16_t fileNo;
    ~ReportHold() {
        component_definition::TraceFlush();
        platform::CurrentPlatform().CloseFile(fileNo);
    }
};

Material::Material() {
    component_definition::DefineNewObject();
    auto& module = component_definition::Module1();
    const int32_t n = module.g_numComponents;
    if (n <= 0 || static_cast<size_t>(n) > module.g_components.size()) {
        Raise(kECapeFailedInitialisation, L"The definition holds no compound.");
    }
    for (int32_t k = 0; k < n; ++k) {
        const auto& record = module.g_components[k];
        compounds_.push_back({module.g_useCasAsId ? record.cas : record.name, record});
    }
    report_.reset(new ReportHold{module.g_reportFileNo});
    number_ = ++module.g_materialsMade;
    name_ = L"Korvid Material " + std::to_wstring(number_);
    description_ = L"A CAPE-OPEN 1.1 test material: it stores what it is given and computes nothing";
}

Material::Material(const Material& configuration)
    : description_(configuration.description_),
      compounds_(configuration.compounds_),
      report_(configuration.report_) {
    number_ = ++component_definition::Module1().g_materialsMade;
    name_ = L"Korvid Material " + std::to_wstring(number_);
}

Material::~Material() = default;

void Material::Failed(const Operation& op, const CapeFailure& failure) {
    error_.code = failure.Hresult();
    error_.name = CapeErrorName(error_.code);
    error_.description = failure.description;
    error_.scope = L"Korvid::Material " + std::to_wstring(number_);
    error_.interfaceName = op.interfaceName;
    error_.operation = op.operation;
    error_.position = failure.position;
    try {
        TraceError(error_.name, error_.code, error_.description);
    } catch (const RaisedError&) {
        // The report itself failed: the call's own error is what the client learns.
    }
    throw failure;
}

// --- ICapeIdentification ---------------------------------------------------------
void Material::RefuseArgument(std::wstring_view interfaceName, std::wstring_view operation,
                              const com::RefusedArgument& refused) {
    const std::wstring header = std::wstring(interfaceName) + L"_" + std::wstring(operation);
    const Operation op{interfaceName, operation, header};
    try {
        CallTrace trace(op.header, number_);
        trace.Text(refused.name, refused.shown);
    } catch (const RaisedError&) {
        // The report itself failed: the refusal is what the client learns.
    }
    try {
        RaiseInvalid({refused.name, refused.position}, refused.problem);
    } catch (const CapeFailure& failure) {
        Failed(op, failure);
    }
}


std::wstring Material::GetComponentName() {
    return Traced(KORVID_OPERATION(ICapeIdentification, ComponentName), [&](CallTrace& trace) {
        trace.Text(L"Returned", name_);
        return name_;
    });
}

void Material::PutComponentName(std::wstring_view name) {
    Traced(KORVID_OPERATION(ICapeIdentification, ComponentName), [&](CallTrace& trace) {
        trace.Text(L"name", name);
        name_ = name;
    });
}

std::wstring Material::GetComponentDescription() {
    return Traced(KORVID_OPERATION(ICapeIdentification, ComponentDescription),
                  [&](CallTrace& trace) {
                      trace.Text(L"Returned", description_);
                      return description_;
                  });
}

void Material::PutComponentDescription(std::wstring_view description) {
    Traced(KORVID_OPERATION(ICapeIdentification, ComponentDescription), [&](CallTrace& trace) {
        trace.Text(L"desc", description);
        description_ = description;
    });
}

// --- Making, copying, clearing -------------------------------------------------

void Material::ClearAllProps() {
    Traced(KORVID_OPERATION(ICapeThermoMaterial, ClearAllProps), [&](CallTrace&) {
        values_.clear();
        present_.clear();
    });
}

IDispatch* Material::CreateMaterial() {
    return Traced(KORVID_OPERATION(ICapeThermoMaterial, CreateMaterial), [&](CallTrace& trace) {
        IDispatch* made = NewMaterialDispatch(this);
        trace.Text(L"Returned", L"Material " + std::to_wstring(
                                                   component_definition::Module1().g_materialsMade));
        return made;
    });
}

void Material::CopyFromMaterial(const Material* source, bool sourceGiven) {
    Traced(KORVID_OPERATION(ICapeThermoMaterial, CopyFromMaterial), [&](CallTrace& trace) {
        if (!sourceGiven) RaiseInvalid({L"source", 1}, L"is no object");
        if (!source) {
            RaiseInvalid({L"source", 1}, L"is no Korvid.Material of this apartment");
        }
        trace.Text(L"source", L"Material " + std::to_wstring(source->number_));
        bool same = source->compounds_.size() == compounds_.size();
        for (size_t k = 0; same && k < compounds_.size(); ++k) {
            same = source->compounds_[k].id == compounds_[k].id;
        }
        if (!same) {
            Raise(kECapeFailedInitialisation,
                  L"The source material's compounds differ from this material's.");
        }
        if (source == this) return;
        values_ = source->values_;
        present_ = source->present_;
    });
}

}  // namespace korvid::thermo_material
