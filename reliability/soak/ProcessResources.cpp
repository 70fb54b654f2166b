#include "reliability/soak/ProcessResources.h"

#include "platform/UniqueHandle.h"

#include <winternl.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace korrimat::soak {

namespace {

// One entry of the GDI handle table as Wine 8 lays it out (its ntgdi.h, GDI_HANDLE_ENTRY): the
// object's address, the owner, the handle's upper word (low byte: the object kind in 7 bits and
// the stock flag), the type (0 for a free entry), flags, and a user-side pointer.
struct GdiHandleEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;
    std::uint8_t type;
    std::uint8_t flags;
    std::uint64_t userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "the table's entries are 24 bytes on both word sizes");

constexpr std::size_t kGdiTableEntries = 0x10000;
constexpr std::uint16_t kStockFlag = 0x80;
constexpr std::uint16_t kKindMask = 0x7F;

// Where the PEB keeps the table's address (PEB.GdiSharedHandleTable), on each word size.
constexpr std::size_t kPeb64GdiTableOffset = 0xF8;
#ifdef _WIN64
constexpr std::size_t kPebGdiTableOffset = kPeb64GdiTableOffset;
#else
constexpr std::size_t kPebGdiTableOffset = 0x94;
// A 32-bit process on 64-bit Wine finds the table in the 64-bit PEB, whose TEB's address its own
// TEB keeps in GdiBatchCount; the 64-bit TEB points at that PEB.
constexpr std::size_t kTebGdiBatchCountOffset = 0xF70;
constexpr std::size_t kTeb64PebOffset = 0x60;
#endif

GdiKind KindOf(std::uint16_t unique)
{
    switch (unique & kKindMask) {
    case 0x01:  // display DC
    case 0x21:  // enhanced metafile DC
    case 0x41:  // memory DC
    case 0x66:  // metafile DC
        return GdiKind::DeviceContext;
    case 0x04:
        return GdiKind::Region;
    case 0x05:  // surface
    case 0x09:
        return GdiKind::Bitmap;
    case 0x08:
        return GdiKind::Palette;
    case 0x0A:
        return GdiKind::Font;
    case 0x10:
        return GdiKind::Brush;
    case 0x30:  // pen
    case 0x50:  // extended pen
        return GdiKind::Pen;
    default:
        return GdiKind::Other;
    }
}

// True when every byte of [address, address + size) is committed, readable memory.
bool Readable(const void* address, std::size_t size)
{
    const auto* at = static_cast<const BYTE*>(address);
    const BYTE* end = at + size;
    while (at < end) {
        MEMORY_BASIC_INFORMATION region{};
        if (::VirtualQuery(at, &region, sizeof(region)) == 0 || region.State != MEM_COMMIT)
            return false;
        constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                    PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
        if (!(region.Protect & kReadable) || (region.Protect & PAGE_GUARD))
            return false;
        at = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize;
    }
    return true;
}

bool OwnedByThisProcess(HWND window)
{
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process == ::GetCurrentProcessId();
}

BOOL CALLBACK CountChild(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// The window itself and all its descendants (EnumChildWindows goes all the way down).
int WindowAndDescendants(HWND window)
{
    int count = 1;
    ::EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&count));
    return count;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM count)
{
    if (OwnedByThisProcess(window))
        *reinterpret_cast<int*>(count) += WindowAndDescendants(window);
    return TRUE;
}

std::string Signed(int value)
{
    std::string text = std::to_string(value);
    if (value >= 0)
        text.insert(text.begin(), '+');
    return text;
}

// The address of this process's PEB.
const BYTE* ProcessEnvironmentBlock()
{
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (::NtQueryInformationProcess(::GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof(basic), &length) != 0)
        return nullptr;
    return reinterpret_cast<const BYTE*>(basic.PebBaseAddress);
}

#ifndef _WIN64
// The address of this thread's TEB (asked of the system rather than read from the segment register).
std::uintptr_t ThreadEnvironmentBlock()
{
    struct BasicThreadInformation {
        NTSTATUS exitStatus;
        void* tebBaseAddress;
        CLIENT_ID clientId;
        ULONG_PTR affinityMask;
        LONG priority;
        LONG basePriority;
    } basic{};
    ULONG length = 0;
    if (::NtQueryInformationThread(::GetCurrentThread(), ThreadBasicInformation, &basic, sizeof(basic), &length) != 0)
        return 0;
    return reinterpret_cast<std::uintptr_t>(basic.tebBaseAddress);
}
#endif

