// Counting this process's GDI objects, USER objects and handles.
#include "tests/windows/support/process_resources.h"

#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <vector>

namespace testing_support {

namespace {

// One entry of the GDI handle table the process environment block points at.
#pragma pack(push, 1)
struct GdiTableEntry {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t user;
};
#pragma pack(pop)
static_assert(sizeof(GdiTableEntry) == 24, "the table's entry size");

constexpr int kGdiTableEntries = 65536;
constexpr size_t kPebGdiTableOffset = 0x94;  // 32-bit process environment block

// An ntdll function by name, cast through the generic function pointer type.
template <typename Function>
Function NtdllFunction(const char* name) {
    const FARPROC found = GetProcAddress(GetModuleHandleA("ntdll.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

using QueryInformationProcess = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

const unsigned char* ProcessEnvironmentBlock() {
    const auto query = NtdllFunction<QueryInformationProcess>("NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION basic = {};
    if (query == nullptr ||
        query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) {
        return nullptr;
    }
    return reinterpret_cast<const unsigned char*>(basic.PebBaseAddress);
}

long CountGdiTable() {
    const unsigned char* peb = ProcessEnvironmentBlock();
    if (peb == nullptr) {
        return -1;
    }
    const auto* table = *reinterpret_cast<GdiTableEntry* const*>(peb + kPebGdiTableOffset);
    if (table == nullptr) {
        return -1;
    }
    long count = 0;
    for (int i = 0; i < kGdiTableEntries; ++i) {
        count += table[i].type != 0 ? 1 : 0;
    }
    return count;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM counter) {
    ++*reinterpret_cast<long*>(counter);
    EnumChildWindows(window, CountWindow, counter);
    return TRUE;
}

long CountThreadWindows() {
    long count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

using QuerySystemInformation = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);

struct SystemHandle {
    USHORT process;
    USHORT creatorBackTrace;
    UCHAR objectType;
    UCHAR attributes;
    USHORT handle;
    PVOID object;
    ULONG access;
};

long CountSystemHandles() {
    const auto query = NtdllFunction<QuerySystemInformation>("NtQuerySystemInformation");
    if (query == nullptr) {
        return -1;
    }
    std::vector<unsigned char> buffer(1 << 20);
    ULONG needed = 0;
    const ULONG kSystemHandleInformation = 16;
    while (query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                 &needed) != 0) {
        if (buffer.size() >= (64u << 20)) {
            return -1;
        }
        buffer.resize(buffer.size() * 2);
    }
    const ULONG entries = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* handles = reinterpret_cast<const SystemHandle*>(buffer.data() + sizeof(ULONG));
    const auto self = static_cast<USHORT>(GetCurrentProcessId());
    long count = 0;
    for (ULONG i = 0; i < entries; ++i) {
        count += handles[i].process == self ? 1 : 0;
    }
    return count;
}

}  // namespace

std::string ProcessResources::Describe() const {
    return "gdi " + std::to_string(gdiObjects) + ", user " + std::to_string(userObjects) +
           ", handles " + std::to_string(handles);
}

ProcessResources MeasureProcessResources() {
    const HANDLE self = GetCurrentProcess();
    ProcessResources counts;
    counts.gdiObjects = static_cast<long>(GetGuiResources(self, GR_GDIOBJECTS));
    counts.userObjects = static_cast<long>(GetGuiResources(self, GR_USEROBJECTS));
    DWORD handles = 0;
    GetProcessHandleCount(self, &handles);
    counts.handles = static_cast<long>(handles);
    if (counts.gdiObjects == 0) {
        counts.gdiObjects = CountGdiTable();
    }
    if (counts.userObjects == 0) {
        counts.userObjects = CountThreadWindows();
    }
    if (counts.handles == 0) {
        counts.handles = CountSystemHandles();
    }
    return counts;
}

}  // namespace testing_support
