// The definition form's window object: creation and layout of the controls
// (form_window_controls.cpp), events, state sync and the modal loop
// (form_window.cpp).
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/definition_form_ui.h"
#include "platform/win32/form_controls.h"
#include "platform/win32/form_layout.h"
#include "platform/win32/grid_control.h"

namespace korvid::platform {

class DefinitionFormWindow final : public FormWindow, public GridEvents {
public:
    DefinitionFormWindow(DefinitionFormState& state, DefinitionFormHandler& handler);
    ~DefinitionFormWindow() override;
    DefinitionFormWindow(const DefinitionFormWindow&) = delete;
    DefinitionFormWindow& operator=(const DefinitionFormWindow&) = delete;

    // The grid shows what the event being handled has changed so far.
    void ShowGridChanges() { state_.grid.TellHeld(); }

    // Shows the form modally until the state says it has closed, or until
    // it cannot go on.
    FormEnd Run();

    // --- FormWindow ---------------------------------------------------------
    int TextWidthTwips(const std::wstring& text) override;
    void PopupCopyPasteMenu() override;

    // --- GridEvents ---------------------------------------------------------
    void OnGridClick() override;
    void OnGridKeyPress(int charCode) override;
    void OnGridMouseDown(int button) override;

private:
    // form_window_controls.cpp
    static bool RegisterClasses(HINSTANCE instance);
    static bool RegisterClassesLocked(HINSTANCE instance);
    static void UnregisterClasses(HINSTANCE instance);
    bool CreateForm(HWND owner);
    void CreateControls();
    void AddTooltips();
    FormMetrics Measure() const;
    void ApplyLayout();
    static LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);

    // form_window.cpp
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code);
    LRESULT OnEditColours(HDC dc);
    void OnActivate(bool active);
    bool OnEditChar(int charCode);
    form_controls::LoadFileAnswer OnCopyData(const COPYDATASTRUCT& data);
    void RunMessageLoop();

    // Runs one handler event between a refresh of the state from the controls
    // and a sync of the controls from the state. A failing event leaves the
    // form as the state then stands.
    template <typename Event>
    auto Forward(Event&& event) {
        RefreshFromControls();
        using Result = std::invoke_result_t<Event>;
        if constexpr (std::is_void_v<Result>) {
            RunHeld(event);
            Sync();
        } else {
            Result result{};
            RunHeld([&] { result = event(); });
            Sync();
            return result;
        }
    }
    // Runs `event` with the grid's notices held: the grid hears of its
    // changes once, when it is over.
    template <typename Event>
    void RunHeld(Event&& event) {
        GridModel::HeldNotices held(state_.grid);
        ++eventsUnderWay_;
        try {
            event();
        } catch (...) {
            OutputDebugStringW(L"Korvid: a definition form event failed\n");
        }
        --eventsUnderWay_;
    }
    void RefreshFromControls();
    void Sync();

    HWND Control(form_controls::Id id) const { return controls_[id - form_controls::kFirstId]; }
    FormFocus FocusOf(HWND window) const;
    HWND WindowFor(FormFocus focus) const;
    std::wstring TextOf(HWND window) const;

    DefinitionFormState& state_;
    DefinitionFormHandler& handler_;
    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    HWND tooltips_ = nullptr;
    std::array<HWND, form_controls::kControlCount> controls_{};

    // What the edit box was last told to look like.
    EditBackground shownBackground_ = EditBackground::Initial;
    bool shownBlackText_ = false;

    int syncing_ = 0;             // writing the state into the controls
    int eventsUnderWay_ = 0;      // handler events begun and not yet over
    bool looping_ = false;        // the form's own message loop runs
    bool restoringFocus_ = false; // giving the focus back on activation
    HWND lastFocus_ = nullptr;    // the control that had the focus when the form was left
};

}  // namespace korvid::platform
