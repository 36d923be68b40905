// Owners of what the program opens: each closes its handle when it goes out
// of scope. Where a close must come first (a file flushed and closed before
// it is renamed, a handle that another library closes), release() hands the
// handle over and the owner forgets it. Lower layer; the file owner is
// portable, the others exist in the Windows build only.
#pragma once

#include <cstdio>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

// Traits name the value that means "no handle" and how a handle is closed.
template <typename Traits>
class ScopedHandle {
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : handle_(handle) {}
    ~ScopedHandle() { reset(); }

    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::kNone; }

    // The handle, no longer owned.
    Handle release() { return std::exchange(handle_, Traits::kNone); }

    // Closes the handle held (if any) and owns handle instead.
    void reset(Handle handle = Traits::kNone)
    {
        const Handle old = std::exchange(handle_, handle);
        if (old != Traits::kNone)
            Traits::Close(old);
    }

private:
    Handle handle_ = Traits::kNone;
};

struct FileTraits {
    using Handle = FILE*;
    static constexpr Handle kNone = nullptr;
    static void Close(Handle file) { std::fclose(file); }
};
// A C file; a close whose result matters goes through release().
using ScopedFile = ScopedHandle<FileTraits>;

#ifdef _WIN32

struct FileHandleTraits {
    using Handle = HANDLE;
    static inline const Handle kNone = INVALID_HANDLE_VALUE;
    static void Close(Handle file) { CloseHandle(file); }
};
// A file of CreateFile (INVALID_HANDLE_VALUE when none).
using ScopedFileHandle = ScopedHandle<FileHandleTraits>;

struct FindHandleTraits {
    using Handle = HANDLE;
    static inline const Handle kNone = INVALID_HANDLE_VALUE;
    static void Close(Handle search) { FindClose(search); }
};
// A directory search of FindFirstFile.
using ScopedFind = ScopedHandle<FindHandleTraits>;

struct RegistryKeyTraits {
    using Handle = HKEY;
    static constexpr Handle kNone = nullptr;
    static void Close(Handle key) { RegCloseKey(key); }
};
// An open registry key.
using ScopedRegistryKey = ScopedHandle<RegistryKeyTraits>;

struct KernelObjectTraits {
    using Handle = HANDLE;
    static constexpr Handle kNone = nullptr;
    static void Close(Handle object) { CloseHandle(object); }
};
// A process, thread or other kernel object (null when none).
using ScopedKernelObject = ScopedHandle<KernelObjectTraits>;

template <typename Object>
struct GdiObjectTraits {
    using Handle = Object;
    static constexpr Handle kNone = nullptr;
    static void Close(Handle object) { DeleteObject(object); }
};
// A pen, brush or font; it must no longer be selected into a drawing
// context when the owner goes.
template <typename Object>
using ScopedGdiObject = ScopedHandle<GdiObjectTraits<Object>>;

// The drawing context of a window (GetDC), released to that window.
class WindowDc {
public:
    WindowDc() = default;
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() { reset(); }

    WindowDc(WindowDc&& other) noexcept
        : window_(other.window_), dc_(std::exchange(other.dc_, nullptr))
    {
    }
    WindowDc& operator=(WindowDc&& other) noexcept
    {
        if (this == &other)
            return *this;
        reset();
        window_ = other.window_;
        dc_ = std::exchange(other.dc_, nullptr);
        return *this;
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

    void reset()
    {
        if (dc_)
            ReleaseDC(window_, std::exchange(dc_, nullptr));
    }

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

// The drawing context of a paint message (BeginPaint), ended with EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintDc() { EndPaint(window_, &paint_); }

    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    HDC get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_;
    HDC dc_;
};

#endif

#ifdef _WIN32
#include <io.h>

struct CrtFileTraits {
    using Handle = int;
    static constexpr Handle kNone = -1;
    static void Close(Handle descriptor) { _close(descriptor); }
};
// A descriptor of the C runtime (_open_osfhandle), before a FILE takes it.
using ScopedCrtFile = ScopedHandle<CrtFileTraits>;
#endif
