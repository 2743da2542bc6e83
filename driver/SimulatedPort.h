#pragma once

#include "driver/PortBackend.h"

namespace mmp {

// A port for machines without one. The data register reads back what was written; the status
// register reads as an idle port with nothing connected: the pulled-up inputs read 1, and Busy
// (bit 7, inverted by the hardware) reads 0. Reads and writes work whether or not it is open,
// and the registers keep their values across close, like a real port's latches.
class SimulatedPort final : public PortBackend {
public:
    static constexpr std::uint8_t IdleStatus = 0x7F;

    bool open() override { return true; }
    void close() override {}
    std::uint32_t read(std::int32_t address) override;
    void write(std::int32_t address, std::uint8_t value) override;
    std::string description() const override { return "simulated port"; }

private:
    std::uint8_t data_ = 0xFF;
    std::uint8_t control_ = 0x0C;  // as the kernel's port driver leaves it
};

}  // namespace mmp
