#pragma once

#include "driver/PortBackend.h"

#include <ieee1284.h>

namespace mmp {

// A port the kernel drives, reached through its ppdev device /dev/parportN with libieee1284. The
// port is claimed exclusively from open to close, so no printer driver writes to it in between.
class Ieee1284Port final : public PortBackend {
public:
    explicit Ieee1284Port(int number);
    ~Ieee1284Port() override;

    bool open() override;
    void close() override;
    std::uint32_t read(std::int32_t address) override;
    void write(std::int32_t address, std::uint8_t value) override;
    std::string description() const override;

private:
    bool openListed(parport* listed);
    std::string whyUnusable(int error, int systemError) const;

    std::string name_;    // parportN, as the kernel names it
    std::string device_;  // /dev/parportN
    parport_list ports_{};
    parport* port_ = nullptr;  // open and claimed, or null
};

}  // namespace mmp
