// A platform for unit tests: in-memory files, recorded message boxes, dialog
// answers and clipboard text given in advance, a fixed locale, and a form
// "window" that runs a test's script instead of a person.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/definition_form_ui.h"
#include "platform/platform.h"
#include "platform/random.h"
#include "platform/text_lines.h"

namespace korvid::platform {

class ScriptedPlatform final : public Platform, public FormWindow {
public:
    struct Message {
        std::wstring text;
        std::wstring caption;
        MessageIcon icon;
        MessageMode mode;
    };
    // What the test's form script receives: the state, the handler and the
    // window to pass to the handler's events.
    using FormScript =
        std::function<void(DefinitionFormState&, DefinitionFormHandler&, FormWindow&)>;

    // `lcid` decides the decimal separator of number conversions
    // (0x0409 en-US ".", 0x0407 de-DE ",").
    explicit ScriptedPlatform(uint32_t lcid = 0x0409);
    ~ScriptedPlatform() override;

    // --- What the test sets up ---------------------------------------------
    std::wstring moduleFolder = L"C:\\korvid";
    // Files by path (the in-memory file system); folders that exist.
    std::map<std::wstring, std::wstring> files;
    std::vector<std::wstring> folders = {L"C:\\korvid", L"C:\\korvid\\CapeOpenValidationReports"};
    // The process's environment variables.
    std::map<std::wstring, std::wstring> environment;
    // Answers of the next open/save dialogs (nullopt: cancelled).
    std::deque<std::optional<std::wstring>> openDialogAnswers;
    std::deque<std::optional<std::wstring>> saveDialogAnswers;
    std::optional<std::wstring> clipboard;
    // Scripts of the next forms shown; a form with no script left fails the test.
    std::deque<FormScript> formScripts;
    // How a showing ends whose script leaves the form open.
    FormEnd formEndWhenOpen = FormEnd::Quit;
    // Width of one character in twips for text measurement.
    int twipsPerChar = 100;
    // Menu command chosen when the pop-up menu is shown (0 none, 1 copy, 2 paste).
    int popupChoice = 0;
    // Called while a message box is shown (after it is recorded), as a person
    // would look at the screen before closing it.
    std::function<void(const Message&)> onMessage;

    // --- What the test reads back -------------------------------------------
    std::vector<Message> messages;
    std::vector<FileDialogRequest> dialogRequests;
    int formsShown = 0;
    int popupsShown = 0;

    // The written content of a file (as text, with its CR LF line ends).
    std::wstring FileText(const std::wstring& path) const;

    // --- Platform -------------------------------------------------------------
    void AppendNumber(TextBuffer& out, double value) override;
    bool ParseNumber(std::wstring_view text, double* value) override;
    std::wstring UpperCase(std::wstring_view text) override;
    uint32_t Lcid() override { return lcid_; }
    void ShowMessage(std::wstring_view text, std::wstring_view caption, MessageIcon icon,
                     MessageMode mode) override;
    int16_t FreeFileNumber() override;
    bool OpenFile(int16_t fileNo, const std::wstring& path, FileMode mode) override;
    bool IsFileOpen(int16_t fileNo) override;
    void CloseFile(int16_t fileNo) override;
    bool WriteText(int16_t fileNo, std::wstring_view text) override;
    bool ReadLine(int16_t fileNo, std::wstring* line) override;
    std::wstring ModuleFolder() override { return moduleFolder; }
    std::wstring EnvironmentVariable(const wchar_t* name) override {
        const auto it = environment.find(name);
        return it == environment.end() ? std::wstring() : it->second;
    }
    std::optional<std::wstring> ShowOpenDialog(FileDialogRequest& request) override;
    std::optional<std::wstring> ShowSaveDialog(FileDialogRequest& request) override;
    std::optional<std::wstring> ClipboardText() override { return clipboard; }
    bool SetClipboardText(std::wstring_view text) override;
    float NextRandom() override { return random_.Next(); }
    FormEnd RunModalForm(DefinitionFormState& state, DefinitionFormHandler& handler) override;

    // --- FormWindow -------------------------------------------------------------
    int TextWidthTwips(const std::wstring& text) override;
    void PopupCopyPasteMenu() override;

private:
    struct OpenFileEntry {
        std::wstring path;
        FileMode mode;
        LineReader reader;
    };

    uint32_t lcid_;
    std::wstring decimalSeparator_ = L".";
    std::map<int16_t, OpenFileEntry> open_;
    Rnd24 random_;
    DefinitionFormState* activeState_ = nullptr;
    DefinitionFormHandler* activeHandler_ = nullptr;
};

// Installs a scripted platform for the lifetime of a test.
class ScopedPlatform {
public:
    explicit ScopedPlatform(Platform& platform) { SetPlatform(&platform); }
    ~ScopedPlatform() { SetPlatform(nullptr); }
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;
};

}  // namespace korvid::platform
