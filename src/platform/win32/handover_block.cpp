#include "platform/handover_block.h"

#include "platform/system_error.h"
#include "platform/win32/windows_headers.h"
#include "platform/zuvora_error.h"

#include <cstring>
#include <map>
#include <mutex>

namespace zuv::platform {

namespace {

// A block lives as long as a handle to it is open: the sender keeps its handle here from the
// creation to the removal, after the reply.
std::mutex g_blocksMutex;
std::map<std::string, HANDLE> g_blocks;

} // namespace

// Names without a prefix live in the session's own name space, which other users' sessions do
// not share.
std::string HandoverBlockName()
{
    return "zuv-ipc";
}

std::error_code CreateHandoverBlock(const std::string& name, std::string_view text)
{
    const unsigned long long size = text.size() + 1ULL;
    // Backed by the paging file, readable and writable; the default security of our token.
    HANDLE block = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                                        static_cast<DWORD>(size >> 32), static_cast<DWORD>(size),
                                        name.c_str());
    if (!block)
        return SystemError(static_cast<int>(::GetLastError()));
    // Another sender's block (a crashed sender's is gone with its handles): never written over.
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(block);
        return SystemError(ERROR_ALREADY_EXISTS);
    }
    void* view = ::MapViewOfFile(block, FILE_MAP_ALL_ACCESS, 0, 0, static_cast<SIZE_T>(size));
    if (!view) {
        const std::error_code error = SystemError(static_cast<int>(::GetLastError()));
        ::CloseHandle(block);
        return error;
    }
    std::memcpy(view, text.data(), text.size());
    static_cast<char*>(view)[text.size()] = '\0';
    ::UnmapViewOfFile(view);

    std::lock_guard lock(g_blocksMutex);
    if (const auto old = g_blocks.find(name); old != g_blocks.end())
        ::CloseHandle(old->second);
    g_blocks[name] = block;
    return {};
}

HandoverBlockText ReadHandoverBlock(const std::string& name, std::size_t maxSize)
{
    HandoverBlockText result;
    ScopedHandle block(::OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str()));
    if (!block.Valid()) {
        result.error = SystemError(static_cast<int>(::GetLastError()));
        return result;
    }
    const void* view = ::MapViewOfFile(block.Get(), FILE_MAP_READ, 0, 0, 0);
    if (!view) {
        result.error = SystemError(static_cast<int>(::GetLastError()));
        return result;
    }
    // The view is whole pages; the text ends at its zero, which must come within the limit.
    MEMORY_BASIC_INFORMATION region{};
    std::size_t size = 0;
    if (::VirtualQuery(view, &region, sizeof region) == sizeof region)
        size = std::min<std::size_t>(region.RegionSize, maxSize);
    const char* data = static_cast<const char*>(view);
    const void* nul = size > 0 ? std::memchr(data, '\0', size) : nullptr;
    if (nul)
        result.text.assign(data, static_cast<const char*>(nul));
    else
        result.error = size == maxSize ? make_error_code(ZuvoraError::TooLarge)
                                       : SystemError(ERROR_INVALID_DATA);
    ::UnmapViewOfFile(view);
    return result;
}

void RemoveHandoverBlock(const std::string& name)
{
    std::lock_guard lock(g_blocksMutex);
    if (const auto found = g_blocks.find(name); found != g_blocks.end()) {
        ::CloseHandle(found->second);
        g_blocks.erase(found);
    }
}

std::optional<HandoverLock> HandoverLock::Acquire(int timeoutMs)
{
    HANDLE mutex = ::CreateMutexA(nullptr, FALSE, (HandoverBlockName() + ".lock").c_str());
    if (!mutex)
        return std::nullopt;
    // A holder that died without releasing it leaves it abandoned, which hands it on.
    const DWORD waited = ::WaitForSingleObject(mutex, static_cast<DWORD>(std::max(0, timeoutMs)));
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        ::CloseHandle(mutex);
        return std::nullopt;
    }
    return HandoverLock(mutex);
}

HandoverLock::HandoverLock(HandoverLock&& other) noexcept : m_mutex(other.m_mutex)
{
    other.m_mutex = nullptr;
}

HandoverLock::~HandoverLock()
{
    if (m_mutex) {
        ::ReleaseMutex(m_mutex);
        ::CloseHandle(m_mutex);
    }
}

} // namespace zuv::platform
