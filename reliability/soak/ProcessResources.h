#pragma once
// What this process holds of the window system and of memory, counted the most direct way the
// system at hand allows, each figure labelled with where it came from.
//
// GDI objects: GetGuiResources where it answers. Wine answers 0, but keeps the process's GDI
// handles in a table that the PEB points at (GdiSharedHandleTable); a live entry has a type, a
// free one none. That table is read only after a probe proves it: 100 brushes created must add
// exactly 100 entries, and deleting them must take them away again.
// USER objects: GetGuiResources where it answers; everywhere, the process's windows, counted by
// enumeration (top-level, message-only, and all their descendants).
// Kernel handles: GetProcessHandleCount where it answers; Wine answers 0, so there the process's
// entries of the system's handle table (SystemExtendedHandleInformation). Threads: the process's
// threads in a Toolhelp snapshot.
// Memory: the private bytes of GetProcessMemoryInfo (Wine reports 0 there, so also the committed
// private regions found by walking the address space), and the bytes in use in the process's heaps.

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace korrimat::soak {

// The GDI object kinds the handle table tells apart, for a breakdown of what grew.
enum class GdiKind { DeviceContext, Region, Bitmap, Palette, Font, Brush, Pen, Other, Count };

struct GdiTableCount {
    bool readable = false;
    int total = 0;  // live entries, stock objects left out
    std::array<int, static_cast<std::size_t>(GdiKind::Count)> byKind{};
};

struct ResourceSample {
    // GetGuiResources: 0 under Wine.
    DWORD guiGdi = 0;
    DWORD guiUser = 0;
    GdiTableCount gdiTable;
    int windows = 0;
    // Open kernel handles (threads, events, files, change notifications...); -1 when uncounted.
    int kernelHandles = -1;
    int threads = -1;
    // PrivateUsage of GetProcessMemoryInfo: 0 under Wine.
    std::uint64_t privateUsage = 0;
    // The same measure taken directly: committed private memory, region by region (VirtualQuery).
    std::uint64_t privateCommitted = 0;
    std::uint64_t heapBytes = 0;
};

class ResourceCounter {
public:
    // Probes the sources once: which GDI count is real here, and how icons show in it.
    ResourceCounter();

    ResourceSample Take() const;

    // The GDI object count that is trusted here, and its source's name; -1 when there is none.
    int GdiObjects(const ResourceSample& sample) const;
    const char* GdiSource() const noexcept;
    // The USER object count from GetGuiResources when it answers, else -1 (Wine).
    int UserObjects(const ResourceSample& sample) const;
    // Private bytes: PrivateUsage where the system reports it, else the committed private regions.
    std::uint64_t PrivateBytes(const ResourceSample& sample) const;
    const char* PrivateBytesSource() const noexcept;

    bool UnderWine() const noexcept { return !wineVersion_.empty(); }
    const std::string& WineVersion() const noexcept { return wineVersion_; }
    // The probes' findings, one line each, for the report.
    const std::string& ProbeReport() const noexcept { return probeReport_; }

private:
    enum class GdiSourceKind { GuiResources, HandleTable, None };
    void ProbeGdi();
    void ProbeIcons();
    void ProbeWindows();

    GdiSourceKind gdiSource_ = GdiSourceKind::None;
    bool userFromGuiResources_ = false;
    bool privateUsageReported_ = false;
    std::string wineVersion_;
    std::string probeReport_;
};

// Reads the GDI handle table the PEB points at; unreadable when there is none.
GdiTableCount CountGdiHandleTable();
// This process's windows: top-level and message-only ones, and all their descendants.
int CountProcessWindows();
// The process's open kernel handles: GetProcessHandleCount, else the system's handle table; -1
// when neither answers.
int CountKernelHandles();
// The process's threads; -1 when they cannot be counted.
int CountThreads();
// Bytes in busy blocks of all the process's heaps.
std::uint64_t HeapBytesInUse();
// PrivateUsage of GetProcessMemoryInfo (0 when the system does not report it).
std::uint64_t PrivateUsage();
// The committed private regions of the address space, added up.
std::uint64_t PrivateCommittedBytes();

const char* GdiKindName(GdiKind kind);

} // namespace korrimat::soak
