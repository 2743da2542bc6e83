#include "driver/SimulatedPort.h"

namespace mmp {

std::uint32_t SimulatedPort::read(std::int32_t address)
{
    switch (address) {
    case DataRegister:
        return data_;
    case StatusRegister:
        return IdleStatus;
    case ControlRegister:
        return control_;
    default:
        return NothingRead;
    }
}

void SimulatedPort::write(std::int32_t address, std::uint8_t value)
{
    if (address == DataRegister)
        data_ = value;
    else if (address == ControlRegister)
        control_ = value;
}

}  // namespace mmp
