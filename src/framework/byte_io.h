// Little-endian readers and writers for the template block. The reader never reads outside
// the span it was given: every read checks the remaining length first and turns the reader
// into a failed state instead, so a malformed block is refused, never trusted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ld::tpl {

class ByteReader {
public:
    explicit ByteReader(std::string_view data, size_t base = 0) : data_(data), base_(base) {}

    bool ok() const { return ok_; }
    bool atEnd() const { return pos_ == data_.size(); }
    size_t remaining() const { return data_.size() - pos_; }
    // Offset from the start of the whole block, for error messages.
    size_t offset() const { return base_ + pos_; }

    uint32_t u32() {
        if (!need(4)) return 0;
        auto b = [&](size_t i) {
            return static_cast<uint32_t>(static_cast<uint8_t>(data_[pos_ + i]));
        };
        uint32_t v = b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
        pos_ += 4;
        return v;
    }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    uint8_t u8() {
        if (!need(1)) return 0;
        return static_cast<uint8_t>(data_[pos_++]);
    }
    std::string_view bytes(size_t n) {
        if (!need(n)) return {};
        std::string_view v = data_.substr(pos_, n);
        pos_ += n;
        return v;
    }
    void skip(size_t n) { bytes(n); }
    // A count of items of `itemSize` bytes each that must still fit in what remains; this
    // keeps huge counts from ever reaching an allocation or a multiplication.
    uint32_t count(size_t itemSize) {
        uint32_t n = u32();
        if (ok_ && n > remaining() / itemSize) fail();
        return ok_ ? n : 0;
    }
    // A NUL-terminated text.
    std::string_view zText() {
        if (!ok_) return {};
        size_t end = data_.find('\0', pos_);
        if (end == std::string_view::npos) {
            fail();
            return {};
        }
        std::string_view v = data_.substr(pos_, end - pos_);
        pos_ = end + 1;
        return v;
    }
    // A 32-bit length followed by that many bytes.
    std::string_view counted() {
        uint32_t n = u32();
        return bytes(n);
    }
    // A reader over the next `n` bytes; this reader moves past them.
    ByteReader sub(size_t n) {
        size_t at = offset();
        std::string_view v = bytes(n);
        ByteReader r(v, at);
        if (!ok_) r.fail();
        return r;
    }
    void fail() {
        ok_ = false;
        pos_ = data_.size();
    }

private:
    bool need(size_t n) {
        if (!ok_ || n > remaining()) {
            fail();
            return false;
        }
        return true;
    }

    std::string_view data_;
    size_t base_;
    size_t pos_ = 0;
    bool ok_ = true;
};

class ByteWriter {
public:
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) out_ += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void u8(uint8_t v) { out_ += static_cast<char>(v); }
    void zeros(size_t n) { out_.append(n, '\0'); }
    void bytes(std::string_view v) { out_ += v; }
    void zText(std::string_view v) {
        out_ += v;
        out_ += '\0';
    }
    void counted(std::string_view v) {
        u32(static_cast<uint32_t>(v.size()));
        out_ += v;
    }
    // Writes a length placeholder now and fills it with the bytes written after it.
    size_t beginLength() {
        size_t at = out_.size();
        u32(0);
        return at;
    }
    void endLength(size_t at) {
        uint32_t n = static_cast<uint32_t>(out_.size() - at - 4);
        for (int i = 0; i < 4; ++i) out_[at + i] = static_cast<char>((n >> (8 * i)) & 0xFF);
    }
    void patch(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out_[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    size_t size() const { return out_.size(); }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
};

}  // namespace ld::tpl