// A pointer-sized (or 64-bit) value at an address, when it can be read.
template <typename Value>
std::optional<Value> ReadValue(std::uintptr_t address)
{
    if (address == 0 || !Readable(reinterpret_cast<const void*>(address), sizeof(Value)))
        return std::nullopt;
    return *reinterpret_cast<const Value*>(address);
}

// The GDI handle table of this process; null where the system keeps none the process can read.
const void* GdiHandleTable()
{
    const BYTE* peb = ProcessEnvironmentBlock();
    const auto table = ReadValue<std::uintptr_t>(reinterpret_cast<std::uintptr_t>(peb) + kPebGdiTableOffset);
    if (table && *table)
        return reinterpret_cast<const void*>(*table);
#ifndef _WIN64
    const auto teb64 = ReadValue<std::uint32_t>(ThreadEnvironmentBlock() + kTebGdiBatchCountOffset);
    const auto peb64 = teb64 ? ReadValue<std::uint64_t>(*teb64 + kTeb64PebOffset) : std::nullopt;
    const auto table64 = peb64 && *peb64 <= UINTPTR_MAX - kPeb64GdiTableOffset
                           ? ReadValue<std::uint64_t>(static_cast<std::uintptr_t>(*peb64) + kPeb64GdiTableOffset)
                           : std::nullopt;
    if (table64 && *table64 && *table64 <= UINTPTR_MAX)
        return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(*table64));
#endif
    return nullptr;
}

} // namespace

const char* GdiKindName(GdiKind kind)
{
    switch (kind) {
    case GdiKind::DeviceContext:
        return "DC";
    case GdiKind::Region:
        return "region";
    case GdiKind::Bitmap:
        return "bitmap";
    case GdiKind::Palette:
        return "palette";
    case GdiKind::Font:
        return "font";
    case GdiKind::Brush:
        return "brush";
    case GdiKind::Pen:
        return "pen";
    default:
        return "other";
    }
}

GdiTableCount CountGdiHandleTable()
{
    GdiTableCount count;
    const void* table = GdiHandleTable();
    if (!table || !Readable(table, kGdiTableEntries * sizeof(GdiHandleEntry)))
        return count;
    count.readable = true;
    const auto* entries = static_cast<const GdiHandleEntry*>(table);
    for (std::size_t i = 0; i < kGdiTableEntries; ++i) {
        const GdiHandleEntry& entry = entries[i];
        if (entry.type == 0 || (entry.unique & kStockFlag))
            continue;
        ++count.total;
        ++count.byKind[static_cast<std::size_t>(KindOf(entry.unique))];
    }
    return count;
}

int CountProcessWindows()
{
    int count = 0;
    ::EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&count));
    // Message-only windows are not top-level windows: they are found under HWND_MESSAGE.
    HWND messageOnly = nullptr;
    while ((messageOnly = ::FindWindowExA(HWND_MESSAGE, messageOnly, nullptr, nullptr)) != nullptr) {
        if (OwnedByThisProcess(messageOnly))
            count += WindowAndDescendants(messageOnly);
    }
    return count;
}

std::uint64_t HeapBytesInUse()
{
    std::vector<HANDLE> heaps(::GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    std::uint64_t total = 0;
    for (HANDLE heap : heaps) {
        if (!::HeapLock(heap))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (::HeapWalk(heap, &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                total += entry.cbData;
        }
        ::HeapUnlock(heap);
    }
    return total;
}

std::uint64_t PrivateCommittedBytes()
{
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    std::uint64_t total = 0;
    const auto* at = static_cast<const BYTE*>(system.lpMinimumApplicationAddress);
    const auto* end = static_cast<const BYTE*>(system.lpMaximumApplicationAddress);
    MEMORY_BASIC_INFORMATION region{};
    while (at < end && ::VirtualQuery(at, &region, sizeof(region)) == sizeof(region)) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        at = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize;
    }
    return total;
}

std::uint64_t PrivateUsage()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                sizeof(counters)))
        return 0;
    return counters.PrivateUsage;
}

