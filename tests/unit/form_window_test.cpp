// The real definition form window: what it shows, how it runs modally, how it
// forwards a person's actions and how it shows the state the logic leaves.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "form_window_session.h"
#include "platform/win32/grid_control.h"
#include "platform/win32/grid_geometry.h"

namespace korvid::testing {
namespace {

using namespace platform::form_controls;
using platform::EditBackground;
using platform::FormFocus;
using Events = std::vector<std::string>;

class FormWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!WindowsAvailable()) GTEST_SKIP() << "no display: windows cannot be created";
    }
    // Runs the form with `drive` and fails when it did not appear.
    void Run(const std::function<void(FormSession&)>& drive) {
        ASSERT_TRUE(RunFormSession(session_, drive)) << "the form did not appear";
    }
    FormSession session_;
};

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

HWND FocusOfThread(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

void Click(HWND window, POINT at) {
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

TEST_F(FormWindowTest, ShowsTheFormTopmostAndModalWithItsControls) {
    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    bool hostEnabledDuringForm = true;
    Run([&](FormSession& s) {
        hostEnabledDuringForm = IsWindowEnabled(host) != FALSE;
        wchar_t caption[64] = {};
        GetWindowTextW(s.form, caption, 64);
        EXPECT_STREQ(caption, L"Material Object Definition");
        EXPECT_TRUE(GetWindowLongW(s.form, GWL_EXSTYLE) & WS_EX_TOPMOST);

        struct Expected {
            Id id;
            const wchar_t* className;
            const wchar_t* text;
            Id parent;
        };
        const Expected kControls[] = {
            {Grid, L"KorvidGrid", nullptr, Grid},
            {Frame2, L"KorvidFrame", L"", Grid},
            {ValidButton, L"Button", L"Accept", Frame2},
            {CancelButton, L"Button", L"Cancel", Frame2},
            {Changefeild, L"Edit", L"", Frame2},
            {Label1, L"Static", L"Name For Report [Optional]", Grid},
            {FileNameTxt, L"Edit", L"", Grid},
            {Option1, L"Button", L"Use Name as CompID", Grid},
            {Option2, L"Button", L"Use CAS number as CompID", Grid},
            {SaveButton, L"Button", L"Save", Grid},
            {LoadButton, L"Button", L"Load", Grid},
            {Label2, L"Static", L"", Grid},
            {OKButton, L"Button", L"OK", Grid},
        };
        for (const Expected& e : kControls) {
            HWND control = s.Control(e.id);
            ASSERT_NE(control, nullptr) << "control " << e.id;
            EXPECT_TRUE(IsWindowVisible(control)) << "control " << e.id;
            EXPECT_EQ(_wcsicmp(ClassOf(control).c_str(), e.className), 0) << "control " << e.id;
            if (e.text) {
                EXPECT_EQ(s.Text(e.id), e.text) << "control " << e.id;
            }
            // Grid as parent stands for the form itself.
            HWND parent = e.parent == Grid ? s.form : s.Control(e.parent);
            EXPECT_EQ(GetParent(control), parent) << "control " << e.id;
        }
        EXPECT_EQ(SendMessageW(s.Control(Option1), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SendMessageW(s.Control(Option2), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_EQ(FocusOfThread(s.form), s.Control(Grid));
    });
    EXPECT_FALSE(hostEnabledDuringForm);
    EXPECT_TRUE(IsWindowEnabled(host));
    EXPECT_FALSE(IsWindow(session_.form));
    EXPECT_TRUE(session_.state.closed);
    const Events events = session_.handler.Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), "Load");
    EXPECT_EQ(std::count(events.begin(), events.end(), "Load"), 1);
    DestroyWindow(host);
}

TEST_F(FormWindowTest, ForwardsEveryActionAsItsEvent) {
    struct Case {
        const char* action;
        std::function<void(FormSession&)> act;
        Events expected;
    };
    auto click = [](Id id) {
        return [id](FormSession& s) { SendMessageW(s.Control(id), BM_CLICK, 0, 0); };
    };
    auto type = [](Id id, wchar_t ch) {
        return [id, ch](FormSession& s) { SendMessageW(s.Control(id), WM_CHAR, ch, 1); };
    };
    const Case kCases[] = {
        {"OK button", click(OKButton), {"Ok"}},
        {"Load button", click(LoadButton), {"LoadClick"}},
        {"Save button", click(SaveButton), {"SaveClick"}},
        {"check-mark button", click(ValidButton), {"Valid"}},
        {"cross button", click(CancelButton), {"Cancel"}},
        {"second option", click(Option2), {"Option:0"}},
        {"first option", click(Option1), {"Option:1"}},
        {"typing a report name", type(FileNameTxt, L'r'), {"ReportName:r"}},
        {"typing into the edit box", type(Changefeild, L'x'), {"EditKey:120", "EditText:x"}},
        {"Enter in the edit box", type(Changefeild, L'\r'), {"EditKey:13"}},
        {"a key in the grid", type(Grid, L'5'), {"GridKey:53"}},
        {"Enter in the grid", type(Grid, L'\r'), {"GridKey:13"}},
        {"right button on the grid",
         [](FormSession& s) { SendMessageW(s.Control(Grid), WM_RBUTTONDOWN, MK_RBUTTON, 0); },
         {"GridMouse:2"}},
        {"left click on cell (2, 3)",
         [](FormSession& s) { Click(s.Control(Grid), s.CellCentre(2, 3)); },
         {"GridMouse:1", "GridClick@2,3"}},
        {"left click on the header row",
         [](FormSession& s) { Click(s.Control(Grid), s.CellCentre(0, 1)); },
         {"GridMouse:1"}},
        {"click into the edit box",
         [](FormSession& s) { Click(s.Control(Changefeild), POINT{3, 3}); },
         {"EditFocus:x"}},
        {"close command", [](FormSession& s) { SendMessageW(s.form, WM_CLOSE, 0, 0); },
         {"Close"}},
    };
    Run([&](FormSession& s) {
        for (const Case& c : kCases) {
            s.handler.ClearEvents();
            c.act(s);
            EXPECT_EQ(s.handler.Events(), c.expected) << c.action;
        }
        EXPECT_TRUE(IsWindowVisible(s.form)) << "a refused close must leave the form open";
    });
}

TEST_F(FormWindowTest, ShowsTheStateTheHandlerLeavesAfterAnEvent) {
    struct Case {
        const char* change;
        std::function<void(platform::DefinitionFormState&)> apply;
        std::function<void(FormSession&)> check;
    };
    auto colours = [](FormSession& s, COLORREF* back, COLORREF* text) {
        HDC dc = CreateCompatibleDC(nullptr);
        SendMessageW(s.Control(Frame2), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(s.Control(Changefeild)));
        *back = GetBkColor(dc);
        *text = GetTextColor(dc);
        DeleteDC(dc);
    };
    auto selection = [](FormSession& s) {
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(s.Control(Changefeild), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return std::make_pair(static_cast<int>(start), static_cast<int>(end));
    };
    const Case kCases[] = {
        {"status line", [](auto& st) { st.label2 = L"Enter or load valid components data."; },
         [](FormSession& s) { EXPECT_EQ(s.Text(Label2), L"Enter or load valid components data."); }},
        {"report name", [](auto& st) { st.fileNameTxt = L"run1"; },
         [](FormSession& s) {
             EXPECT_EQ(s.Text(FileNameTxt), L"run1");
             EXPECT_EQ(s.handler.Events(), Events{"Ok"}) << "no change event for the window's own write";
         }},
        {"second option", [](auto& st) { st.option1 = false; },
         [](FormSession& s) {
             EXPECT_EQ(SendMessageW(s.Control(Option1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
             EXPECT_EQ(SendMessageW(s.Control(Option2), BM_GETCHECK, 0, 0), BST_CHECKED);
         }},
        {"edit text wholly selected",
         [](auto& st) {
             st.changefeild.text = L"12.5";
             st.changefeild.selStart = 0;
             st.changefeild.selLength = 4;
         },
         [&](FormSession& s) {
             EXPECT_EQ(s.Text(Changefeild), L"12.5");
             EXPECT_EQ(selection(s), std::make_pair(0, 4));
         }},
        {"caret inside the text",
         [](auto& st) {
             st.changefeild.selStart = 1;
             st.changefeild.selLength = 2;
         },
         [&](FormSession& s) { EXPECT_EQ(selection(s), std::make_pair(1, 3)); }},
        {"editing background, black text",
         [](auto& st) {
             st.changefeild.background = EditBackground::Editing;
             st.changefeild.blackText = true;
         },
         [&](FormSession& s) {
             COLORREF back = 0, text = 1;
             colours(s, &back, &text);
             EXPECT_EQ(back, GetSysColor(COLOR_HIGHLIGHTTEXT));
             EXPECT_EQ(text, RGB(0, 0, 0));
         }},
        {"idle background", [](auto& st) { st.changefeild.background = EditBackground::Idle; },
         [&](FormSession& s) {
             COLORREF back = 0, text = 0;
             colours(s, &back, &text);
             EXPECT_EQ(back, GetSysColor(COLOR_ACTIVEBORDER));
         }},
        {"initial background", [](auto& st) { st.changefeild.background = EditBackground::Initial; },
         [&](FormSession& s) {
             COLORREF back = 0, text = 0;
             colours(s, &back, &text);
             EXPECT_EQ(back, GetSysColor(COLOR_WINDOW));
         }},
        {"focus to the edit box after new text",
         [](auto& st) {
             st.changefeild.text = L"45";
             st.focus = FormFocus::EditBox;
         },
         [](FormSession& s) {
             EXPECT_EQ(FocusOfThread(s.form), s.Control(Changefeild));
             EXPECT_EQ(s.handler.Events(), (Events{"Ok", "EditFocus:45"}));
         }},
        {"focus back to the grid", [](auto& st) { st.focus = FormFocus::Grid; },
         [](FormSession& s) { EXPECT_EQ(FocusOfThread(s.form), s.Control(Grid)); }},
        {"focus to the report name", [](auto& st) { st.focus = FormFocus::ReportName; },
         [](FormSession& s) { EXPECT_EQ(FocusOfThread(s.form), s.Control(FileNameTxt)); }},
    };
    Run([&](FormSession& s) {
        for (const Case& c : kCases) {
            SCOPED_TRACE(c.change);
            s.handler.ClearEvents();
            s.handler.SetReaction([&](const std::string& event, platform::FormWindow&) {
                if (event == "Ok") c.apply(s.state);
            });
            SendMessageW(s.Control(OKButton), BM_CLICK, 0, 0);
            c.check(s);
        }
    });
}

TEST_F(FormWindowTest, TextTheWindowWritesDoesNotComeBackAsAChange) {
    Run([&](FormSession& s) {
        s.handler.SetReaction([&](const std::string& event, platform::FormWindow&) {
            if (event.rfind("ReportName:", 0) == 0) {
                for (auto& ch : s.state.fileNameTxt) ch = static_cast<wchar_t>(towupper(ch));
            }
            if (event.rfind("EditText:", 0) == 0) s.state.changefeild.text += L"!";
        });
        SendMessageW(s.Control(FileNameTxt), WM_CHAR, L'a', 1);
        EXPECT_EQ(s.Text(FileNameTxt), L"A");
        SendMessageW(s.Control(Changefeild), WM_CHAR, L'q', 1);
        EXPECT_EQ(s.Text(Changefeild), L"q!");
        EXPECT_EQ(s.handler.Events(), (Events{"Load", "ReportName:a", "EditKey:113", "EditText:q"}));
    });
}

TEST_F(FormWindowTest, KeysReachTheHandlerThroughTheDialogKeysAndConsumedOnesStopThere) {
    struct Case {
        const char* key;
        Id target;
        UINT virtualKey;
        bool consumed;
        std::string event;
        std::wstring boxText;  // the edit box afterwards
    };
    const Case kCases[] = {
        {"Enter in the edit box", Changefeild, VK_RETURN, true, "EditKey:13", L""},
        {"Escape in the edit box", Changefeild, VK_ESCAPE, true, "EditKey:27", L""},
        {"a consumed letter", Changefeild, 'K', true, "EditKey:107", L""},
        {"a letter passed on", Changefeild, 'K', false, "EditKey:107", L"k"},
        {"Enter in the grid", Grid, VK_RETURN, false, "GridKey:13", L"k"},
        {"Escape in the grid", Grid, VK_ESCAPE, false, "GridKey:27", L"k"},
    };
    Run([&](FormSession& s) {
        for (const Case& c : kCases) {
            s.handler.ClearEvents();
            s.handler.ConsumeKeys(c.consumed ? std::set<int>{13, 27, 107} : std::set<int>{});
            // Posted, as the keyboard does, so that the form's loop and its
            // dialog keys see the key before the control does.
            PostMessageW(s.Control(c.target), WM_KEYDOWN, c.virtualKey, 1);
            EXPECT_TRUE(s.WaitForEvent(c.event)) << c.key;
            EXPECT_EQ(s.Text(Changefeild), c.boxText) << c.key;
        }
        // Tab leaves the grid for the next control instead of reaching the handler.
        s.handler.SetReaction([&](const std::string& event, platform::FormWindow&) {
            if (event == "Ok") s.state.focus = FormFocus::Grid;
        });
        SendMessageW(s.Control(OKButton), BM_CLICK, 0, 0);
        ASSERT_EQ(FocusOfThread(s.form), s.Control(Grid));
        s.handler.SetReaction(nullptr);
        s.handler.ClearEvents();
        PostMessageW(s.Control(Grid), WM_KEYDOWN, VK_TAB, 1);
        EXPECT_TRUE(FormSession::WaitFor([&] { return FocusOfThread(s.form) == s.Control(Option1); }));
        EXPECT_EQ(s.handler.Events(), Events{});
    });
}

TEST_F(FormWindowTest, GridShowsTheModelAndAnswersOtherPrograms) {
    const UINT currentCell = RegisterWindowMessageW(kGridCurrentCellMessage);
    const UINT rowCount = RegisterWindowMessageW(kGridRowCountMessage);
    Run([&](FormSession& s) {
        HWND grid = s.Control(Grid);
        auto gridText = [&] {
            const auto length = SendMessageW(grid, WM_GETTEXTLENGTH, 0, 0);
            std::wstring text(static_cast<size_t>(length) + 1, L'\0');
            const auto copied = SendMessageW(grid, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
            text.resize(static_cast<size_t>(copied));
            return text;
        };
        EXPECT_EQ(gridText(), platform::GridAsText(s.state.grid));
        EXPECT_EQ(gridText().substr(0, 36), L"Name \tCAS number \tFamily\tSum Formula");
        EXPECT_EQ(SendMessageW(grid, rowCount, 0, 0), 10);
        EXPECT_EQ(SendMessageW(grid, currentCell, 0, 0), MAKELRESULT(1, 0));

        struct Move {
            UINT key;
            int row;
            int col;
        };
        const Move kMoves[] = {{VK_DOWN, 2, 0}, {VK_RIGHT, 2, 1}, {VK_END, 2, 16},
                               {VK_NEXT, 9, 16}, {VK_UP, 8, 16}, {VK_HOME, 8, 0},
                               {VK_PRIOR, 1, 0}, {VK_UP, 1, 0}};
        for (const Move& m : kMoves) {
            SendMessageW(grid, WM_KEYDOWN, m.key, 1);
            EXPECT_EQ(SendMessageW(grid, currentCell, 0, 0), MAKELRESULT(m.row, m.col))
                << "key " << m.key;
        }

        // The logic grows the grid to 10,000 rows and moves to the last one:
        // the grid scrolls so that a click on the first data band hits the
        // row a page above it.
        s.handler.SetReaction([&](const std::string& event, platform::FormWindow&) {
            if (event != "Ok") return;
            s.state.grid.SetRows(10000);
            s.state.grid.SetTextMatrix(9999, 2, L"last");
            s.state.grid.SetRow(9999);
            s.state.grid.SetCol(2);
        });
        SendMessageW(s.Control(OKButton), BM_CLICK, 0, 0);
        EXPECT_EQ(SendMessageW(grid, rowCount, 0, 0), 10000);
        EXPECT_EQ(SendMessageW(grid, currentCell, 0, 0), MAKELRESULT(9999, 2));
        EXPECT_NE(gridText().find(L"\t\tlast\t"), std::wstring::npos);
        s.handler.ClearEvents();
        const POINT firstBand = s.CellCentre(1, 0);
        Click(grid, firstBand);
        const Events events = s.handler.Events();
        ASSERT_EQ(events.size(), 2u);
        RECT client{};
        GetClientRect(grid, &client);
        const int rowHeight = platform::GridRowHeight(
            reinterpret_cast<HFONT>(SendMessageW(grid, WM_GETFONT, 0, 0)));
        const int pageRows = (client.bottom - rowHeight) / rowHeight;
        EXPECT_EQ(events[1], "GridClick@" + std::to_string(10000 - pageRows) + ",0");
    });
}

TEST_F(FormWindowTest, GridKeepsTheCurrentCellWhollyInViewAndTellsWhereCellsAre) {
    const UINT cellPoint = RegisterWindowMessageW(kGridCellPointMessage);
    struct Case {
        const char* proves;
        int rows;
        platform::GridCell current;
        int widenCol;   // -1: no column widened
        int widenTwips;
        bool scrolledRight;  // the columns scrolled at all
    };
    const Case kCases[] = {
        {"the current last column widened: scrolled to show all of it", 10, {1, 16}, 16, 4000, true},
        {"a column left of the current one widened: scrolled after it", 10, {1, 5}, 2, 20000, true},
        {"a column right of the current one widened: no scrolling", 10, {1, 0}, 10, 20000, false},
        {"a row far down made current: scrolled down to it", 500, {400, 3}, -1, 0, false},
    };
    Run([&](FormSession& s) {
        HWND grid = s.Control(Grid);
        for (const Case& c : kCases) {
            SCOPED_TRACE(c.proves);
            s.handler.SetReaction([&](const std::string& event, platform::FormWindow&) {
                if (event != "Ok") return;
                auto& model = s.state.grid;
                model.SetRow(1);
                model.SetCol(0);
                for (int col = 0; col < model.Cols(); ++col) model.SetColWidth(col, 1200);
                model.SetRows(c.rows);
                model.SetRow(c.current.row);
                model.SetCol(c.current.col);
                if (c.widenCol >= 0) model.SetColWidth(c.widenCol, c.widenTwips);
            });
            SendMessageW(s.Control(OKButton), BM_CLICK, 0, 0);

            SCROLLINFO horizontal{};
            horizontal.cbSize = sizeof(SCROLLINFO);
            horizontal.fMask = SIF_ALL;
            SCROLLINFO vertical = horizontal;
            GetScrollInfo(grid, SB_HORZ, &horizontal);
            GetScrollInfo(grid, SB_VERT, &vertical);
            const platform::GridScroll scroll{vertical.nPos + 1, horizontal.nPos};
            EXPECT_EQ(scroll.xOffset != 0, c.scrolledRight);

            HDC screen = GetDC(nullptr);
            const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
            ReleaseDC(nullptr, screen);
            std::vector<int> widths;
            for (int col = 0; col < s.state.grid.Cols(); ++col) {
                widths.push_back(platform::TwipsToPixels(s.state.grid.ColWidth(col), dpi));
            }
            RECT client{};
            GetClientRect(grid, &client);
            const auto font = reinterpret_cast<HFONT>(SendMessageW(grid, WM_GETFONT, 0, 0));
            const platform::GridGeometry geometry(widths, platform::GridRowHeight(font), c.rows, 1,
                                                  client.right, client.bottom);
            const RECT cell = geometry.CellRect(c.current, scroll);
            EXPECT_GE(cell.left, 0);
            EXPECT_LE(cell.right, client.right);
            EXPECT_GT(cell.bottom, cell.top);
            EXPECT_LE(cell.bottom, client.bottom);
            // Other programs find the cell where it is drawn.
            EXPECT_EQ(SendMessageW(grid, cellPoint, c.current.row, c.current.col),
                      MAKELRESULT((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
            const bool firstRowShown = scroll.topRow == 1;
            EXPECT_EQ(SendMessageW(grid, cellPoint, 1, c.current.col) != -1, firstRowShown);
            EXPECT_EQ(SendMessageW(grid, cellPoint, c.rows, 0), -1) << "no such row";
            EXPECT_EQ(SendMessageW(grid, cellPoint, 1, 17), -1) << "no such column";
        }
    });
}

TEST_F(FormWindowTest, PopupMenuOffersCopyAndPasteAndReportsTheChoice) {
    struct Case {
        const char* choice;
        std::vector<UINT> keys;
        Events expected;
    };
    const Case kCases[] = {
        {"copy by its access key", {'C'}, {"GridMouse:2", "MenuCopy"}},
        {"paste by its access key", {'P'}, {"GridMouse:2", "MenuPaste"}},
        {"paste with the arrow keys", {VK_DOWN, VK_DOWN, VK_RETURN}, {"GridMouse:2", "MenuPaste"}},
        {"nothing chosen", {VK_ESCAPE}, {"GridMouse:2"}},
    };
    Run([&](FormSession& s) {
        s.handler.SetReaction([](const std::string& event, platform::FormWindow& window) {
            if (event == "GridMouse:2") window.PopupCopyPasteMenu();
        });
        for (const Case& c : kCases) {
            SCOPED_TRACE(c.choice);
            s.handler.ClearEvents();
            PostMessageW(s.Control(Grid), WM_RBUTTONDOWN, MK_RBUTTON, 0);
            HWND menu = nullptr;
            ASSERT_TRUE(FormSession::WaitFor([&] {
                menu = nullptr;
                while ((menu = FindWindowExW(nullptr, menu, L"#32768", nullptr))) {
                    if (IsWindowVisible(menu)) return true;
                }
                return false;
            }));
            auto items = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
            wchar_t text[32] = {};
            GetMenuStringW(items, 0, text, 32, MF_BYPOSITION);
            EXPECT_STREQ(text, L"&Copy");
            GetMenuStringW(items, 1, text, 32, MF_BYPOSITION);
            EXPECT_STREQ(text, L"&Paste");
            for (UINT key : c.keys) PostMessageW(menu, WM_KEYDOWN, key, 1);
            EXPECT_TRUE(FormSession::WaitFor([&] { return !IsWindowVisible(menu); }));
            EXPECT_TRUE(FormSession::WaitFor([&] { return s.handler.Events() == c.expected; }))
                << "last event: " << (s.handler.Events().empty() ? "" : s.handler.Events().back());
        }
    });
}

TEST_F(FormWindowTest, TextWidthsAreMeasuredInTwipsWithTheFormsFont) {
    std::vector<int> widths;
    Run([&](FormSession& s) {
        s.handler.SetReaction([&](const std::string& event, platform::FormWindow& window) {
            if (event != "Ok") return;
            for (const wchar_t* text : {L"", L"W", L"WWWW", L"iiii", L"Enthalpy Of Formation"}) {
                widths.push_back(window.TextWidthTwips(text));
            }
        });
        SendMessageW(s.Control(OKButton), BM_CLICK, 0, 0);
        // The same text measured here with the font the form gave its controls.
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(s.Control(Label1), WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32W(dc, L"Enthalpy Of Formation", 21, &size);
        const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        ASSERT_EQ(widths.size(), 5u);
        EXPECT_EQ(widths[4], platform::PixelsToTwips(size.cx, dpi));
    });
    ASSERT_EQ(widths.size(), 5u);
    EXPECT_EQ(widths[0], 0);
    EXPECT_GT(widths[1], 0);
    EXPECT_NEAR(widths[2], 4 * widths[1], 2);
    EXPECT_LT(widths[3], widths[2]);
}

}  // namespace
}  // namespace korvid::testing
