// Owners for Win32 handles: each releases its handle with the right call
// when it goes out of scope. Copying is not allowed (it would release the
// handle twice); moving hands the handle on. Get() gives the raw handle,
// Release() gives it up without closing it.
#pragma once

#include <windows.h>

#include <utility>

namespace win32 {

template <typename Handle, typename Closer>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return Closer::IsValid(handle_); }
    Handle Release() { return std::exchange(handle_, Closer::Invalid()); }
    void Reset(Handle handle = Closer::Invalid()) {
        if (Closer::IsValid(handle_)) Closer::Close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Closer::Invalid();
};

template <typename Handle>
struct NullInvalid {
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
};

template <typename Object>
struct TypedGdiCloser : NullInvalid<Object> {
    static void Close(Object h) { ::DeleteObject(h); }
};
struct DcCloser : NullInvalid<HDC> {
    static void Close(HDC h) { ::DeleteDC(h); }
};
struct KernelHandleCloser : NullInvalid<HANDLE> {
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FileHandleCloser {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FindCloser {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
struct RegKeyCloser : NullInvalid<HKEY> {
    static void Close(HKEY h) { ::RegCloseKey(h); }
};
struct LibraryCloser : NullInvalid<HMODULE> {
    static void Close(HMODULE h) { ::FreeLibrary(h); }
};
struct MenuCloser : NullInvalid<HMENU> {
    static void Close(HMENU h) { ::DestroyMenu(h); }
};
struct IconCloser : NullInvalid<HICON> {
    static void Close(HICON h) { ::DestroyIcon(h); }
};
struct ViewCloser : NullInvalid<void*> {
    static void Close(void* view) { ::UnmapViewOfFile(view); }
};

using UniqueBitmap = UniqueHandle<HBITMAP, TypedGdiCloser<HBITMAP>>;
using UniqueFont = UniqueHandle<HFONT, TypedGdiCloser<HFONT>>;
using UniqueBrush = UniqueHandle<HBRUSH, TypedGdiCloser<HBRUSH>>;
using UniqueMemoryDc = UniqueHandle<HDC, DcCloser>;  // CreateCompatibleDC, CreateDCA
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleCloser>;  // threads, events, processes
using UniqueFile = UniqueHandle<HANDLE, FileHandleCloser>;            // CreateFileA
using UniqueFind = UniqueHandle<HANDLE, FindCloser>;                  // FindFirstFileA
using UniqueRegKey = UniqueHandle<HKEY, RegKeyCloser>;
using UniqueLibrary = UniqueHandle<HMODULE, LibraryCloser>;
using UniqueMenu = UniqueHandle<HMENU, MenuCloser>;
using UniqueIcon = UniqueHandle<HICON, IconCloser>;  // LoadImageA of an icon
using UniqueView = UniqueHandle<void*, ViewCloser>;  // MapViewOfFile

// A device context from GetDC (of a window, or of the screen for none),
// given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window = nullptr) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint and EndPaint around one WM_PAINT.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window) { dc_ = ::BeginPaint(window, &paint_); }
    ~PaintDc() { ::EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    HDC Get() const { return dc_; }
    const PAINTSTRUCT& Info() const { return paint_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects an object into a device context and puts the old one back.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
    ~Selection() {
        if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A critical section, and the scope in which one thread holds it.
class CriticalSection {
public:
    CriticalSection() { ::InitializeCriticalSection(&section_); }
    ~CriticalSection() { ::DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void Enter() { ::EnterCriticalSection(&section_); }
    void Leave() { ::LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

class Locked {
public:
    explicit Locked(CriticalSection& section) : section_(section) { section_.Enter(); }
    ~Locked() { section_.Leave(); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    CriticalSection& section_;
};

}  // namespace win32