namespace {

// One entry of the system's handle table (SystemExtendedHandleInformation), as published.
struct SystemHandleEntry {
    void* object;
    ULONG_PTR process;
    ULONG_PTR handle;
    ULONG access;
    USHORT creatorBackTraceIndex;
    USHORT objectType;
    ULONG attributes;
    ULONG reserved;
};
struct SystemHandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    SystemHandleEntry entries[1];
};
constexpr auto kSystemExtendedHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(64);
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);

} // namespace

int CountKernelHandles()
{
    DWORD count = 0;
    if (::GetProcessHandleCount(::GetCurrentProcess(), &count) && count > 0)
        return static_cast<int>(count);
    std::vector<std::uint8_t> buffer(1 << 20);
    NTSTATUS status = kInfoLengthMismatch;
    for (int attempt = 0; attempt < 6 && status == kInfoLengthMismatch; ++attempt) {
        ULONG needed = 0;
        status = ::NtQuerySystemInformation(kSystemExtendedHandleInformation, buffer.data(),
                                            static_cast<ULONG>(buffer.size()), &needed);
        if (status == kInfoLengthMismatch)
            buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
    }
    if (status != 0)
        return -1;
    const auto* table = reinterpret_cast<const SystemHandleTable*>(buffer.data());
    const auto self = static_cast<ULONG_PTR>(::GetCurrentProcessId());
    int own = 0;
    for (ULONG_PTR i = 0; i < table->count; ++i)
        own += table->entries[i].process == self ? 1 : 0;
    return own;
}

int CountThreads()
{
    const UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot)
        return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    int threads = 0;
    for (BOOL more = ::Thread32First(snapshot.Get(), &entry); more; more = ::Thread32Next(snapshot.Get(), &entry))
        threads += entry.th32OwnerProcessID == ::GetCurrentProcessId() ? 1 : 0;
    return threads;
}

ResourceCounter::ResourceCounter()
{
    using WineGetVersion = const char*(__cdecl*)();
    if (HMODULE ntdll = ::GetModuleHandleA("ntdll.dll")) {
        if (auto getVersion = reinterpret_cast<WineGetVersion>(
                reinterpret_cast<void*>(::GetProcAddress(ntdll, "wine_get_version"))))
            wineVersion_ = getVersion();
    }
    privateUsageReported_ = PrivateUsage() > 0;
    ProbeGdi();
    ProbeIcons();
    ProbeWindows();
}

ResourceSample ResourceCounter::Take() const
{
    ResourceSample sample;
    sample.guiGdi = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    sample.guiUser = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    if (gdiSource_ == GdiSourceKind::HandleTable)
        sample.gdiTable = CountGdiHandleTable();
    sample.windows = CountProcessWindows();
    sample.kernelHandles = CountKernelHandles();
    sample.threads = CountThreads();
    sample.privateUsage = PrivateUsage();
    sample.privateCommitted = PrivateCommittedBytes();
    sample.heapBytes = HeapBytesInUse();
    return sample;
}

int ResourceCounter::GdiObjects(const ResourceSample& sample) const
{
    switch (gdiSource_) {
    case GdiSourceKind::GuiResources:
        return static_cast<int>(sample.guiGdi);
    case GdiSourceKind::HandleTable:
        return sample.gdiTable.readable ? sample.gdiTable.total : -1;
    default:
        return -1;
    }
}

const char* ResourceCounter::GdiSource() const noexcept
{
    switch (gdiSource_) {
    case GdiSourceKind::GuiResources:
        return "GetGuiResources(GR_GDIOBJECTS)";
    case GdiSourceKind::HandleTable:
        return "live entries of the PEB's GDI handle table, stock objects left out";
    default:
        return "none";
    }
}

std::uint64_t ResourceCounter::PrivateBytes(const ResourceSample& sample) const
{
    return privateUsageReported_ ? sample.privateUsage : sample.privateCommitted;
}

const char* ResourceCounter::PrivateBytesSource() const noexcept
{
    return privateUsageReported_ ? "PrivateUsage of GetProcessMemoryInfo"
                                 : "committed private regions (VirtualQuery); PrivateUsage answers 0 here";
}

