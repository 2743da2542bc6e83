#include "driver/Ieee1284Port.h"

#include "driver/RegisterMapping.h"

#include <cerrno>
#include <cstring>
#include <string_view>
#include <unistd.h>

namespace mmp {

namespace {

std::string libraryErrorText(int error, int systemError)
{
    switch (error) {
    case E1284_NOTAVAIL:
        return "not available (E1284_NOTAVAIL)";
    case E1284_INIT:
        return "port could not be initialised (E1284_INIT)";
    case E1284_NOID:
        return "no IEEE 1284 ID (E1284_NOID)";
    case E1284_NOMEM:
        return "out of memory (E1284_NOMEM)";
    case E1284_SYS:
        return std::string("system error (E1284_SYS): ") + std::strerror(systemError);
    default:
        return "libieee1284 error " + std::to_string(error);
    }
}

}  // namespace

Ieee1284Port::Ieee1284Port(int number)
    : name_("parport" + std::to_string(number)), device_("/dev/" + name_)
{
}

Ieee1284Port::~Ieee1284Port() { close(); }

bool Ieee1284Port::open()
{
    if (port_)
        return true;
    if (const int error = ieee1284_find_ports(&ports_, 0); error != E1284_OK) {
        reportOpenFailure("cannot list the parallel ports: " + libraryErrorText(error, errno));
        return false;
    }
    for (int i = 0; i < ports_.portc; ++i) {
        if (ports_.portv[i]->name == std::string_view(name_)) {
            if (openListed(ports_.portv[i]))
                return true;
            ieee1284_free_ports(&ports_);
            return false;
        }
    }
    ieee1284_free_ports(&ports_);
    reportOpenFailure("the kernel lists no parallel port " + name_
                      + " (/proc/sys/dev/parport); load its driver (sudo modprobe parport_pc) or set MMP_PORT=sim");
    return false;
}

bool Ieee1284Port::openListed(parport* listed)
{
    int capabilities = 0;
    if (const int error = ieee1284_open(listed, F1284_EXCL, &capabilities); error != E1284_OK) {
        reportOpenFailure(whyUnusable(error, errno));
        return false;
    }
    if (const int error = ieee1284_claim(listed); error != E1284_OK) {
        const int systemError = errno;
        ieee1284_close(listed);
        reportOpenFailure(whyUnusable(error, systemError));
        return false;
    }
    // A previous user may have left the data lines reversed; they must drive the loads.
    if (const int error = ieee1284_data_dir(listed, 0); error != E1284_OK) {
        const int systemError = errno;
        ieee1284_release(listed);
        ieee1284_close(listed);
        reportOpenFailure("cannot set " + device_ + " to output: " + libraryErrorText(error, systemError));
        return false;
    }
    port_ = listed;
    return true;
}

// libieee1284 does not try a device it could not open while looking around, so its error code
// alone does not tell a missing module from a missing permission: the device file does.
std::string Ieee1284Port::whyUnusable(int error, int systemError) const
{
    if (error == E1284_NOMEM)
        return "cannot open " + device_ + ": " + libraryErrorText(error, systemError);
    if (::access(device_.c_str(), F_OK) != 0)
        return "no " + device_ + ": the ppdev module is not loaded (sudo modprobe ppdev), then start again";
    if (::access(device_.c_str(), R_OK | W_OK) != 0)
        return "no permission to use " + device_ + ": join group lp (sudo adduser $USER lp, then log in again)"
               " or check the permissions of " + device_;
    if (error == E1284_SYS && (systemError == ENXIO || systemError == EBUSY))
        return name_ + " is held by another driver: unload the printer driver (sudo rmmod lp) and try again";
    return "cannot open " + device_ + ": " + libraryErrorText(error, systemError);
}

void Ieee1284Port::close()
{
    if (!port_)
        return;
    ieee1284_release(port_);
    ieee1284_close(port_);
    ieee1284_free_ports(&ports_);
    port_ = nullptr;
}

std::uint32_t Ieee1284Port::read(std::int32_t address)
{
    if (!port_)
        return NothingRead;
    int value = -1;
    switch (address) {
    case DataRegister:
        value = ieee1284_read_data(port_);
        break;
    case StatusRegister:
        if (const int status = ieee1284_read_status(port_); status >= 0)
            value = statusRegisterFromLibrary(status);
        break;
    case ControlRegister:
        if (const int control = ieee1284_read_control(port_); control >= 0)
            value = controlRegisterFromLibrary(control);
        break;
    default:
        break;
    }
    return value >= 0 ? static_cast<std::uint32_t>(value) : NothingRead;
}

void Ieee1284Port::write(std::int32_t address, std::uint8_t value)
{
    if (!port_)
        return;
    if (address == DataRegister)
        ieee1284_write_data(port_, value);
    else if (address == ControlRegister)
        ieee1284_write_control(port_, controlForLibrary(value));
}

std::string Ieee1284Port::description() const { return "libieee1284, " + device_; }

}  // namespace mmp
