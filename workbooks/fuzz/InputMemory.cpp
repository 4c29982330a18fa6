// See InputMemory.h.
#include "workbooks/fuzz/InputMemory.h"

#include <QFile>
#include <algorithm>
#include <atomic>
#include <cstddef>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUMIVANE_HEAP_HOOKS 1
#endif
#endif

#ifdef LUMIVANE_HEAP_HOOKS
#include <sanitizer/allocator_interface.h>
#endif

namespace workbooks::fuzz {

namespace {

constexpr double kMegabyte = 1024.0 * 1024.0;

#ifdef LUMIVANE_HEAP_HOOKS

std::atomic<long long> heldBytes{0};
std::atomic<long long> mostBytes{0};

void allocated(const volatile void*, std::size_t size) {
    const long long now = heldBytes += static_cast<long long>(size);
    long long most = mostBytes.load();
    while (now > most && !mostBytes.compare_exchange_weak(most, now)) {
    }
}

void released(const volatile void* pointer) {
    heldBytes -= static_cast<long long>(__sanitizer_get_allocated_size(const_cast<const void*>(pointer)));
}

double beginMeasuring() {
    static const bool hooked = __sanitizer_install_malloc_and_free_hooks(allocated, released) != 0;
    if (!hooked)
        return -1;
    mostBytes = heldBytes.load();
    return double(heldBytes.load()) / kMegabyte;
}

double mostSinceBeginning() {
    return double(mostBytes.load()) / kMegabyte;
}

#else

// A field of /proc/self/status in megabytes ("VmRSS", "VmHWM"); -1 when it cannot be read.
double statusMegabytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field) && line.size() > qsizetype(qstrlen(field)) &&
            line.at(qstrlen(field)) == ':')
            return line.mid(qsizetype(qstrlen(field)) + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

double beginMeasuring() {
    // "5" resets the high-water mark to the resident set as it is now.
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (!reset.open(QIODevice::WriteOnly) || reset.write("5") != 1)
        return -1;
    reset.close();
    return statusMegabytes("VmRSS");
}

double mostSinceBeginning() {
    return statusMegabytes("VmHWM");
}

#endif

} // namespace

InputMemory::InputMemory()
    : start_(beginMeasuring()) {}

double InputMemory::peakMegabytes() const {
    if (start_ < 0)
        return -1;
    const double most = mostSinceBeginning();
    return most < 0 ? -1 : std::max(0.0, most - start_);
}

} // namespace workbooks::fuzz
