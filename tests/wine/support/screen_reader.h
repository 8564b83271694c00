// A screen reader's side of the menu window: COM joined for a case, and the
// window's accessible object asked through the system's interface.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <vector>

// Written out: the static link's IID symbols are thunks, not GUIDs.
inline const GUID AccessibleInterface = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

inline VARIANT Child(LONG id)
{
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// A text the reader got, as UTF-8 (the encoding of this source file).
inline std::string Utf8(BSTR text)
{
    if (text == nullptr)
        return "(null)";
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], length, nullptr, nullptr);
    out.resize(out.size() - 1);
    SysFreeString(text);
    return out;
}

// The reader's side: COM joined for the case, and the menu window's object.
class Reader {
public:
    Reader() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~Reader()
    {
        if (object_ != nullptr)
            object_->Release();
        CoUninitialize();
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    bool Attach(HWND window)
    {
        return SUCCEEDED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), AccessibleInterface,
                                                    reinterpret_cast<void**>(&object_))) &&
               object_ != nullptr;
    }
    IAccessible* operator->() const { return object_; }

    LONG Count() const
    {
        LONG count = -1;
        object_->get_accChildCount(&count);
        return count;
    }
    std::string Name(LONG child) const
    {
        BSTR name = nullptr;
        object_->get_accName(Child(child), &name);
        return Utf8(name);
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (LONG child = 1; child <= Count(); ++child)
            names.push_back(Name(child));
        return names;
    }
    LONG Number(HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, VARIANT*), LONG child) const
    {
        VARIANT value;
        VariantInit(&value);
        (object_->*property)(Child(child), &value);
        return value.vt == VT_I4 ? value.lVal : -1;
    }
    LONG Role(LONG child) const { return Number(&IAccessible::get_accRole, child); }
    LONG State(LONG child) const { return Number(&IAccessible::get_accState, child); }
    RECT Location(LONG child) const
    {
        LONG left = 0, top = 0, width = 0, height = 0;
        object_->accLocation(&left, &top, &width, &height, Child(child));
        return RECT{left, top, left + width, top + height};
    }
    // VT_EMPTY as -1.
    LONG HitTest(POINT screen) const
    {
        VARIANT at;
        VariantInit(&at);
        object_->accHitTest(screen.x, screen.y, &at);
        return at.vt == VT_I4 ? at.lVal : -1;
    }
    LONG Navigate(LONG direction, LONG from) const
    {
        VARIANT end;
        VariantInit(&end);
        object_->accNavigate(direction, Child(from), &end);
        return end.vt == VT_I4 ? end.lVal : -1;
    }
    LONG Focus() const
    {
        VARIANT focus;
        VariantInit(&focus);
        object_->get_accFocus(&focus);
        return focus.vt == VT_I4 ? focus.lVal : -1;
    }

private:
    IAccessible* object_ = nullptr;
};

inline RECT OnScreen(HWND window, RECT rect)
{
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
