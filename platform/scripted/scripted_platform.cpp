#include "platform/scripted/scripted_platform.h"

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <stdexcept>

#include "platform/number_format.h"

namespace korvid::platform {

ScriptedPlatform::ScriptedPlatform(uint32_t lcid) : lcid_(lcid) {
    wchar_t separator[8] = L".";
    if (GetLocaleInfoW(lcid_, LOCALE_SDECIMAL, separator, 8) != 0) decimalSeparator_ = separator;
}
ScriptedPlatform::~ScriptedPlatform() = default;

std::wstring ScriptedPlatform::FileText(const std::wstring& path) const {
    auto it = files.find(path);
    return it == files.end() ? std::wstring() : it->second;
}

void ScriptedPlatform::AppendNumber(TextBuffer& out, double value) {
    AppendGeneralNumber(out, value, decimalSeparator_);
}

bool ScriptedPlatform::ParseNumber(std::wstring_view text, double* value) {
    // As the real platform: a NUL inside makes the text no number.
    if (text.find(L'\0') != std::wstring_view::npos) return false;
    std::wstring copy(text);
    return SUCCEEDED(VarR8FromStr(copy.data(), lcid_, 0, value));
}

std::wstring ScriptedPlatform::UpperCase(std::wstring_view text) {
    std::wstring upper(text);
    if (!upper.empty()) {
        LCMapStringW(lcid_, LCMAP_UPPERCASE, text.data(), static_cast<int>(text.size()),
                     upper.data(), static_cast<int>(upper.size()));
    }
    return upper;
}

void ScriptedPlatform::ShowMessage(std::wstring_view text, std::wstring_view caption,
                                   MessageIcon icon, MessageMode mode) {
    messages.push_back({std::wstring(text), std::wstring(caption), icon, mode});
    if (onMessage) onMessage(messages.back());
}

int16_t ScriptedPlatform::FreeFileNumber() {
    for (int16_t n = 1; n <= 255; ++n) {
        if (!open_.count(n)) return n;
    }
    return 0;
}

bool ScriptedPlatform::OpenFile(int16_t fileNo, const std::wstring& path, FileMode mode) {
    if (fileNo < 1 || fileNo > 255 || open_.count(fileNo)) return false;
    if (mode == FileMode::Output) {
        const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) return false;
        if (path.find_first_of(L"<>:\"/|?*", 2) != std::wstring::npos) return false;
        files[path].clear();
        open_.emplace(fileNo, OpenFileEntry{path, mode, LineReader()});
    } else {
        auto it = files.find(path);
        if (it == files.end()) return false;
        open_.emplace(fileNo, OpenFileEntry{path, mode, LineReader(it->second)});
    }
    return true;
}

bool ScriptedPlatform::IsFileOpen(int16_t fileNo) { return open_.count(fileNo) != 0; }

void ScriptedPlatform::CloseFile(int16_t fileNo) { open_.erase(fileNo); }

bool ScriptedPlatform::WriteText(int16_t fileNo, std::wstring_view text) {
    auto it = open_.find(fileNo);
    if (it == open_.end() || it->second.mode != FileMode::Output) return false;
    files[it->second.path].append(text);
    return true;
}

bool ScriptedPlatform::ReadLine(int16_t fileNo, std::wstring* line) {
    auto it = open_.find(fileNo);
    if (it == open_.end() || it->second.mode != FileMode::Input) return false;
    return it->second.reader.Next(line);
}

std::optional<std::wstring> ScriptedPlatform::ShowOpenDialog(FileDialogRequest& request) {
    dialogRequests.push_back(request);
    if (openDialogAnswers.empty()) return std::nullopt;
    auto answer = openDialogAnswers.front();
    openDialogAnswers.pop_front();
    if (answer) request.fileName = *answer;
    return answer;
}

std::optional<std::wstring> ScriptedPlatform::ShowSaveDialog(FileDialogRequest& request) {
    dialogRequests.push_back(request);
    if (saveDialogAnswers.empty()) return std::nullopt;
    auto answer = saveDialogAnswers.front();
    saveDialogAnswers.pop_front();
    if (answer) request.fileName = *answer;
    return answer;
}

bool ScriptedPlatform::SetClipboardText(std::wstring_view text) {
    clipboard = std::wstring(text);
    return true;
}

FormEnd ScriptedPlatform::RunModalForm(DefinitionFormState& state, DefinitionFormHandler& handler) {
    ++formsShown;
    if (formScripts.empty()) throw std::logic_error("a form was shown with no script for it");
    FormScript script = std::move(formScripts.front());
    formScripts.pop_front();
    activeState_ = &state;
    activeHandler_ = &handler;
    handler.OnFormLoad(*this);
    script(state, handler, *this);
    activeState_ = nullptr;
    activeHandler_ = nullptr;
    // A script that leaves the form open plays the host's WM_QUIT.
    return state.closed ? FormEnd::Closed : formEndWhenOpen;
}

int ScriptedPlatform::TextWidthTwips(const std::wstring& text) {
    return static_cast<int>(text.size()) * twipsPerChar;
}

void ScriptedPlatform::PopupCopyPasteMenu() {
    ++popupsShown;
    if (!activeHandler_) return;
    if (popupChoice == 1) activeHandler_->OnMenuCopy(*this);
    if (popupChoice == 2) activeHandler_->OnMenuPaste(*this);
}

}  // namespace korvid::platform
