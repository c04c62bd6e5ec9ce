// The platform of the benchmark: the real one in everything but the
// definition form, which it fills and confirms itself so that no person is
// needed: row 1 from the component table, the report name, OK.
#pragma once

#include <string>

#include "platform/platform.h"

namespace korvid::bench {

class BenchPlatform final : public platform::Platform {
public:
    // `reportName` empty: the form switches reporting off.
    explicit BenchPlatform(std::wstring reportName) : reportName_(std::move(reportName)) {}

    void AppendNumber(platform::TextBuffer& out, double value) override {
        real_.AppendNumber(out, value);
    }
    bool ParseNumber(std::wstring_view text, double* value) override {
        return real_.ParseNumber(text, value);
    }
    std::wstring UpperCase(std::wstring_view text) override { return real_.UpperCase(text); }
    uint32_t Lcid() override { return real_.Lcid(); }
    void ShowMessage(std::wstring_view text, std::wstring_view caption, platform::MessageIcon icon,
                     platform::MessageMode mode) override {
        real_.ShowMessage(text, caption, icon, mode);
    }
    int16_t FreeFileNumber() override { return real_.FreeFileNumber(); }
    bool OpenFile(int16_t fileNo, const std::wstring& path, platform::FileMode mode) override {
        return real_.OpenFile(fileNo, path, mode);
    }
    bool IsFileOpen(int16_t fileNo) override { return real_.IsFileOpen(fileNo); }
    void CloseFile(int16_t fileNo) override { real_.CloseFile(fileNo); }
    bool WriteText(int16_t fileNo, std::wstring_view text) override {
        return discardWrites || real_.WriteText(fileNo, text);
    }
    bool ReadLine(int16_t fileNo, std::wstring* line) override {
        return real_.ReadLine(fileNo, line);
    }
    std::wstring ModuleFolder() override { return real_.ModuleFolder(); }
    std::wstring EnvironmentVariable(const wchar_t* name) override {
        return real_.EnvironmentVariable(name);
    }
    std::optional<std::wstring> ShowOpenDialog(platform::FileDialogRequest& request) override {
        return real_.ShowOpenDialog(request);
    }
    std::optional<std::wstring> ShowSaveDialog(platform::FileDialogRequest& request) override {
        return real_.ShowSaveDialog(request);
    }
    std::optional<std::wstring> ClipboardText() override { return real_.ClipboardText(); }
    bool SetClipboardText(std::wstring_view text) override { return real_.SetClipboardText(text); }
    float NextRandom() override { return real_.NextRandom(); }

    platform::FormEnd RunModalForm(platform::DefinitionFormState& state,
                                   platform::DefinitionFormHandler& handler) override;

    // The folder the object writes its reports to (beside the executable),
    // made when it is missing.
    std::wstring ReportFolder();

    // While set, traced lines are built but not handed to the OS: the cost of
    // the trace text alone.
    bool discardWrites = false;

private:
    platform::Platform& real_ = platform::DefaultPlatform();
    std::wstring reportName_;
};

// Puts methane, ethane and water into this thread's component table, as a
// loaded definition file would.
void UseThreeComponents();

}  // namespace korvid::bench
