#pragma once
// Move-only owners for the Windows handles Korrimat obtains. Each handle kind is one traits
// struct naming its "empty" value and its close function, so no handle can be closed twice
// or forgotten on an early return.

#include <windows.h>
#include <bcrypt.h>
#include <wincrypt.h>
#include <shellapi.h>

#include <utility>

namespace korrimat {

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::Empty(); }

    Handle Release() noexcept { return std::exchange(handle_, Traits::Empty()); }

    void Reset(Handle handle = Traits::Empty()) noexcept
    {
        Handle old = std::exchange(handle_, handle);
        if (old != Traits::Empty())
            Traits::Close(old);
    }

private:
    Handle handle_ = Traits::Empty();
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) noexcept { ::FindClose(handle); }
};

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) noexcept { ::CloseHandle(handle); }
};

struct IconTraits {
    using Handle = HICON;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::DestroyIcon(handle); }
};

template <typename GdiHandle>
struct GdiObjectTraits {
    using Handle = GdiHandle;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::DeleteObject(handle); }
};

struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::DeleteDC(handle); }
};

struct WindowTraits {
    using Handle = HWND;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::DestroyWindow(handle); }
};

// Files dropped on a window: the receiver releases them.
struct DropTraits {
    using Handle = HDROP;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::DragFinish(handle); }
};

struct GlobalMemoryTraits {
    using Handle = HGLOBAL;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::GlobalFree(handle); }
};

// Memory the system allocated for the caller with LocalAlloc (CommandLineToArgvW's list).
struct LocalMemoryTraits {
    using Handle = HLOCAL;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::LocalFree(handle); }
};

// The system's certificates and signed messages.
struct CertificateStoreTraits {
    using Handle = HCERTSTORE;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::CertCloseStore(handle, 0); }
};
struct CryptMessageTraits {
    using Handle = HCRYPTMSG;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::CryptMsgClose(handle); }
};
struct CertificateTraits {
    using Handle = PCCERT_CONTEXT;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::CertFreeCertificateContext(handle); }
};
struct CertificateChainTraits {
    using Handle = PCCERT_CHAIN_CONTEXT;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::CertFreeCertificateChain(handle); }
};

// Threads and events: empty is null.
struct KernelObjectTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::CloseHandle(handle); }
};

struct HeapTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::HeapDestroy(handle); }
};

struct ChangeNotificationTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) noexcept { ::FindCloseChangeNotification(handle); }
};

struct MenuTraits {
    using Handle = HMENU;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::DestroyMenu(handle); }
};

struct AcceleratorTraits {
    using Handle = HACCEL;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::DestroyAcceleratorTable(handle); }
};

struct CryptoAlgorithmTraits {
    using Handle = BCRYPT_ALG_HANDLE;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::BCryptCloseAlgorithmProvider(handle, 0); }
};

struct CryptoHashTraits {
    using Handle = BCRYPT_HASH_HANDLE;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::BCryptDestroyHash(handle); }
};

using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniquePen = UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueRegion = UniqueHandle<GdiObjectTraits<HRGN>>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;
using UniqueDrop = UniqueHandle<DropTraits>;
using UniqueGlobal = UniqueHandle<GlobalMemoryTraits>;
using UniqueLocal = UniqueHandle<LocalMemoryTraits>;
using UniqueCertificateStore = UniqueHandle<CertificateStoreTraits>;
using UniqueCryptMessage = UniqueHandle<CryptMessageTraits>;
using UniqueCertificate = UniqueHandle<CertificateTraits>;
using UniqueChain = UniqueHandle<CertificateChainTraits>;
using UniqueThread = UniqueHandle<KernelObjectTraits>;
using UniqueProcess = UniqueHandle<KernelObjectTraits>;
using UniqueEvent = UniqueHandle<KernelObjectTraits>;
using UniqueChangeNotification = UniqueHandle<ChangeNotificationTraits>;
using UniqueHeap = UniqueHandle<HeapTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueAccelerators = UniqueHandle<AcceleratorTraits>;
using UniqueCryptoAlgorithm = UniqueHandle<CryptoAlgorithmTraits>;
using UniqueCryptoHash = UniqueHandle<CryptoHashTraits>;

} // namespace korrimat
