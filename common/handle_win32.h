// Small owners for Win32 handles: each releases what it holds when it goes
// out of scope, so a handle is released where it was taken.
#pragma once

#include <windows.h>

#include <utility>

template <typename T, typename Release>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(T value) : value_(value) {}
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    ~UniqueResource() { reset(); }

    T get() const { return value_; }
    explicit operator bool() const { return Release::IsSet(value_); }
    T release() { return std::exchange(value_, Release::Empty()); }
    void reset(T value = Release::Empty())
    {
        if (Release::IsSet(value_)) {
            Release::Free(value_);
        }
        value_ = value;
    }

private:
    T value_ = Release::Empty();
};

struct KernelHandleRelease {
    static HANDLE Empty() { return nullptr; }
    static bool IsSet(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Free(HANDLE h) { CloseHandle(h); }
};
// Processes, threads, mutexes, files and file mappings.
using UniqueHandle = UniqueResource<HANDLE, KernelHandleRelease>;

struct RegistryKeyRelease {
    static HKEY Empty() { return nullptr; }
    static bool IsSet(HKEY k) { return k != nullptr; }
    static void Free(HKEY k) { RegCloseKey(k); }
};
using UniqueRegKey = UniqueResource<HKEY, RegistryKeyRelease>;

struct LibraryRelease {
    static HMODULE Empty() { return nullptr; }
    static bool IsSet(HMODULE m) { return m != nullptr; }
    static void Free(HMODULE m) { FreeLibrary(m); }
};
using UniqueLibrary = UniqueResource<HMODULE, LibraryRelease>;

struct MemoryDcRelease {
    static HDC Empty() { return nullptr; }
    static bool IsSet(HDC dc) { return dc != nullptr; }
    static void Free(HDC dc) { DeleteDC(dc); }
};
// A device context from CreateCompatibleDC.
using UniqueMemoryDc = UniqueResource<HDC, MemoryDcRelease>;

struct GdiObjectRelease {
    static HGDIOBJ Empty() { return nullptr; }
    static bool IsSet(HGDIOBJ o) { return o != nullptr; }
    static void Free(HGDIOBJ o) { DeleteObject(o); }
};
using UniqueGdiObject = UniqueResource<HGDIOBJ, GdiObjectRelease>;

struct LocalMemoryRelease {
    static HLOCAL Empty() { return nullptr; }
    static bool IsSet(HLOCAL m) { return m != nullptr; }
    static void Free(HLOCAL m) { LocalFree(m); }
};
// Memory that a system call allocated for the caller (FormatMessageA).
using UniqueLocalMemory = UniqueResource<HLOCAL, LocalMemoryRelease>;

struct MappedViewRelease {
    static const void* Empty() { return nullptr; }
    static bool IsSet(const void* v) { return v != nullptr; }
    static void Free(const void* v) { UnmapViewOfFile(v); }
};
using UniqueMappedView = UniqueResource<const void*, MappedViewRelease>;

// Selects an object into a device context and selects the previous one back.
class ObjectSelection {
public:
    ObjectSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ObjectSelection(const ObjectSelection&) = delete;
    ObjectSelection& operator=(const ObjectSelection&) = delete;
    ~ObjectSelection()
    {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc()
    {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};
