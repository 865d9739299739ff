// The stage's QR code: module for module what libqrencode makes at level M, and every
// version read back by a real reader (zbarimg) from an image with its quiet zone.
#include "checkin/qr_code.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "../services/temp_folder.h"

#if !defined(_WIN32) && __has_include(<qrencode.h>)
#include <dlfcn.h>
#include <qrencode.h>
#define LD_HAVE_QRENCODE 1
#endif

namespace ld::checkin {
namespace {

// Bytes that version v holds at level M: the longest text of each version.
constexpr int kCapacity[41] = {0,    14,   26,   42,   62,   84,   106,  122,  152,  180,  213,
                               251,  287,  331,  362,  412,  450,  504,  560,  624,  666,  711,
                               779,  857,  911,  997,  1059, 1125, 1190, 1264, 1370, 1452, 1538,
                               1628, 1722, 1809, 1911, 1989, 2099, 2213, 2331};

// Printable text that does not repeat, so every mask sees different data.
std::string TextOf(size_t length, unsigned seed) {
    std::string text;
    for (unsigned x = seed; text.size() < length;) {
        x = x * 1103515245u + 12345u;
        text.push_back(static_cast<char>(' ' + (x >> 16) % 95));
    }
    return text;
}

TEST(QrCode, PicksTheSmallestVersionAndGivesNothingPastVersion40) {
    EXPECT_EQ(MakeQrCode(std::string(kCapacity[1], 'a')).size, 21);
    EXPECT_EQ(MakeQrCode(std::string(kCapacity[1] + 1, 'a')).size, 25);
    // The address with its token, and a few times that.
    EXPECT_EQ(MakeQrCode("http://192.168.100.200:65535/?t=0123456789abcdef0123456789abcdef").size,
              37);
    EXPECT_EQ(MakeQrCode(TextOf(kCapacity[40], 1)).size, 177);
    EXPECT_EQ(MakeQrCode(TextOf(kCapacity[40] + 1, 1)).size, 0);
    EXPECT_EQ(MakeQrCode(TextOf(kCapacity[40] + 1, 1)).modules.size(), 0u);
}

#ifdef LD_HAVE_QRENCODE
// Loaded at run time: libqrencode is only a yardstick here, nothing links it.
QrCode Libqrencode(const std::string& text) {
    static void* library = dlopen("libqrencode.so.4", RTLD_NOW);
    if (!library) return {};
    using Encode = QRcode* (*)(const char*, int, QRecLevel);
    using Free = void (*)(QRcode*);
    const auto encode = reinterpret_cast<Encode>(dlsym(library, "QRcode_encodeString8bit"));
    const auto release = reinterpret_cast<Free>(dlsym(library, "QRcode_free"));
    QRcode* encoded = encode(text.c_str(), 0, QR_ECLEVEL_M);
    QrCode code;
    code.size = encoded->width;
    for (int i = 0; i < code.size * code.size; ++i) code.modules.push_back(encoded->data[i] & 1);
    release(encoded);
    return code;
}

TEST(QrCode, EveryVersionEqualsLibqrencodeModuleForModule) {
    ASSERT_TRUE(dlopen("libqrencode.so.4", RTLD_NOW)) << dlerror();
    for (int version = 1; version <= 40; ++version) {
        for (const std::string& text : {TextOf(kCapacity[version], version),
                                        TextOf(kCapacity[version - 1] + 1, version + 100)}) {
            const QrCode ours = MakeQrCode(text), theirs = Libqrencode(text);
            ASSERT_EQ(ours.size, 17 + 4 * version);
            EXPECT_EQ(ours.modules, theirs.modules)
                << "version " << version << ", " << text.size() << " bytes";
        }
    }
    // Rule 4 on the exact dark share: mask 6 leaves 54.72 % dark, within 5 % of half, so no
    // points; libqrencode rounds that to 55 %, charges 10 and takes mask 1.
    const std::string text = TextOf(15, 220293);
    EXPECT_EQ(MakeQrCode(text).modules, MakeQrCode(text, 6).modules);
    EXPECT_EQ(MakeQrCode(text, 1).modules, Libqrencode(text).modules);
}
#endif

#ifndef _WIN32
// A greyscale PGM, four pixels a module, four modules of quiet zone.
void WritePgm(const QrCode& code, const std::string& file) {
    constexpr int kScale = 4, kQuiet = 4;
    const int side = (code.size + 2 * kQuiet) * kScale;
    std::ofstream out(file, std::ios::binary);
    out << "P5\n" << side << ' ' << side << "\n255\n";
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int mx = x / kScale - kQuiet, my = y / kScale - kQuiet;
            const bool inside = mx >= 0 && my >= 0 && mx < code.size && my < code.size;
            out.put(inside && code.modules[my * code.size + mx] ? '\0' : '\xFF');
        }
}

std::string ReadBack(const std::string& file) {
    std::string text;
    FILE* pipe = popen(("zbarimg --raw -q '" + file + "' 2>/dev/null").c_str(), "r");
    if (!pipe) return text;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    pclose(pipe);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}
#endif

TEST(QrCode, EveryVersionReadsBackWithZbarimg) {
#ifdef _WIN32
    GTEST_SKIP() << "zbarimg is a Linux package; the layout is checked on Linux";
#else
    ASSERT_EQ(std::system("zbarimg --version >/dev/null 2>&1"), 0) << "zbar-tools is missing";
    test::TempFolder folder;
    for (int version = 1; version <= 40; ++version) {
        const std::string text = TextOf(kCapacity[version], version);
        const std::string file = folder.path("v" + std::to_string(version) + ".pgm");
        WritePgm(MakeQrCode(text), file);
        EXPECT_EQ(ReadBack(file), text) << "version " << version;
    }
    const std::string utf8 = "http://192.168.1.10:8080/?t=0123456789abcdef0123456789abcdef&n=张三";
    WritePgm(MakeQrCode(utf8), folder.path("utf8.pgm"));
    EXPECT_EQ(ReadBack(folder.path("utf8.pgm")), utf8);
#endif
}

}  // namespace
}  // namespace ld::checkin
