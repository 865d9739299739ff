// Dialog templates built in memory (DLGTEMPLATE and its items), so the program's own small
// dialogs need no resource script. Coordinates are dialog units.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace ld::win {

constexpr WORD kButtonAtom = 0x0080, kEditAtom = 0x0081, kStaticAtom = 0x0082,
               kListBoxAtom = 0x0083;

class DialogTemplate {
public:
    // A modal, centred dialog of the shell font with `items` controls to follow; another
    // `frame` and `exStyle` make other kinds of window.
    DialogTemplate(const std::wstring& caption, short cx, short cy, WORD items,
                   DWORD frame = DS_MODALFRAME | DS_CENTER | WS_SYSMENU, DWORD exStyle = 0) {
        dword(frame | DS_SHELLFONT | WS_POPUP | WS_CAPTION);
        dword(exStyle);
        word(items);
        for (short v : {short{0}, short{0}, cx, cy}) word(static_cast<WORD>(v));
        word(0);  // no menu
        word(0);  // the standard dialog class
        text(caption);
        word(9);
        text(L"MS Shell Dlg");
    }
    void item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom,
              const std::wstring& title, DWORD exStyle = 0) {
        head(style, x, y, cx, cy, id, exStyle);
        word(0xFFFF);
        word(atom);
        text(title);
        word(0);  // no creation data
    }
    // A control of a registered class named by `className` (a common control).
    void item(DWORD style, short x, short y, short cx, short cy, WORD id,
              const std::wstring& className, DWORD exStyle = 0) {
        head(style, x, y, cx, cy, id, exStyle);
        text(className);
        word(0);  // no title
        word(0);  // no creation data
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void head(DWORD style, short x, short y, short cx, short cy, WORD id, DWORD exStyle) {
        if (words_.size() % 2) words_.push_back(0);  // items start on a DWORD
        dword(WS_CHILD | WS_VISIBLE | style);
        dword(exStyle);
        for (short v : {x, y, cx, cy}) word(static_cast<WORD>(v));
        word(id);
    }
    // Every part of a template is made of 16-bit words; the buffer is DWORD-aligned.
    void word(WORD w) { words_.push_back(w); }
    void dword(DWORD d) {
        words_.push_back(LOWORD(d));
        words_.push_back(HIWORD(d));
    }
    void text(const std::wstring& s) {
        for (wchar_t c : s) words_.push_back(static_cast<WORD>(c));
        words_.push_back(0);
    }
    std::vector<WORD> words_;
};

}  // namespace ld::win
