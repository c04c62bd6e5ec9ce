#include "tools/validate/verdict.h"

#include <utility>

#include "tools/validate/output.h"

namespace korvid::validate {

namespace {

class Locked {
public:
    explicit Locked(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
    ~Locked() { LeaveCriticalSection(&lock_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    CRITICAL_SECTION& lock_;
};

// Values stay on their line: a line break in a unit's text becomes a blank.
std::wstring OneLine(std::wstring text) {
    for (wchar_t& ch : text)
        if (ch == L'\r' || ch == L'\n') ch = L' ';
    return text;
}

// The summary file: UTF-8, lines ending CR LF. False when it was not written.
bool WriteSummary(const std::wstring& path, const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (const std::wstring& line : lines) text += OneLine(line) + L"\r\n";
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    CloseHandle(file);
    return ok;
}

}  // namespace

Verdict::Verdict() { InitializeCriticalSection(&lock_); }
Verdict::~Verdict() { DeleteCriticalSection(&lock_); }

void Verdict::SetUnit(const std::wstring& unit) {
    Locked locked(lock_);
    unit_ = unit;
}

void Verdict::SetSummaryFile(const std::wstring& path, const std::wstring& whyNone) {
    Locked locked(lock_);
    summaryFile_ = path;
    noSummary_ = whyNone;
}

void Verdict::SetCall(const std::wstring& call) {
    Locked locked(lock_);
    call_ = call;
}

std::wstring Verdict::Call() {
    Locked locked(lock_);
    return call_;
}

void Verdict::Failure(const std::wstring& call, const std::wstring& detail) {
    Locked locked(lock_);
    if (!muted_) failures_.push_back(version_ + call + L":" + detail);
}

void Verdict::Add(Finding finding) {
    Locked locked(lock_);
    if (finding.check.empty()) finding.check = check_;
    finding.port = version_ + finding.port;
    if (!muted_) findings_.push_back(std::move(finding));
}

void Verdict::SetCheck(const std::wstring& check) {
    Locked locked(lock_);
    check_ = check;
}

void Verdict::Mute(bool muted) {
    Locked locked(lock_);
    muted_ = muted;
}

size_t Verdict::FindingCount(const std::wstring& check) {
    Locked locked(lock_);
    size_t count = 0;
    for (const Finding& finding : findings_) count += finding.check == check;
    return count;
}

void Verdict::SetVersion(const std::wstring& version) {
    Locked locked(lock_);
    version_ = version;
}

size_t Verdict::FailureCount() {
    Locked locked(lock_);
    return failures_.size();
}

void Verdict::ForgiveFailures(size_t from) {
    Locked locked(lock_);
    if (from < failures_.size()) failures_.resize(from);
}

void Verdict::HostError(const std::wstring& reason) {
    Locked locked(lock_);
    if (hostError_.empty()) hostError_ = reason;
}

int Verdict::Conclude() {
    Locked locked(lock_);
    if (concluded_) return -1;
    const int code = !hostError_.empty()                        ? kHostError
                     : !failures_.empty() || !findings_.empty() ? kUnitFailed
                                                                : kClean;
    return ConcludeLocked(code);
}

int Verdict::ConcludeTimeout(int seconds) {
    Locked locked(lock_);
    if (concluded_) return -1;
    Line(L"timeout: the run took longer than " + std::to_wstring(seconds) +
         L" s; the call under way: " + (call_.empty() ? L"none" : call_));
    return ConcludeLocked(kTimeout);
}

int Verdict::ConcludeCrash(const std::vector<std::pair<std::wstring, std::wstring>>& crash) {
    Locked locked(lock_);
    if (concluded_) return -1;
    crash_ = crash;
    return ConcludeLocked(kCrashed);
}

int Verdict::ConcludeLocked(int exitCode) {
    concluded_ = true;
    const wchar_t* result = exitCode == kCrashed     ? L"crashed"
                            : exitCode == kTimeout   ? L"timeout"
                            : exitCode == kHostError ? L"error"
                            : !failures_.empty()     ? L"failed"
                            : !findings_.empty()     ? L"findings"
                                                     : L"clean";
    Line(L"");
    if (!hostError_.empty()) Line(L"The host could not run: " + hostError_);
    Line(L"Findings: " + std::to_wstring(findings_.size()));
    for (const Finding& finding : findings_)
        Line(L"    " + finding.port + L": " + finding.kind + L": " + finding.detail);
    Line(L"Summary: unit " + (unit_.empty() ? L"-" : unit_) + L", result " + result +
         L", exit code " + std::to_wstring(exitCode) + L", " + std::to_wstring(failures_.size()) +
         L" failed calls, " + std::to_wstring(findings_.size()) + L" findings");

    std::vector<std::wstring> lines = {L"unit=" + unit_, std::wstring(L"result=") + result,
                                       L"exit_code=" + std::to_wstring(exitCode),
                                       L"failures=" + std::to_wstring(failures_.size())};
    for (const std::wstring& failure : failures_) lines.push_back(L"failure=" + failure);
    lines.push_back(L"findings=" + std::to_wstring(findings_.size()));
    for (const Finding& finding : findings_)
        lines.push_back(L"finding=" + finding.port + L":" + finding.kind + L":" + finding.detail);
    if (!hostError_.empty()) lines.push_back(L"error=" + hostError_);
    for (const auto& [key, value] : crash_) lines.push_back(key + L"=" + value);
    if (summaryFile_.empty()) {
        Line(L"Summary file: not written (" + noSummary_ + L")");
    } else if (WriteSummary(summaryFile_, lines)) {
        Line(L"Summary file: " + summaryFile_);
    } else {
        Line(L"Summary file: could not be written: " + summaryFile_);
    }
    return exitCode;
}

}  // namespace korvid::validate
