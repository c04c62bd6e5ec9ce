// The platform over Win32 and OLE Automation.
#include <windows.h>
#include <commdlg.h>
#include <oleauto.h>
#include <emmintrin.h>

#include <array>
#include <mutex>  // std::lock_guard
#include <string>
#include <vector>

#include "platform/number_format.h"
#include "platform/platform.h"
#include "platform/random.h"
#include "platform/text_lines.h"
#include "platform/win32/form_window.h"

namespace korvid::platform {

namespace {

bool IsAscii(std::wstring_view text) {
    for (wchar_t ch : text) {
        if (ch >= 0x80) return false;
    }
    return true;
}

// Text in the ANSI code page into `bytes`, whose capacity is reused.
void ToAnsi(std::wstring_view text, std::string& bytes) {
    // Plain ASCII, the usual case, narrows as it is: one pass narrows every
    // character and notes whether any lies beyond ASCII, eight at a time.
    bytes.resize(text.size());
    char* out = bytes.data();
    const wchar_t* in = text.data();
    const size_t size = text.size();
    size_t k = 0;
    __m128i any = _mm_setzero_si128();
    for (; k + 8 <= size; k += 8) {
        const __m128i wide = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k));
        any = _mm_or_si128(any, wide);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + k), _mm_packus_epi16(wide, wide));
    }
    wchar_t rest = 0;
    for (; k < size; ++k) {
        rest = static_cast<wchar_t>(rest | in[k]);
        out[k] = static_cast<char>(in[k]);
    }
    const __m128i beyond = _mm_and_si128(any, _mm_set1_epi16(static_cast<short>(0xFF80)));
    if (rest < 0x80 && _mm_movemask_epi8(_mm_cmpeq_epi16(beyond, _mm_setzero_si128())) == 0xFFFF)
        return;
    int converted = WideCharToMultiByte(CP_ACP, 0, in, static_cast<int>(size), nullptr, 0,
                                        nullptr, nullptr);
    bytes.resize(converted);
    WideCharToMultiByte(CP_ACP, 0, in, static_cast<int>(size), bytes.data(), converted, nullptr,
                        nullptr);
}

std::wstring FromAnsi(const std::string& bytes) {
    std::wstring text;
    if (bytes.empty()) return text;
    int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                   nullptr, 0);
    text.resize(size);
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        size);
    return text;
}

// Filter "Description|*.ext|..." as the common dialog wants it: NUL-separated.
std::wstring DialogFilter(const std::wstring& filter) {
    std::wstring result = filter;
    for (auto& ch : result) {
        if (ch == L'|') ch = L'\0';
    }
    result.push_back(L'\0');
    result.push_back(L'\0');
    return result;
}

// A critical section as a lockable: uncontended, entering and leaving are
// an atomic operation each (std::mutex goes through the runtime's POSIX
// threads layer first; a slim reader/writer lock wakes waiters at every
// release under Wine).
class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&section_); }
    ~CriticalSection() { DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void lock() { EnterCriticalSection(&section_); }
    void unlock() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

// The user's decimal separator (LOCALE_SDECIMAL), read once per process.
const std::wstring& UserDecimalSeparator() {
    static const std::wstring separator = [] {
        wchar_t text[8] = L".";
        const bool read = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text, 8) != 0;
        return std::wstring(read ? text : L".");
    }();
    return separator;
}

// The window that a modal box or dialog of this thread should belong to:
// the form while it is shown (whether or not the process is in the
// foreground), else the thread's active window. The form's grid first
// shows what the event so far has changed: the box stands before it.
HWND OwnerWindow() {
    ShowFormGridChanges();
    HWND form = DefinitionFormWindowOfThread();
    if (form && IsWindowVisible(form)) return form;
    HWND active = GetActiveWindow();
    return active && IsWindowVisible(active) ? active : nullptr;
}

class Win32Platform final : public Platform {
public:
    // VarBstrFromR8's text with the user's decimal separator, without its cost.
    void AppendNumber(TextBuffer& out, double value) override {
        AppendGeneralNumber(out, value, UserDecimalSeparator());
    }

    bool ParseNumber(std::wstring_view text, double* value) override {
        // VarR8FromStr stops at a NUL: a text with one inside (binary junk
        // in a file or on the clipboard) is not a number as a whole.
        if (text.find(L'\0') != std::wstring_view::npos) return false;
        std::wstring copy(text);
        return SUCCEEDED(VarR8FromStr(copy.data(), LOCALE_USER_DEFAULT, 0, value));
    }

