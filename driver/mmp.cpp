// The five entry points of the port driver. The backend is chosen on the first call and kept for
// the life of the process, so reads and writes made before MMPOpen already reach it.

#include "port/mmp.h"

#include "port/RegisterMap.h"

#include "driver/DirectPort.h"
#include "driver/Ieee1284Port.h"
#include "driver/PortChoice.h"
#include "driver/SimulatedPort.h"
#include "driver/UnusablePort.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace {

// The lowest parportN that the system reports: as a device file (ppdev loaded) or as a port the
// kernel lists (a port driver loaded, ppdev perhaps not). Never a guess.
std::optional<int> lowestReportedPort()
{
    std::optional<int> lowest;
    for (const char* folder : {"/dev", "/proc/sys/dev/parport"}) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
            const auto number = mmp::parportNumber(entry.path().filename().native());
            if (number && (!lowest || *number < *lowest))
                lowest = number;
        }
    }
    return lowest;
}

std::unique_ptr<mmp::PortBackend> makeBackend()
{
    const char* setting = std::getenv("MMP_PORT");
    const auto choice = mmp::choosePort(setting ? setting : "", lowestReportedPort());
    switch (choice.kind) {
    case mmp::PortKind::Simulated:
        return std::make_unique<mmp::SimulatedPort>();
    case mmp::PortKind::Device:
        return std::make_unique<mmp::Ieee1284Port>(choice.deviceNumber);
    case mmp::PortKind::Direct:
        return std::make_unique<mmp::DirectPort>();
    case mmp::PortKind::Unrecognised:
        break;
    }
    return std::make_unique<mmp::UnusablePort>(setting);
}

mmp::PortBackend& backend()
{
    static const auto chosen = makeBackend();
    return *chosen;
}

// A C caller cannot take an exception: whatever escapes a backend becomes the operation's failure
// result, and the reason goes to standard error like every other driver message.
template <typename Result, typename Operation>
Result failingAs(Result failure, Operation&& operation) noexcept
{
    try {
        return operation();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "libmmp: driver operation failed: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "libmmp: driver operation failed\n");
    }
    return failure;
}

constexpr int32_t Failed = 1;

}  // namespace

extern "C" {

int32_t MMPOpen(void) noexcept
{
    return failingAs(Failed, [] { return backend().open() ? 0 : Failed; });
}

int32_t MMPClose(void) noexcept
{
    return failingAs(Failed, [] {
        backend().close();
        return 0;
    });
}

int32_t MMPGetID(char* buffer) noexcept
{
    return failingAs(Failed, [buffer] {
        const std::string id = "MMP Linux driver 1.0 (" + backend().description() + ")";
        std::snprintf(buffer, DriverIdSize, "%s", id.c_str());
        return 0;
    });
}

uint32_t MMPInp(int32_t port) noexcept
{
    return failingAs(mmp::NothingRead, [port] { return backend().read(port); });
}

int32_t MMPOutp(int32_t port, int32_t value) noexcept
{
    return failingAs(Failed, [port, value] {
        backend().write(port, static_cast<std::uint8_t>(value));
        return 0;
    });
}

}  // extern "C"
