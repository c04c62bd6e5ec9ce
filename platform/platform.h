// The thin layer between the logic of the material object / definition form
// and the operating system: locale conversions, message boxes, file numbers,
// dialogs, clipboard, random numbers, environment variables and the modal
// form window.
//
// Two implementations exist: the real one over Win32 (platform/win32) and a
// scripted one for unit tests (platform/scripted). The logic reaches the
// current implementation through CurrentPlatform() and never calls Win32 UI
// functions itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text_buffer.h"

namespace korvid::platform {

class DefinitionFormHandler;
struct DefinitionFormState;
enum class FormEnd;

enum class MessageIcon { None, Critical, Stop };

// Who a message box is for: a person (a modal box), or nobody, for an object
// made without the form: then the box is a debugger output line,
// `Korvid message box "<caption>": <text>`, and the call goes on as if its
// OK button had been pressed.
enum class MessageMode { Modal, Unattended };

// Settings of one use of the common file dialog (open or save).
struct FileDialogRequest {
    std::wstring filter;           // "Description|*.ext" pairs, as the form gives them
    std::wstring fileName;         // preset file name (in/out: keeps the last choice)
    bool fileMustExist = false;    // open dialog: the chosen file must exist
    bool hideReadOnly = false;     // open dialog: no read-only check box
    bool overwritePrompt = false;  // save dialog: ask before overwriting
};

// How a file number is opened.
enum class FileMode {
    Output,        // create or truncate, write; others may read and write
    Input,         // read existing file
};

class Platform {
public:
    virtual ~Platform() = default;

    // --- Locale -----------------------------------------------------------
    // Appends `value` in the general number format of the user's locale
    // (VarBstrFromR8's text as Windows gives it) to `out`.
    virtual void AppendNumber(TextBuffer& out, double value) = 0;
    std::wstring FormatNumber(double value) {
        TextBuffer text;
        AppendNumber(text, value);
        return std::wstring(text.View());
    }
    // Locale-aware text to number (VarR8FromStr); false when the text is
    // not a number as a whole (the empty text included).
    virtual bool ParseNumber(std::wstring_view text, double* value) = 0;
    // Upper case following the user's locale.
    virtual std::wstring UpperCase(std::wstring_view text) = 0;
    // The locale used for VARIANT conversions (LOCALE_USER_DEFAULT for real).
    virtual uint32_t Lcid() = 0;

    // --- Message boxes (modal; OK button only) ----------------------------
    virtual void ShowMessage(std::wstring_view text, std::wstring_view caption, MessageIcon icon,
                             MessageMode mode = MessageMode::Modal) = 0;

    // --- Files by number (1..255, per process) -----------------------------
    // Lowest number not in use, or 0 when all 255 are taken.
    virtual int16_t FreeFileNumber() = 0;
    // Opens `path` under `fileNo`; false when it cannot be opened.
    virtual bool OpenFile(int16_t fileNo, const std::wstring& path, FileMode mode) = 0;
    virtual bool IsFileOpen(int16_t fileNo) = 0;
    // Closes the file; nothing happens when no file is open under the number.
    virtual void CloseFile(int16_t fileNo) = 0;
    // Writes text (converted to the ANSI code page) in one write to the OS.
    // The caller supplies line ends. False when the write failed.
    virtual bool WriteText(int16_t fileNo, std::wstring_view text) = 0;
    // Reads the next line (without its end: CR LF, CR or LF) from a file
    // opened for input, converting from the ANSI code page; false at the end.
    virtual bool ReadLine(int16_t fileNo, std::wstring* line) = 0;

    // The folder that holds the component's own library file, no trailing "\".
    virtual std::wstring ModuleFolder() = 0;

    // --- The process's environment ------------------------------------------
    // The value of environment variable `name`; empty when it is unset.
    virtual std::wstring EnvironmentVariable(const wchar_t* name) = 0;

    // --- Common file dialog -------------------------------------------------
    // Empty optional when the user cancelled or the dialog failed.
    virtual std::optional<std::wstring> ShowOpenDialog(FileDialogRequest& request) = 0;
    virtual std::optional<std::wstring> ShowSaveDialog(FileDialogRequest& request) = 0;

    // --- Clipboard (plain Unicode text) -------------------------------------
    virtual std::optional<std::wstring> ClipboardText() = 0;
    virtual bool SetClipboardText(std::wstring_view text) = 0;

    // --- Random numbers -----------------------------------------------------
    // Next value in [0, 1) of a single-precision generator that is never
    // seeded: every process sees the same sequence.
    virtual float NextRandom() = 0;

    // --- The definition form -------------------------------------------------
    // Shows the form's window modally; returns once the handler has asked the
    // window to close (DefinitionFormState::closed), or earlier when the form
    // cannot finish. The window forwards the user's actions to `handler` and
    // shows `state`.
    virtual FormEnd RunModalForm(DefinitionFormState& state, DefinitionFormHandler& handler) = 0;
};

// The implementation in force for the calling thread's component.
Platform& CurrentPlatform();
// Replaces the implementation (tests); nullptr restores the default one.
void SetPlatform(Platform* platform);
// The real implementation over Win32.
Platform& DefaultPlatform();

}  // namespace korvid::platform