    std::wstring UpperCase(std::wstring_view text) override {
        std::wstring upper(text);
        if (IsAscii(text)) {
            for (auto& ch : upper) {
                if (ch >= L'a' && ch <= L'z') ch = static_cast<wchar_t>(ch - (L'a' - L'A'));
            }
            return upper;
        }
        if (!upper.empty()) {
            LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, text.data(),
                         static_cast<int>(text.size()), upper.data(),
                         static_cast<int>(upper.size()));
        }
        return upper;
    }

    uint32_t Lcid() override { return LOCALE_USER_DEFAULT; }

    void ShowMessage(std::wstring_view text, std::wstring_view caption, MessageIcon icon,
                     MessageMode mode) override {
        if (mode == MessageMode::Unattended) {
            std::wstring line = L"Korvid message box \"";
            line.append(caption).append(L"\": ").append(text).append(L"\n");
            OutputDebugStringW(line.c_str());
            return;
        }
        UINT style = MB_OK | MB_SETFOREGROUND | MB_TOPMOST;
        if (icon == MessageIcon::Critical || icon == MessageIcon::Stop) style |= MB_ICONSTOP;
        HWND owner = OwnerWindow();
        if (!owner) style |= MB_TASKMODAL;
        MessageBoxW(owner, std::wstring(text).c_str(), std::wstring(caption).c_str(), style);
    }

    int16_t FreeFileNumber() override {
        std::lock_guard<CriticalSection> lock(filesLock_);
        for (int16_t n = 1; n < static_cast<int16_t>(files_.size()); ++n) {
            if (!files_[n].open) return n;
        }
        return 0;
    }

    bool OpenFile(int16_t fileNo, const std::wstring& path, FileMode mode) override {
        std::lock_guard<CriticalSection> lock(filesLock_);
        if (!ValidNumber(fileNo) || files_[fileNo].open) return false;
        File& file = files_[fileNo];
        if (mode == FileMode::Output) {
            if (!WritableName(path)) return false;
            HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle == INVALID_HANDLE_VALUE) return false;
            if (!OnDisk(handle)) return false;
            file.handle = handle;
        } else {
            // Another program may be writing the file (an editor, a report
            // still open): reading what is there is still fine.
            HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle == INVALID_HANDLE_VALUE) return false;
            if (!OnDisk(handle)) return false;
            std::string bytes;
            LARGE_INTEGER size{};
            bool ok = GetFileSizeEx(handle, &size) && size.QuadPart < (1LL << 30);
            if (ok) {
                bytes.resize(static_cast<size_t>(size.QuadPart));
                DWORD read = 0;
                ok = bytes.empty() || (ReadFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()),
                                                &read, nullptr) &&
                                       read == bytes.size());
            }
            CloseHandle(handle);
            if (!ok) return false;
            file.reader = LineReader(FromAnsi(bytes));
            file.handle = INVALID_HANDLE_VALUE;
        }
        file.open = true;
        return true;
    }

    bool IsFileOpen(int16_t fileNo) override {
        std::lock_guard<CriticalSection> lock(filesLock_);
        return ValidNumber(fileNo) && files_[fileNo].open;
    }

    void CloseFile(int16_t fileNo) override {
        std::lock_guard<CriticalSection> lock(filesLock_);
        if (!ValidNumber(fileNo) || !files_[fileNo].open) return;
        File& file = files_[fileNo];
        if (file.handle != INVALID_HANDLE_VALUE) CloseHandle(file.handle);
        file = File{};
    }

    bool WriteText(int16_t fileNo, std::wstring_view text) override {
        std::lock_guard<CriticalSection> lock(filesLock_);
        if (!ValidNumber(fileNo) || !files_[fileNo].open ||
            files_[fileNo].handle == INVALID_HANDLE_VALUE) {
            return false;
        }
        ToAnsi(text, ansi_);
        DWORD written = 0;
        return WriteFile(files_[fileNo].handle, ansi_.data(), static_cast<DWORD>(ansi_.size()),
                         &written, nullptr) &&
               written == ansi_.size();
    }

    bool ReadLine(int16_t fileNo, std::wstring* line) override {
        std::lock_guard<CriticalSection> lock(filesLock_);
        if (!ValidNumber(fileNo) || !files_[fileNo].open) return false;
        return files_[fileNo].reader.Next(line);
    }

    std::wstring ModuleFolder() override {
        HMODULE module = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&DefaultPlatform), &module);
        std::vector<wchar_t> path(MAX_PATH);
        DWORD length = 0;
        for (;;) {
            length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
            if (length < path.size()) break;
            path.resize(path.size() * 2);
        }
        std::wstring full(path.data(), length);
        return full.substr(0, full.find_last_of(L'\\'));
    }

    std::wstring EnvironmentVariable(const wchar_t* name) override {
        std::wstring value(64, L'\0');
        const auto read = [&] {
            return GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        };
        DWORD length = read();
        // Too small a buffer: the answer is the size it needs, its NUL included.
        while (length >= value.size()) {
            value.resize(length);
            length = read();
        }
        value.resize(length);  // 0: unset
        return value;
    }

    std::optional<std::wstring> ShowOpenDialog(FileDialogRequest& request) override {
        return ShowFileDialog(request, false);
    }

    std::optional<std::wstring> ShowSaveDialog(FileDialogRequest& request) override {
        return ShowFileDialog(request, true);
    }

    std::optional<std::wstring> ClipboardText() override {
        if (!OpenClipboardPatiently()) return std::nullopt;
        std::optional<std::wstring> text;
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
                const size_t capacity = GlobalSize(data) / sizeof(wchar_t);
                size_t length = 0;
                while (length < capacity && chars[length] != L'\0') ++length;
                text = std::wstring(chars, length);
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        return text;
    }

    bool SetClipboardText(std::wstring_view text) override {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        if (!memory) return false;
        auto* chars = static_cast<wchar_t*>(GlobalLock(memory));
        text.copy(chars, text.size());
        chars[text.size()] = L'\0';
        GlobalUnlock(memory);
        if (!OpenClipboardPatiently()) {
            GlobalFree(memory);
            return false;
        }
        EmptyClipboard();
        bool ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        CloseClipboard();
        if (!ok) GlobalFree(memory);
        return ok;
    }

    float NextRandom() override {
        std::lock_guard<CriticalSection> lock(randomLock_);
        return random_.Next();
    }

    FormEnd RunModalForm(DefinitionFormState& state, DefinitionFormHandler& handler) override {
        return RunDefinitionFormWindow(state, handler);
    }

