#include "driver/DirectPort.h"

#include <cerrno>
#include <cstring>

#if __has_include(<sys/io.h>)
#include <sys/io.h>
#define MMP_HAS_PORT_IO 1
#endif

namespace mmp {

DirectPort::~DirectPort() { close(); }

#ifdef MMP_HAS_PORT_IO

namespace {

constexpr int RegisterCount = 3;

bool isRegister(std::int32_t address) { return address >= DataRegister && address <= ControlRegister; }

}  // namespace

bool DirectPort::open()
{
    if (open_)
        return true;
    if (ioperm(DataRegister, RegisterCount, 1) != 0) {
        const std::string remedy = errno == EPERM ? "run as root (it needs CAP_SYS_RAWIO), or use" : "use";
        reportOpenFailure(std::string("no direct I/O at 0x378 (") + std::strerror(errno) + "): " + remedy
                          + " the kernel's port through ppdev (MMP_PORT=parport0)");
        return false;
    }
    open_ = true;
    return true;
}

void DirectPort::close()
{
    if (!open_)
        return;
    ioperm(DataRegister, RegisterCount, 0);
    open_ = false;
}

std::uint32_t DirectPort::read(std::int32_t address)
{
    if (!open_ || !isRegister(address))
        return NothingRead;
    return inb(static_cast<unsigned short>(address));
}

void DirectPort::write(std::int32_t address, std::uint8_t value)
{
    if (open_ && isRegister(address) && address != StatusRegister)
        outb(value, static_cast<unsigned short>(address));
}

#else

bool DirectPort::open()
{
    reportOpenFailure("direct I/O exists only on x86 PCs; use the kernel's port through ppdev (MMP_PORT=parport0)");
    return false;
}

void DirectPort::close() {}
std::uint32_t DirectPort::read(std::int32_t) { return NothingRead; }
void DirectPort::write(std::int32_t, std::uint8_t) {}

#endif

}  // namespace mmp
