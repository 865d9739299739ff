#include "export/zip_writer.h"

#include <zlib.h>

#include <limits>

namespace ld::exporting {
namespace {

constexpr uint16_t kVersion = 20;  // 2.0: deflate
constexpr uint16_t kUtf8Names = 1 << 11;
constexpr uint16_t kDeflated = 8;
constexpr uint16_t kDosTime = 0;  // 00:00:00
constexpr uint16_t kDosDate =
    (2026 - 1980) << 9 | 1 << 5 | 1;  // a fixed date: same bytes each time

void Put16(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

void Put32(std::string& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// Raw deflate (no zlib header), as zip stores it.
bool Deflate(std::string_view in, std::string& out) {
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    out.resize(deflateBound(&z, static_cast<uLong>(in.size())));
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const bool done = deflate(&z, Z_FINISH) == Z_STREAM_END;
    out.resize(z.total_out);
    deflateEnd(&z);
    return done;
}

// What the local header and the central directory record share, from "version needed" on.
std::string CommonHeader(uint32_t crc, size_t packed, size_t size, size_t nameLength) {
    std::string out;
    Put16(out, kVersion);
    Put16(out, kUtf8Names);
    Put16(out, kDeflated);
    Put16(out, kDosTime);
    Put16(out, kDosDate);
    Put32(out, crc);
    Put32(out, static_cast<uint32_t>(packed));
    Put32(out, static_cast<uint32_t>(size));
    Put16(out, static_cast<uint32_t>(nameLength));
    Put16(out, 0);  // no extra field
    return out;
}

}  // namespace

bool ZipWriter::add(std::string_view name, std::string_view content) {
    constexpr size_t kLimit = std::numeric_limits<uint32_t>::max();
    std::string packed;
    if (!Deflate(content, packed) || content.size() >= kLimit || name.size() > 0xFFFF ||
        entries_ == 0xFFFF || archive_.size() + packed.size() + name.size() + 30 >= kLimit) {
        ok_ = false;
        return false;
    }
    const uint32_t crc = static_cast<uint32_t>(crc32(crc32(0, nullptr, 0),
                                                     reinterpret_cast<const Bytef*>(content.data()),
                                                     static_cast<uInt>(content.size())));
    const std::string common = CommonHeader(crc, packed.size(), content.size(), name.size());

    Put32(directory_, 0x02014b50);
    Put16(directory_, kVersion);  // made by: MS-DOS attributes
    directory_ += common;
    Put16(directory_, 0);  // comment
    Put16(directory_, 0);  // disk
    Put16(directory_, 0);  // internal attributes
    Put32(directory_, 0);  // external attributes
    Put32(directory_, static_cast<uint32_t>(archive_.size()));
    directory_ += name;

    Put32(archive_, 0x04034b50);
    archive_ += common;
    archive_ += name;
    archive_ += packed;
    ++entries_;
    return true;
}

std::string ZipWriter::finish() {
    if (!ok_) return {};
    std::string out = std::move(archive_);
    const auto directoryAt = static_cast<uint32_t>(out.size());
    out += directory_;
    Put32(out, 0x06054b50);
    Put16(out, 0);  // this disk
    Put16(out, 0);  // the directory's disk
    Put16(out, entries_);
    Put16(out, entries_);
    Put32(out, static_cast<uint32_t>(directory_.size()));
    Put32(out, directoryAt);
    Put16(out, 0);  // no comment
    return out;
}

}  // namespace ld::exporting
