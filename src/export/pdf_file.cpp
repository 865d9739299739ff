#include "export/pdf_file.h"

#include <zlib.h>

#include <cmath>
#include <cstdio>

namespace ld::exporting {
namespace {

constexpr const char* kA4 = "[0 0 595.2756 841.8898]";  // 210 x 297 mm in points

bool Deflate(std::string_view in, std::string& out) {
    uLongf size = compressBound(static_cast<uLong>(in.size()));
    out.resize(size);
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(in.data()), static_cast<uLong>(in.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return false;
    out.resize(size);
    return true;
}

std::string Ref(int id) { return std::to_string(id) + " 0 R"; }

}  // namespace

std::string PdfNumber(double value) {
    if (!std::isfinite(value)) return "0";
    char text[48];
    std::snprintf(text, sizeof text, "%.4f", value);
    std::string number = text;
    while (number.back() == '0') number.pop_back();
    if (number.back() == '.') number.pop_back();
    return number == "-0" ? "0" : number;
}

std::string PdfTextString(std::u32string_view text) {
    std::string hex = "<FEFF";
    char unit[8];
    for (char32_t c : text) {
        if (c >= 0x10000) {
            std::snprintf(unit, sizeof unit, "%04X", 0xD800 + ((c - 0x10000) >> 10));
            hex += unit;
            c = 0xDC00 + ((c - 0x10000) & 0x3FF);
        }
        std::snprintf(unit, sizeof unit, "%04X", static_cast<unsigned>(c));
        hex += unit;
    }
    return hex + ">";
}

int PdfFile::reserve() {
    bodies_.emplace_back();
    return static_cast<int>(bodies_.size());
}

void PdfFile::put(int id, std::string body) { bodies_[id - 1] = std::move(body); }

int PdfFile::addStream(const std::string& dictionary, std::string_view data,
                       const std::string& filter) {
    std::string packed;
    std::string used = filter;
    if (filter.empty()) {
        ok_ = Deflate(data, packed) && ok_;
        data = packed;
        used = "/FlateDecode";
    }
    const int id = reserve();
    put(id, "<< " + dictionary + " /Filter " + used + " /Length " + std::to_string(data.size()) +
                " >>\nstream\n" + std::string(data) + "\nendstream");
    return id;
}

std::string PdfFile::finish(const std::vector<std::string>& pageContents,
                            const std::string& resources, std::string_view title) {
    const int catalog = reserve(), pages = reserve(), shared = reserve(), info = reserve();
    put(shared, "<< " + resources + " >>");
    std::string kids;
    for (const auto& content : pageContents) {
        const int stream = addStream("", content);
        const int page = reserve();
        put(page, "<< /Type /Page /Parent " + Ref(pages) + " /MediaBox " + kA4 + " /Resources " +
                      Ref(shared) + " /Contents " + Ref(stream) + " >>");
        kids += Ref(page) + " ";
    }
    put(pages, "<< /Type /Pages /Kids [" + kids + "] /Count " +
                   std::to_string(pageContents.size()) + " >>");
    put(catalog, "<< /Type /Catalog /Pages " + Ref(pages) + " >>");
    put(info, "<< /Title " + std::string(title) + " /Creator (luckydraw) >>");
    if (!ok_) return {};

    std::string out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < bodies_.size(); ++i) {
        offsets.push_back(out.size());
        out += std::to_string(i + 1) + " 0 obj\n" + bodies_[i] + "\nendobj\n";
    }
    const size_t xref = out.size();
    out += "xref\n0 " + std::to_string(bodies_.size() + 1) + "\n0000000000 65535 f \n";
    char entry[24];
    for (const size_t offset : offsets) {
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        out += entry;
    }
    return out + "trailer\n<< /Size " + std::to_string(bodies_.size() + 1) + " /Root " +
           Ref(catalog) + " /Info " + Ref(info) + " >>\nstartxref\n" + std::to_string(xref) +
           "\n%%EOF\n";
}

}  // namespace ld::exporting
