#pragma once

#include "driver/PortBackend.h"

#include <string>
#include <utility>

namespace mmp {

// Stands in when MMP_PORT names nothing this library knows: every open fails and says so, so a
// mistyped setting never falls back to some other port unnoticed.
class UnusablePort final : public PortBackend {
public:
    explicit UnusablePort(std::string setting) : setting_(std::move(setting)) {}

    bool open() override
    {
        reportOpenFailure("MMP_PORT=" + setting_ + " is not understood; use sim, direct, parportN or /dev/parportN");
        return false;
    }
    void close() override {}
    std::uint32_t read(std::int32_t) override { return NothingRead; }
    void write(std::int32_t, std::uint8_t) override {}
    std::string description() const override { return "no port, MMP_PORT not understood"; }

private:
    std::string setting_;
};

}  // namespace mmp
