// A port driver for the end-to-end tests, put in place of ours through LD_LIBRARY_PATH. It keeps the
// registers in memory (the data and control registers read back what was written, the status register
// reads a fixed byte) and appends every call, with its arguments and result, to the file that the
// environment variable MMP_JOURNAL names, one line per call, flushed at once so that a test can follow
// the program while it runs.
#include "port/mmp.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int32_t DataPort = 0x378;
constexpr int32_t StatusPort = 0x379;
constexpr int32_t ControlPort = 0x37A;
// Error, Select, Paper Error and Acknowledge high, the rest low: a byte whose bits are not all alike.
constexpr uint32_t StatusByte = 0x78;
constexpr char Identification[] = "Journal driver for end-to-end tests";

uint32_t dataRegister = 0xFF;
uint32_t controlRegister = 0x0C;

[[noreturn]] void giveUp(const char* why, const char* path)
{
    std::fprintf(stderr, "mmp journal: %s %s: %s\n", why, path ? path : "", std::strerror(errno));
    std::abort();
}

FILE* openJournal()
{
    const char* path = std::getenv("MMP_JOURNAL");
    if (!path || !*path) {
        std::fprintf(stderr, "mmp journal: MMP_JOURNAL names no file\n");
        std::abort();
    }
    FILE* file = std::fopen(path, "a");
    if (!file)
        giveUp("cannot open", path);
    // The one diagnostic of a working journal; the tests expect it and nothing else on standard error.
    std::fprintf(stderr, "mmp journal: recording to %s\n", path);
    return file;
}

void record(const char* format, ...)
{
    static FILE* journal = openJournal();
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(journal, format, arguments);
    va_end(arguments);
    std::fputc('\n', journal);
    if (std::fflush(journal) != 0)
        giveUp("cannot write", std::getenv("MMP_JOURNAL"));
}

}  // namespace

extern "C" {

int32_t MMPOpen(void) noexcept
{
    record("MMPOpen() = 0");
    return 0;
}

int32_t MMPClose(void) noexcept
{
    record("MMPClose() = 0");
    return 0;
}

int32_t MMPGetID(char* buffer) noexcept
{
    std::memcpy(buffer, Identification, sizeof Identification);
    record("MMPGetID(buffer) = 0");
    return 0;
}

uint32_t MMPInp(int32_t port) noexcept
{
    uint32_t value = 0xFF;
    if (port == DataPort)
        value = dataRegister;
    else if (port == StatusPort)
        value = StatusByte;
    else if (port == ControlPort)
        value = controlRegister;
    record("MMPInp(0x%X) = 0x%02X", static_cast<unsigned>(port), static_cast<unsigned>(value));
    return value;
}

int32_t MMPOutp(int32_t port, int32_t value) noexcept
{
    const uint32_t byte = static_cast<uint32_t>(value) & 0xFF;
    if (port == DataPort)
        dataRegister = byte;
    else if (port == ControlPort)
        controlRegister = byte;
    record("MMPOutp(0x%X, 0x%02X) = 0", static_cast<unsigned>(port), static_cast<unsigned>(value));
    return 0;
}
}
