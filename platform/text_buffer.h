// A growing buffer of UTF-16 text made of many short pieces, such as the
// lines of a trace report (a label, a value and a line end, a few dozen
// characters each) and the numbers in them. Pieces are copied inline, in blocks of eight characters,
// where a call of memcpy would cost more than the copy itself; the buffer
// keeps its capacity when it is emptied.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace korvid::platform {

class TextBuffer {
public:
    // `piece` must not lie in this buffer: growing it would move the piece.
    void Append(std::wstring_view piece) {
        if (capacity_ - size_ < piece.size()) Grow(piece.size());
        Copy(data_.get() + size_, piece.data(), piece.size());
        size_ += piece.size();
    }

    std::wstring_view View() const { return {data_.get(), size_}; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    void clear() { size_ = 0; }

private:
    // Copies `count` characters. Every size copies whole blocks that may
    // overlap each other but never reach past either end.
    static void Copy(wchar_t* to, const wchar_t* from, size_t count) {
        if (count >= 8) {
            for (size_t k = 0; k + 8 < count; k += 8) std::memcpy(to + k, from + k, 16);
            std::memcpy(to + count - 8, from + count - 8, 16);
        } else if (count >= 4) {
            std::memcpy(to, from, 8);
            std::memcpy(to + count - 4, from + count - 4, 8);
        } else if (count >= 2) {
            std::memcpy(to, from, 4);
            std::memcpy(to + count - 2, from + count - 2, 4);
        } else if (count == 1) {
            *to = *from;
        }
    }

    void Grow(size_t more) {
        size_t capacity = capacity_ < 64 ? 64 : capacity_ * 2;
        if (capacity < size_ + more) capacity = size_ + more;
        std::unique_ptr<wchar_t[]> data(new wchar_t[capacity]);
        if (size_ != 0) std::memcpy(data.get(), data_.get(), size_ * sizeof(wchar_t));
        data_ = std::move(data);
        capacity_ = capacity;
    }

    std::unique_ptr<wchar_t[]> data_;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

}  // namespace korvid::platform