int ResourceCounter::UserObjects(const ResourceSample& sample) const
{
    return userFromGuiResources_ ? static_cast<int>(sample.guiUser) : -1;
}

void ResourceCounter::ProbeGdi()
{
    // Each probe brush has its own colour, so that no system may hand back a shared one.
    auto probe = [](auto count) {
        const int before = count();
        std::vector<UniqueBrush> brushes;
        for (int i = 0; i < 100; ++i)
            brushes.emplace_back(::CreateSolidBrush(RGB(i, 255 - i, 17)));
        const int during = count();
        brushes.clear();
        const int after = count();
        return std::pair<int, int>{during - before, after - before};
    };

    if (::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS) > 0) {
        const auto [created, left] =
            probe([] { return static_cast<int>(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)); });
        gdiSource_ = GdiSourceKind::GuiResources;
        probeReport_ += "GDI probe (GetGuiResources): 100 brushes created " + Signed(created) + ", deleted " +
                        Signed(left - created) + "\n";
        return;
    }
    probeReport_ += "GetGuiResources(GR_GDIOBJECTS) answers 0 here";
    if (!CountGdiHandleTable().readable) {
        probeReport_ += "; no GDI handle table is readable: GDI objects are not counted\n";
        return;
    }
    const auto [created, left] = probe([] { return CountGdiHandleTable().total; });
    const bool proven = created == 100 && left == 0;
    probeReport_ += "; GDI handle table probe: 100 brushes created " + Signed(created) + ", deleted " +
                    Signed(left - created) + (proven ? ": table trusted\n" : ": table NOT trusted, not used\n");
    if (proven)
        gdiSource_ = GdiSourceKind::HandleTable;
}

void ResourceCounter::ProbeIcons()
{
    userFromGuiResources_ = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS) > 0;
    if (gdiSource_ == GdiSourceKind::None)
        return;
    auto gdiCount = [this] {
        ResourceSample sample;
        sample.guiGdi = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
        if (gdiSource_ == GdiSourceKind::HandleTable)
            sample.gdiTable = CountGdiHandleTable();
        return GdiObjects(sample);
    };

    // Ten icons made from one pair of bitmaps; each icon keeps its own copies.
    constexpr int kIcons = 10;
    HDC screen = ::GetDC(nullptr);
    UniqueBitmap colour(::CreateCompatibleBitmap(screen, 32, 32));
    ::ReleaseDC(nullptr, screen);
    UniqueBitmap mask(::CreateBitmap(32, 32, 1, 1, nullptr));
    const int before = gdiCount();
    std::vector<UniqueIcon> icons;
    for (int i = 0; i < kIcons; ++i) {
        ICONINFO info{TRUE, 0, 0, mask.Get(), colour.Get()};
        icons.emplace_back(::CreateIconIndirect(&info));
    }
    const int during = gdiCount();
    icons.clear();
    const int after = gdiCount();

    const int perIcon = (during - before) / kIcons;
    probeReport_ += std::string("Icon probe: ") + std::to_string(kIcons) + " icons created " + Signed(during - before) +
                    " GDI objects, destroyed " + Signed(after - during);
    if (perIcon > 0 && after == before)
        probeReport_ += std::string(": an icon holds ") + std::to_string(perIcon) +
                        " GDI objects here, so an icon never destroyed shows in the GDI count\n";
    else
        probeReport_ += ": icons do not show in the GDI count here\n";
}

void ResourceCounter::ProbeWindows()
{
    // The thread's first window brings helper windows of the system's own along: made first.
    UniqueWindow first(::CreateWindowExA(0, "STATIC", "probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                         ::GetModuleHandleA(nullptr), nullptr));
    const int before = CountProcessWindows();
    std::vector<UniqueWindow> windows;
    for (int i = 0; i < 3; ++i)
        windows.emplace_back(::CreateWindowExA(0, "STATIC", "probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                               ::GetModuleHandleA(nullptr), nullptr));
    const int during = CountProcessWindows();
    windows.clear();
    const int after = CountProcessWindows();
    probeReport_ += "Window probe: 3 windows created " + Signed(during - before) + ", destroyed " +
                    Signed(after - during) + "\n";
}

} // namespace korrimat::soak
