#include "tests/unit/form_actions.h"

#include <algorithm>
#include <cwchar>

#include <gtest/gtest.h>

#include "component_definition/como_file.h"
#include "component_definition/grid_transfer.h"
#include "component_definition/mo_def_frm.h"
#include "platform/win32/grid_geometry.h"

namespace korvid::testing {

using component_definition::ComponentRecord;
using platform::FormFocus;

namespace {

constexpr size_t kWhole = 1000;  // files, the clipboard: whole unless huge
// Looked up before anything is read: reading the form's state makes the form,
// which a line that is a call must not do.
const std::wstring kActions =
    L" fresh component fill read row old goto click gridkey type accept cancel report option ok"
    L" close show clipboard copy paste file load save folder reporting ids rows width number line"
    L" parse gridtext ";

std::wstring Number(double value) {
    wchar_t text[32];
    swprintf(text, 32, L"%.15g", value);
    return text;
}

std::wstring RecordText(const ComponentRecord& record) {
    std::wstring text;
    for (int c = 0; c < component_definition::kTextFields; ++c)
        text += Shown(component_definition::TextField(record, c)) + L"|";
    for (int c = component_definition::kTextFields; c < component_definition::kRecordFields; ++c)
        text += (c == component_definition::kTextFields ? L"" : L" ") +
                Number(component_definition::NumberField(record, c));
    return text;
}

}  // namespace

FormActions::Snapshot FormActions::Take() {
    auto& state = module_.Form().State();
    const auto& grid = state.grid;
    Snapshot s;
    s[L"grid"] = std::to_wstring(grid.Rows()) + L" rows, current " + std::to_wstring(grid.Row()) +
                 L"," + std::to_wstring(grid.Col());
    for (int r = 0; r < grid.Rows(); ++r) {  // cells up to the last one that holds text
        std::wstring cells, empties;
        for (int c = 0; c < grid.Cols(); ++c) {
            const std::wstring& cell = grid.TextMatrix(r, c);
            empties += c ? L"|" : L"";
            if (cell.empty()) continue;
            cells += empties + Shown(cell);
            empties.clear();
        }
        if (!cells.empty()) s[(r < 10 ? L"row 0" : L"row ") + std::to_wstring(r)] = cells;
    }
    std::wstring widths = std::to_wstring(grid.ColWidth(0));
    for (int c = 1; c < grid.Cols(); ++c) widths += L" " + std::to_wstring(grid.ColWidth(c));
    s[L"column widths"] = widths;
    const wchar_t* backgrounds[] = {L"initial", L"editing", L"idle"};
    s[L"box"] = L"\"" + Shown(state.changefeild.text, kWhole) + L"\" " +
                backgrounds[static_cast<int>(state.changefeild.background)];
    const wchar_t* focus[] = {L"none", L"grid", L"box", L"report name"};
    s[L"focus"] = focus[static_cast<int>(state.focus)];
    s[L"status"] = L"\"" + Shown(state.label2, kWhole) + L"\"";
    s[L"report name"] = L"\"" + Shown(state.fileNameTxt, kWhole) + L"\"";
    s[L"option"] = state.option1 ? L"1" : L"2";
    s[L"form"] = state.closed ? L"closed" : L"open";
    s[L"table"] = std::to_wstring(module_.g_numComponents) + L" components, " +
                  std::to_wstring(module_.g_components.size()) + L" records";
    static const std::wstring kEmptyRecord = RecordText({});
    for (size_t n = 0; n < module_.g_components.size(); ++n) {
        const std::wstring text = RecordText(module_.g_components[n]);
        if (text != kEmptyRecord)
            s[(n < 10 ? L"record 0" : L"record ") + std::to_wstring(n)] = text;
    }
    s[L"reporting"] = module_.g_reportOn ? L"on" : L"off";
    s[L"ids"] = module_.g_useCasAsId ? L"CAS numbers" : L"names";
    s[L"clipboard"] =
        platform_.clipboard ? L"\"" + Shown(*platform_.clipboard, kWhole) + L"\"" : L"no text";
    for (const auto& [path, text] : platform_.files) {  // reports show as the calls write them
        if (path.find(L"\\CapeOpenValidationReports\\") == std::wstring::npos)
            s[L"file " + path] = L"\"" + Shown(text, kWhole) + L"\"";
    }
    std::wstring open = L"none";
    for (int16_t n = 1; n < 256; ++n) {
        if (platform_.IsFileOpen(n))
            open = (open == L"none" ? L"" : open + L" ") + std::to_wstring(n);
    }
    s[L"open file numbers"] = open;
    return s;
}

void FormActions::PrintChanges(std::wostream& out) {
    const Snapshot& before = baseline_;
    for (; dialogsShown_ < platform_.dialogRequests.size(); ++dialogsShown_) {
        const auto& d = platform_.dialogRequests[dialogsShown_];
        out << L"  dialog: filter \"" << d.filter << L"\", name \"" << d.fileName << L"\""
            << (d.fileMustExist ? L", file must exist" : L"")
            << (d.hideReadOnly ? L", no read-only box" : L"")
            << (d.overwritePrompt ? L", asks before overwriting" : L"") << L"\n";
    }
    const Snapshot after = Take();
    for (const auto& [key, value] : after) {
        const auto old = before.find(key);
        if (old == before.end() || old->second != value)
            out << L"  " << key << L": " << value << L"\n";
    }
    for (const auto& [key, value] : before) {
        if (!after.count(key)) out << L"  " << key << L": (none)\n";
    }
    baseline_ = after;
}

bool FormActions::Run(const std::vector<std::wstring>& tokens, std::wostream& out) {
    if (tokens.empty() || kActions.find(L" " + tokens[0] + L" ") == std::wstring::npos)
        return false;
    baseline_ = Take();
    size_t k = 1;
    if (!Act(tokens[0], tokens, k, out) || k != tokens.size())
        ADD_FAILURE() << "cannot run the form action at token " << k;
    PrintChanges(out);
    return true;
}

// Keys in the box; one the handler does not consume reaches the box as an
// edit control applies it: replacing the selection, Backspace deleting.
void FormActions::Type(const std::wstring& keys) {
    auto& form = module_.Form();
    for (wchar_t key : keys) {
        if (form.OnEditKeyPress(platform_, key) || key == 27) continue;
        auto& box = form.State().changefeild;
        size_t start = std::min<size_t>(box.selStart, box.text.size());
        size_t length = std::min<size_t>(box.selLength, box.text.size() - start);
        if (key == 8 && length == 0 && start > 0) {
            --start;
            length = 1;
        }
        form.OnEditTextChange(platform_,
                              std::wstring(box.text).replace(start, length, key == 8 ? 0 : 1, key));
        box.selStart = static_cast<int>(start + (key == 8 ? 0 : 1));
        box.selLength = 0;
    }
}

// The window tells the logic when the box has taken the focus.
void FormActions::FocusFollowsTheBox() {
    if (module_.Form().State().focus == FormFocus::EditBox)
        module_.Form().OnEditGotFocus(platform_);
}

bool FormActions::Act(const std::wstring& action, const std::vector<std::wstring>& tokens,
                      size_t& k, std::wostream& out) {
    auto& form = module_.Form();
    auto& grid = form.Grid();
    auto& window = platform_;
    const auto more = [&] { return k < tokens.size(); };
    const auto word = [&] { return more() ? tokens[k++] : std::wstring(); };
    const auto integer = [&] { return std::stoi(word()); };
    // "text", "text" *n (n times), and pieces joined by +.
    const auto text = [&] {
        std::wstring value;
        do {
            const std::wstring t = word();
            const std::wstring piece = Unescape(t[0] == L'"' ? t.substr(1, t.size() - 2) : t);
            int times = more() && tokens[k][0] == L'*' ? std::stoi(word().substr(1)) : 1;
            while (times-- > 0) value += piece;
        } while (more() && tokens[k] == L"+" && ++k);
        return value;
    };
    // A text, or none (also: a dialog cancelled).
    const auto answer = [&]() -> std::optional<std::wstring> {
        if (!more() || (tokens[k] != L"none" && tokens[k] != L"cancel")) return text();
        ++k;
        return std::nullopt;
    };
    if (action == L"fresh") {
        module_.Clear();
    } else if (action == L"component") {
        ComponentRecord record;
        for (int c = 0; more() && c < component_definition::kRecordFields; ++c) {
            if (c < component_definition::kTextFields)
                component_definition::TextField(record, c) = text();
            else
                component_definition::NumberField(record, c) = std::stod(word());
        }
        auto& table = module_.g_components;
        table.resize(std::max<size_t>(table.size(), 21));
        table[module_.g_numComponents++] = record;
    } else if (action == L"fill") {
        component_definition::FillGridFromTable(module_, grid);
    } else if (action == L"read") {
        component_definition::ReadGridIntoTable(module_, grid);
    } else if (action == L"row") {
        const int row = integer();
        for (int c = 0; more(); ++c) grid.SetTextMatrix(row, c, text());
    } else if (action == L"old") {
        for (int r = 1; r < grid.Rows(); ++r) {
            for (int c = 0; c < grid.Cols(); ++c) grid.SetTextMatrix(r, c, L"old");
        }
    } else if (action == L"goto" || action == L"click") {
        grid.SetRow(integer());
        grid.SetCol(integer());
        if (action == L"click") form.OnGridClick(window);
        FocusFollowsTheBox();
    } else if (action == L"gridkey") {
        form.OnGridKeyPress(window, text()[0]);
        FocusFollowsTheBox();
    } else if (action == L"type") {
        Type(text());
    } else if (action == L"accept" || action == L"cancel") {
        action == L"accept" ? form.OnValidClick(window) : form.OnCancelClick(window);
    } else if (action == L"report") {
        form.OnReportNameChange(window, text());
    } else if (action == L"option") {
        form.OnOptionClick(window, integer() == 1);
    } else if (action == L"ok") {
        form.OnOkClick(window);
    } else if (action == L"close") {
        out << (form.OnCloseRequest(window) ? L"  = may close\n" : L"  = refused\n");
    } else if (action == L"show") {  // what a new showing shows, then closed
        platform_.formScripts.push_back([&](auto& state, auto&, auto&) {
            out << L"  shown:\n";
            PrintChanges(out);
            state.closed = true;
        });
        form.ShowModal();
    } else if (action == L"clipboard") {
        platform_.clipboard = answer();
    } else if (action == L"copy" || action == L"paste") {
        action == L"copy" ? form.OnMenuCopy(window) : form.OnMenuPaste(window);
    } else if (action == L"file") {
        const std::wstring path = text();
        const std::optional<std::wstring> content = answer();
        platform_.files.erase(path);
        if (content) platform_.files[path] = *content;
    } else if (action == L"load" || action == L"save") {
        (action == L"load" ? platform_.openDialogAnswers : platform_.saveDialogAnswers)
            .push_back(answer());
        action == L"load" ? form.OnLoadClick(window) : form.OnSaveClick(window);
    } else if (action == L"folder") {
        const bool remove = tokens[k] == L"-";
        k += remove;
        const std::wstring path = text();
        auto& folders = platform_.folders;
        folders.erase(std::remove(folders.begin(), folders.end(), path), folders.end());
        if (!remove) platform_.folders.push_back(path);
    } else if (action == L"reporting" || action == L"ids") {
        const std::wstring value = word();
        (action == L"reporting" ? module_.g_reportOn : module_.g_useCasAsId) =
            value == L"on" || value == L"cas";
    } else if (action == L"rows") {
        grid.SetRows(integer());
    } else if (action == L"width") {
        const int col = integer();
        grid.SetColWidth(col, integer());
    } else if (action == L"number") {
        const double value = std::stod(word());
        out << L"  = \"" << component_definition::FormatFileNumber(value, integer()) << L"\"\n";
    } else if (action == L"line") {
        out << L"  = \""
            << Shown(component_definition::FormatComponentLine(module_.g_components.at(integer())),
                     kWhole)
            << L"\"\n";
    } else if (action == L"parse") {  // into record 2 of three empty ones
        std::vector<ComponentRecord> table(3);
        int16_t index = 2;
        component_definition::ParseComponentLine(table, text(), index);
        out << L"  = next " << index << L", record 2: " << RecordText(table[2]) << L"\n";
    } else if (action == L"gridtext") {
        out << L"  = \"" << Shown(platform::GridAsText(grid), kWhole) << L"\"\n";
    } else {
        return false;
    }
    return true;
}

}  // namespace korvid::testing
