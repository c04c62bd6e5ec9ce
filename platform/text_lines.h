// Splitting file content into lines: CR LF, a lone CR and a lone LF each end
// a line; a last line without an end still counts.
#pragma once

#include <string>
#include <string_view>

namespace korvid::platform {

class LineReader {
public:
    LineReader() = default;
    explicit LineReader(std::wstring content) : content_(std::move(content)) {}

    bool Next(std::wstring* line) {
        if (pos_ >= content_.size()) return false;
        size_t end = content_.find_first_of(L"\r\n", pos_);
        if (end == std::wstring::npos) end = content_.size();
        line->assign(content_, pos_, end - pos_);
        pos_ = end;
        if (pos_ < content_.size() && content_[pos_] == L'\r') {
            ++pos_;
            if (pos_ < content_.size() && content_[pos_] == L'\n') ++pos_;
        } else if (pos_ < content_.size()) {
            ++pos_;  // a lone LF
        }
        return true;
    }

private:
    std::wstring content_;
    size_t pos_ = 0;
};

}  // namespace korvid::platform
