#include "process_figures.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <vector>

namespace soak {
namespace {

constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
constexpr ULONG kSystemExtendedHandleInformation = 64;

// One row of SystemExtendedHandleInformation; the same layout on Windows and Wine.
struct HandleEntry {
    void* object;
    ULONG_PTR processId;
    ULONG_PTR handleValue;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG attributes;
    ULONG reserved;
};
struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

// The handles the wineserver (or the kernel) lists for the process: Wine's
// GetProcessHandleCount answers 0, but its system-wide handle list is real.
std::optional<std::uint64_t> CountSystemHandles(DWORD pid)
{
    std::vector<unsigned char> buffer(1 << 20);
    for (;;) {
        ULONG needed = 0;
        const NTSTATUS status =
            NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(kSystemExtendedHandleInformation),
                                     buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == kInfoLengthMismatch && buffer.size() < (64u << 20)) {
            buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096u));
            continue;
        }
        if (status != 0)
            return std::nullopt;
        break;
    }
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    std::uint64_t count = 0;
    for (ULONG_PTR i = 0; i < table->count; ++i)
        count += table->entries[i].processId == pid;
    return count ? std::optional<std::uint64_t>(count) : std::nullopt;
}

// Wine keeps each process's GDI objects in a table of its own, which the process's
// PEB points to as GdiSharedHandleTable (offset 0xF8 of a 64-bit PEB): 65536 entries
// of 24 bytes whose byte 14 is the object's type, 0 for a free entry. Windows shares
// its table between the processes of a session, so this count is only used where
// GetGuiResources gives nothing, that is under Wine.
std::optional<std::uint64_t> CountGdiTable(HANDLE process)
{
    constexpr size_t kPebGdiTable = 0xF8, kEntries = 0x10000, kEntrySize = 24, kTypeOffset = 14;
    static_assert(sizeof(void*) == 8, "the PEB offset is that of a 64-bit process");
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0 ||
        !basic.PebBaseAddress)
        return std::nullopt;
    void* table = nullptr;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<const char*>(basic.PebBaseAddress) + kPebGdiTable, &table,
                           sizeof table, &read) ||
        !table)
        return std::nullopt;
    std::vector<unsigned char> entries(kEntries * kEntrySize);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size(), &read) || read != entries.size())
        return std::nullopt;
    std::uint64_t count = 0;
    for (size_t i = 0; i < kEntries; ++i)
        count += entries[i * kEntrySize + kTypeOffset] != 0;
    return count ? std::optional<std::uint64_t>(count) : std::nullopt;
}

// The process's windows, top-level and child: the USER objects a window program
// creates and can leak. (Menus, cursors and hooks are USER objects too, but nothing
// outside the process can count them under Wine.)
std::uint64_t CountWindows(DWORD pid)
{
    struct Count {
        DWORD pid;
        std::uint64_t windows;
    } count{pid, 0};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* count = reinterpret_cast<Count*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != count->pid)
                return TRUE;
            ++count->windows;
            EnumChildWindows(
                window,
                [](HWND, LPARAM param) -> BOOL {
                    ++reinterpret_cast<Count*>(param)->windows;
                    return TRUE;
                },
                param);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.windows;
}

void Set(Sample& sample, Figure figure, std::optional<std::uint64_t> value, const char* source)
{
    if (!value || sample.values[figure])
        return;
    sample.values[figure] = value;
    sample.sources[figure] = source;
}

std::optional<std::uint64_t> NonZero(std::uint64_t value)
{
    return value ? std::optional<std::uint64_t>(value) : std::nullopt;
}

}  // namespace

const char* FigureName(Figure figure)
{
    static const char* const names[kFigureCount] = {"private_bytes", "working_set", "handles", "gdi_objects",
                                                    "user_objects"};
    return names[figure];
}

Sample SampleProcess(HANDLE process, DWORD pid)
{
    Sample sample;

    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        Set(sample, kPrivateBytes, NonZero(memory.PrivateUsage), "PrivateUsage");
        // Windows: the commit charge, equal to PrivateUsage. Wine: the Linux
        // process's own memory, which moves page by page with what it touches.
        Set(sample, kPrivateBytes, NonZero(memory.PagefileUsage), "PagefileUsage");
        // Wine: the Linux process's resident memory.
        Set(sample, kWorkingSet, NonZero(memory.WorkingSetSize), "WorkingSetSize");
    }

    DWORD handles = 0;
    if (GetProcessHandleCount(process, &handles))
        Set(sample, kHandles, NonZero(handles), "GetProcessHandleCount");
    Set(sample, kHandles, CountSystemHandles(pid), "SystemExtendedHandleInformation");

    Set(sample, kGdiObjects, NonZero(GetGuiResources(process, GR_GDIOBJECTS)), "GetGuiResources");
    Set(sample, kGdiObjects, CountGdiTable(process), "GdiSharedHandleTable");

    Set(sample, kUserObjects, NonZero(GetGuiResources(process, GR_USEROBJECTS)), "GetGuiResources");
    Set(sample, kUserObjects, NonZero(CountWindows(pid)), "windows");
    return sample;
}

Sample SampleSettled(HANDLE process, DWORD pid)
{
    constexpr int kPauseMs = 100, kReadings = 30;
    auto sameCounts = [](const Sample& a, const Sample& b) {
        return a.values[kHandles] == b.values[kHandles] && a.values[kGdiObjects] == b.values[kGdiObjects] &&
               a.values[kUserObjects] == b.values[kUserObjects];
    };
    Sample previous = SampleProcess(process, pid);
    for (int i = 0; i < kReadings; ++i) {
        Sleep(kPauseMs);
        Sample next = SampleProcess(process, pid);
        if (sameCounts(previous, next))
            return next;
        previous = next;
    }
    return previous;
}

}  // namespace soak
