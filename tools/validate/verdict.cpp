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
    return WriteUtf8File(path, text);
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
    if (muted_) return;
    failures_.push_back(tag_ + call + L":" + detail);
    failureWhere_.emplace_back(version_, check_);
}

void Verdict::Add(Finding finding) {
    Locked locked(lock_);
    if (finding.check.empty()) finding.check = check_;
    finding.port = tag_ + finding.port;
    finding.thermo = version_;
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

void Verdict::SetVersion(const std::wstring& version, bool tagged) {
    Locked locked(lock_);
    version_ = version;
    tag_ = tagged ? version + L"/" : L"";
}

void Verdict::SetJUnitFile(const std::wstring& path) {
    Locked locked(lock_);
    junitFile_ = path;
    SetLineTap([this](const std::wstring& line) { Printed(line); });
}

void Verdict::Printed(const std::wstring& line) {
    Locked locked(lock_);
    if (!concluded_) CaseUnderWay().out += line + L"\n";
}

JUnitSuite& Verdict::SuiteOf(const std::wstring& version) {
    for (JUnitSuite& suite : suites_)
        if (suite.name == version) return suite;
    suites_.push_back({version, {}});
    return suites_.back();
}

JUnitCase& Verdict::CaseUnderWay() {
    return CaseOf(SuiteOf(version_), check_.empty() ? L"life" : check_);
}

// The suites' cases gain the failed calls and findings, the case under way
// why the run ended early; the suites are named after the unit.
bool Verdict::WriteJUnitLocked(int exitCode, const wchar_t* result) {
    if (exitCode >= kHostError)
        CaseUnderWay().error = std::wstring(L"the run ended: ") + result +
                               (hostError_.empty() ? L"" : L": " + hostError_);
    for (size_t k = 0; k < failures_.size(); ++k) {
        const auto& [version, check] = failureWhere_[k];
        CaseOf(SuiteOf(version), check.empty() ? L"life" : check)
            .failures.push_back({L"failed-call", failures_[k]});
    }
    for (const Finding& finding : findings_)
        CaseOf(SuiteOf(finding.thermo), finding.check.empty() ? L"life" : finding.check)
            .failures.push_back(
                {finding.kind, finding.port + L": " + finding.kind + L": " + finding.detail});
    std::vector<JUnitSuite> named = suites_;
    for (JUnitSuite& suite : named)
        suite.name = (unit_.empty() ? L"-" : unit_) + L" thermo " + suite.name;
    return WriteJUnit(junitFile_, named);
}

size_t Verdict::FailureCount() {
    Locked locked(lock_);
    return failures_.size();
}

void Verdict::ForgiveFailures(size_t from) {
    Locked locked(lock_);
    if (from >= failures_.size()) return;
    failures_.resize(from);
    failureWhere_.resize(from);
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
    if (!junitFile_.empty())
        Line((WriteJUnitLocked(exitCode, result) ? L"JUnit file: "
                                                 : L"JUnit file: could not be written: ") +
             junitFile_);
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
