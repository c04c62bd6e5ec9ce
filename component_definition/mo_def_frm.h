// MODefFrm: the logic of the component definition form, over the grid model
// and the form state that the window shows. Every event handler here is what
// the form does when a person clicks or types; the window only forwards.
#pragma once

#include <cstdint>
#include <string>

#include "platform/definition_form_ui.h"
#include "platform/platform.h"

namespace korvid::component_definition {

struct Module1State;
struct LoadResult;
struct HeadlessDefinition;

class MODefFrm final : public platform::DefinitionFormHandler {
public:
    explicit MODefFrm(Module1State& module);

    // Loads the form afresh and shows it modally; returns once it has closed,
    // or cannot go on, and says which.
    platform::FormEnd ShowModal();

    // The definition given up front, without a window: Load of its file, its
    // id option, its report name and OK, as a person would do them. Returns
    // what the status line says when the form would stay open (the
    // definition's own refusal first), or an empty text once OK has closed it.
    std::wstring DefineWithoutWindow(const HeadlessDefinition& definition);

    // True when row 1 holds a name and a CAS number.
    bool CheckMODef() const;

    platform::DefinitionFormState& State() { return state_; }
    const platform::DefinitionFormState& State() const { return state_; }
    platform::GridModel& Grid() { return state_.grid; }
    int16_t EditCol() const { return editCol_; }

    // --- DefinitionFormHandler -------------------------------------------
    void OnFormLoad(platform::FormWindow& window) override;
    bool OnCloseRequest(platform::FormWindow& window) override;
    void OnOkClick(platform::FormWindow& window) override;
    void OnLoadClick(platform::FormWindow& window) override;
    void OnSaveClick(platform::FormWindow& window) override;
    bool OnFileHanded(platform::FormWindow& window, const std::wstring& path) override;
    void OnReportNameChange(platform::FormWindow& window, const std::wstring& text) override;
    void OnOptionClick(platform::FormWindow& window, bool option1) override;
    void OnGridClick(platform::FormWindow& window) override;
    void OnGridKeyPress(platform::FormWindow& window, int charCode) override;
    void OnGridMouseDown(platform::FormWindow& window, int button) override;
    void OnMenuCopy(platform::FormWindow& window) override;
    void OnMenuPaste(platform::FormWindow& window) override;
    void OnEditGotFocus(platform::FormWindow& window) override;
    bool OnEditKeyPress(platform::FormWindow& window, int charCode) override;
    void OnEditTextChange(platform::FormWindow& window, const std::wstring& text) override;
    void OnValidClick(platform::FormWindow& window) override;
    void OnCancelClick(platform::FormWindow& window) override;

private:
    void Reset();
    void Close();
    // Closes the form when CheckMODef passes; otherwise says why not.
    bool CloseIfDefined();
    // Shows what Load read in the grid and the status line; false when the
    // grid was not filled (nothing read, or no component in the file).
    bool ShowLoaded(platform::FormWindow& window, const LoadResult& result);

    Module1State& module_;
    platform::DefinitionFormState state_;
    int16_t editCol_ = 0;
    // A key in the grid began the box's text: when the box then receives the
    // focus, the caret goes after that character instead of selecting it, so
    // that the next keys go on typing rather than replace it.
    bool keyBeganText_ = false;
    // CmDlg1 keeps its file name from one use to the next while the form exists.
    std::wstring cmDlg1FileName_;
};

}  // namespace korvid::component_definition