private:
    struct File {
        bool open = false;
        HANDLE handle = INVALID_HANDLE_VALUE;
        LineReader reader;
    };

    static bool ValidNumber(int16_t fileNo) { return fileNo >= 1 && fileNo <= 255; }

    // Windows refuses to replace a read-only file, and a ":" in a file name
    // names a stream of another file. Wine lets both through (a process of
    // the super-user may write any file; ":" is an ordinary character on
    // Linux): they are refused here as Windows refuses them.
    static bool WritableName(const std::wstring& path) {
        size_t name = path.find_last_of(L"\\/");
        name = name == std::wstring::npos ? (path.size() > 1 && path[1] == L':' ? 2 : 0) : name + 1;
        if (path.find(L':', name) != std::wstring::npos) return false;
        const DWORD attributes = GetFileAttributesW(path.c_str());
        // CREATE_ALWAYS with FILE_ATTRIBUTE_NORMAL fails on Windows for an
        // existing hidden or system file (Wine lets it through).
        return attributes == INVALID_FILE_ATTRIBUTES ||
               !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                               FILE_ATTRIBUTE_SYSTEM));
    }

    // A name such as "CON" or "NUL" opens a device, not a file: lines written
    // there are lost, and reading from it may wait for ever. Such a handle is
    // closed and the name refused like any other name that is no file.
    static bool OnDisk(HANDLE handle) {
        if (GetFileType(handle) == FILE_TYPE_DISK) return true;
        CloseHandle(handle);
        return false;
    }

    static bool OpenClipboardPatiently() {
        // Opened with the form's window: after OpenClipboard(NULL), Windows
        // makes EmptyClipboard leave the clipboard without an owner, and
        // SetClipboardData then fails. Another program may hold the
        // clipboard for a moment.
        const HWND owner = DefinitionFormWindowOfThread();
        for (int attempt = 0; attempt < 10; ++attempt) {
            if (OpenClipboard(owner)) return true;
            Sleep(20);
        }
        return false;
    }

    static std::optional<std::wstring> ShowFileDialog(FileDialogRequest& request, bool save) {
        std::vector<wchar_t> file(32768, L'\0');
        request.fileName.copy(file.data(), std::min(request.fileName.size(), file.size() - 1));
        const std::wstring filter = DialogFilter(request.filter);
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = OwnerWindow();
        ofn.lpstrFilter = filter.c_str();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file.data();
        ofn.nMaxFile = static_cast<DWORD>(file.size());
        ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
        if (request.fileMustExist) ofn.Flags |= OFN_FILEMUSTEXIST;
        if (request.hideReadOnly) ofn.Flags |= OFN_HIDEREADONLY;
        if (request.overwritePrompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
        // OFN_NOCHANGEDIR does nothing for GetOpenFileName on Windows: the
        // host's current directory is put back by hand.
        std::vector<wchar_t> cwd(GetCurrentDirectoryW(0, nullptr) + 1, L'\0');
        const bool haveCwd = GetCurrentDirectoryW(static_cast<DWORD>(cwd.size()), cwd.data()) != 0;
        BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
        if (haveCwd) SetCurrentDirectoryW(cwd.data());
        if (!chosen) return std::nullopt;
        request.fileName = file.data();
        return request.fileName;
    }

    // What a traced call's write touches comes first, the report's usual
    // number 1 included, so that it shares one page.
    CriticalSection filesLock_;
    std::string ansi_;  // conversion buffer of WriteText, under filesLock_
    std::array<File, 256> files_{};
    CriticalSection randomLock_;
    Rnd24 random_;
};

}  // namespace

Platform& DefaultPlatform() {
    static Win32Platform platform;
    return platform;
}

}  // namespace korvid::platform
