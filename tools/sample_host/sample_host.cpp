// A sample process-simulation host: creates the Korvid test material object
// by its ProgID, hands its ICapeThermoMaterialObject to the unit under test,
// runs the unit and releases everything.
//
//   korvid-sample-host.exe [temperature pressure x1 x2 ...]
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cwchar>
#include <vector>

#include "tools/sample_host/sample_unit.h"

int wmain(int argc, wchar_t** argv) {
    double temperature = 350.0, pressure = 200000.0;
    std::vector<double> fractions = {0.5, 0.3, 0.2};
    if (argc >= 3) {
        temperature = std::wcstod(argv[1], nullptr);
        pressure = std::wcstod(argv[2], nullptr);
        fractions.clear();
        for (int k = 3; k < argc; ++k) fractions.push_back(std::wcstod(argv[k], nullptr));
    }

    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
    int exitCode = 0;
    {
        CLSID clsid{};
        ICapeThermoMaterialObject* feed = nullptr;
        std::printf("Host: creating Korvid.Tessel (its definition form opens)\n");
        HRESULT hr = CLSIDFromProgID(L"Korvid.Tessel", &clsid);
        if (SUCCEEDED(hr)) {
            hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_ICapeThermoMaterialObject, reinterpret_cast<void**>(&feed));
        }
        if (FAILED(hr)) {
            std::fprintf(stderr, "Host: cannot create Korvid.Tessel: 0x%08lX\n",
                         static_cast<unsigned long>(hr));
            exitCode = 1;
        } else {
            {
                korvid::sample::FlashDrum drum(feed);
                std::printf("Host: calculating the unit\n");
                if (!drum.Calculate(temperature, pressure, fractions)) exitCode = 2;
            }
            feed->Release();
            std::printf("Host: material objects released\n");
        }
    }
    CoUninitialize();
    return exitCode;
}
