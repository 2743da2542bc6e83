#pragma once

#include "driver/PortBackend.h"

namespace mmp {

// The registers at 0x378..0x37A reached with the processor's in and out instructions, for a port
// the kernel does not manage. It needs root (CAP_SYS_RAWIO), and an absent port reads 0xFF.
class DirectPort final : public PortBackend {
public:
    ~DirectPort() override;

    bool open() override;
    void close() override;
    std::uint32_t read(std::int32_t address) override;
    void write(std::int32_t address, std::uint8_t value) override;
    std::string description() const override { return "direct I/O, 0x378"; }

private:
    bool open_ = false;
};

}  // namespace mmp
