// The fixed name tables of the material object. Every argument check compares
// against these; note the capitals inside some names and the one trailing
// blank of "jouleThomsonCoefficient ".
#pragma once

#include <array>
#include <string_view>

namespace korvid::material_object {

inline constexpr std::array<std::wstring_view, 37> kConstPropTable = {
    L"iupacName", L"casRegistryNumber", L"chemicalFormula", L"structureFormula",
    L"molecularWeight", L"criticalTemperature", L"criticalPressure", L"criticalVolume",
    L"criticalCompressibilityFactor", L"criticalDensity", L"acentricFactor", L"dipoleMoment",
    L"parachor", L"gyrationRadius", L"associationParameter", L"diffusionVolume",
    L"diffusionCoefficient", L"vanderwaalsVolume", L"vanderwaalsArea", L"energyLennardJones",
    L"lengthLennardJones", L"normalBoilingPoint", L"HeatOfVaporizationAtNormalBoilingPoint",
    L"normalFreezingPoint", L"heatOfFusionAtNormalFreezingPoint", L"liquidDensityAt25C",
    L"liquidVolumeAt25C", L"IdealGasGibbsFreeEnergyOfFormationAt25C",
    L"standardFormationEnthalpySolid", L"standardFormationEnthalpyLiquid",
    L"standardFormationEnthalpyGas", L"standardFreeFormationEnthalpySolid",
    L"StandardFreeFormationEnthalpyLiquid", L"standardFreeFormationEnthalpyGas",
    L"standardEntropySolid", L"standardEntropyLiquid", L"standardEntropyGas",
};

inline constexpr std::array<std::wstring_view, 51> kNonConstPropTable = {
    L"vaporPressure", L"sublimationPressure", L"meltingPressure",
    L"glassTransitionTemperature", L"solidSolidPhaseTransitionTemperature",
    L"virialCoefficient", L"surfaceTension", L"expansivity", L"compressibilityCoefficient",
    L"compressibilityFactor", L"jouleThomsonCoefficient ", L"heatOfVaporization",
    L"heatOfSublimation", L"heatOfFusion", L"heatOfSolidSolidPhaseTransition",
    L"volumeChangeUponVaporization", L"volumeChangeUponSublimation",
    L"volumeChangeUponMelting", L"volumeChangeUponSolidSolidPhaseTransition", L"heatCapacity",
    L"idealGasHeatCapacity", L"idealGasEnthalpy", L"excessEnthalpy", L"excessEnergy",
    L"excessGibbsFreeEnergy", L"excessHelmholtzFreeEnergy", L"excessEntropy", L"excessVolume",
    L"specificEnthalpy", L"specificEnergy", L"specificGibbsFreeEnergy",
    L"specificHelmholtzFreeEnergy", L"specificEntropy", L"specificVolume",
    L"partialMolarEnthalpy", L"partialMolarEnergy", L"partialGibbsFreeEnergy",
    L"partialHelmholtzFreeEnergy", L"partialMolarVolume", L"compressibility", L"viscosity",
    L"thermalConductivity", L"selfDiffusionCoefficient", L"fugacity", L"fugacityCoefficient",
    L"activity", L"activityCoefficient", L"bubblePointPressure", L"bubblePointTemperature",
    L"dewPointPressure", L"dewPointTemperature",
};

inline constexpr std::array<std::wstring_view, 8> kPhaseTable = {
    L"overall", L"liquid", L"vapor", L"solid",
    L"LiquidLiquid", L"VaporLiquid", L"VaporLiquidLiquid", L"GasLiquid",
};

inline constexpr std::array<std::wstring_view, 15> kGlobalVarTable = {
    L"TEMPERATURE", L"PRESSURE", L"VOLUME", L"DENSITY", L"ENTHALPY", L"ENTROPY",
    L"ENERGY", L"FREEENERGY", L"FRACTION", L"MOLE", L"MASS", L"FLOW",
    L"totalFlow", L"phaseFraction", L"kvalues",
};

// Upper bound of the phase table: the store's phase range is 0..kPhaseUpper.
inline constexpr int kPhaseUpper = static_cast<int>(kPhaseTable.size()) - 1;

}  // namespace korvid::material_object
