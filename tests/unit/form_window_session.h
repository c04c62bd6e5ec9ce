// A real definition form window in this process, shown over a recording
// handler and driven from a second thread through window messages, as a
// person's clicks and keys would drive it. Needs a display: without one the
// tests that use it are skipped.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/definition_form_ui.h"
#include "platform/win32/form_controls.h"

namespace korvid::testing {

// Records every event as text ("Ok", "ReportName:ab", "GridClick@2,3", ...)
// and lets a test react to an event by changing the state, as the form's
// logic would.
class RecordingHandler final : public platform::DefinitionFormHandler {
public:
    explicit RecordingHandler(platform::DefinitionFormState& state) : state_(state) {}

    std::vector<std::string> Events() const;
    void ClearEvents();
    // Called on the window's thread after the event is recorded.
    void SetReaction(std::function<void(const std::string&, platform::FormWindow&)> react);
    void ConsumeKeys(std::set<int> keys);
    std::atomic<bool> allowClose{false};

    void OnFormLoad(platform::FormWindow& w) override { Record("Load", w); }
    bool OnCloseRequest(platform::FormWindow& w) override;
    void OnOkClick(platform::FormWindow& w) override { Record("Ok", w); }
    void OnLoadClick(platform::FormWindow& w) override { Record("LoadClick", w); }
    void OnSaveClick(platform::FormWindow& w) override { Record("SaveClick", w); }
    void OnReportNameChange(platform::FormWindow& w, const std::wstring& text) override;
    void OnOptionClick(platform::FormWindow& w, bool option1) override;
    void OnGridClick(platform::FormWindow& w) override;
    void OnGridKeyPress(platform::FormWindow& w, int code) override;
    void OnGridMouseDown(platform::FormWindow& w, int button) override;
    void OnMenuCopy(platform::FormWindow& w) override { Record("MenuCopy", w); }
    void OnMenuPaste(platform::FormWindow& w) override { Record("MenuPaste", w); }
    void OnEditGotFocus(platform::FormWindow& w) override;
    bool OnEditKeyPress(platform::FormWindow& w, int code) override;
    void OnEditTextChange(platform::FormWindow& w, const std::wstring& text) override;
    void OnValidClick(platform::FormWindow& w) override { Record("Valid", w); }
    void OnCancelClick(platform::FormWindow& w) override { Record("Cancel", w); }

private:
    void Record(const std::string& event, platform::FormWindow& window);

    platform::DefinitionFormState& state_;
    mutable std::mutex mutex_;
    std::vector<std::string> events_;
    std::function<void(const std::string&, platform::FormWindow&)> react_;
    std::set<int> consumed_;
};

struct FormSession {
    FormSession();

    platform::DefinitionFormState state;
    RecordingHandler handler{state};
    HWND form = nullptr;

    HWND Control(platform::form_controls::Id id) const;
    std::wstring Text(platform::form_controls::Id id) const;
    // Polls until `condition` holds (posted messages are handled later than sent ones).
    static bool WaitFor(const std::function<bool()>& condition, int milliseconds = 3000);
    bool WaitForEvent(const std::string& event) const;
    // The centre of grid cell (row, col) in the grid's client area, for the
    // grid scrolled to its top left.
    POINT CellCentre(int row, int col) const;
};

// Shows the form on this thread and runs `drive` on another one while it is
// up; then lets the handler close it. Returns false when the form did not
// appear.
bool RunFormSession(FormSession& session, const std::function<void(FormSession&)>& drive);

// True when windows can be created (a display is there).
bool WindowsAvailable();

std::string Narrow(const std::wstring& text);

}  // namespace korvid::testing
