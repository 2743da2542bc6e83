#include "tests/fake/FakeMmp.h"

#include "port/mmp.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

struct State {
    std::vector<std::string> journal;
    std::deque<std::int32_t> openResults;
    std::optional<std::vector<char>> id;
    std::uint32_t status = 0x7F;
    std::uint32_t data = 0xFF;
    std::uint32_t upperBits = 0;
    std::deque<std::uint32_t> queuedReads;
};

State& state()
{
    static State s;
    return s;
}

// Upper-case hexadecimal, at least two digits, as the log and the end-to-end journal write it.
std::string hex(std::int64_t v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%02llX", static_cast<unsigned long long>(v));
    return buf;
}

void record(std::string call) { state().journal.push_back(std::move(call)); }

}  // namespace

namespace fakemmp {

void reset() { state() = State{}; }
const std::vector<std::string>& journal() { return state().journal; }
std::vector<std::string> takeJournal() { return std::exchange(state().journal, {}); }
void setOpenResults(std::deque<std::int32_t> results) { state().openResults = std::move(results); }
void setId(std::optional<std::vector<char>> bytes) { state().id = std::move(bytes); }
void setStatus(std::uint32_t value) { state().status = value; }
void setDataRegister(std::uint32_t value) { state().data = value; }
void setUpperReadBits(std::uint32_t bits) { state().upperBits = bits; }
void queueRead(std::uint32_t value) { state().queuedReads.push_back(value); }
std::uint32_t dataRegister() { return state().data; }

}  // namespace fakemmp

extern "C" {

int32_t MMPOpen(void) noexcept
{
    record("MMPOpen()");
    auto& results = state().openResults;
    if (results.empty())
        return 0;
    const auto result = results.front();
    results.pop_front();
    return result;
}

int32_t MMPClose(void) noexcept
{
    record("MMPClose()");
    return 0;
}

int32_t MMPGetID(char* buffer) noexcept
{
    record("MMPGetID()");
    if (const auto& id = state().id)
        std::memcpy(buffer, id->data(), std::min<std::size_t>(id->size(), 256));
    return 0;
}

uint32_t MMPInp(int32_t port) noexcept
{
    record("MMPInp(" + hex(port) + ")");
    auto& s = state();
    if (port == 0x379)
        return s.status;
    if (port != 0x378)
        return 0xFF;
    if (!s.queuedReads.empty()) {
        const auto value = s.queuedReads.front();
        s.queuedReads.pop_front();
        return value;
    }
    return s.data | s.upperBits;
}

int32_t MMPOutp(int32_t port, int32_t value) noexcept
{
    record("MMPOutp(" + hex(port) + "," + hex(value) + ")");
    if (port == 0x378)
        state().data = static_cast<std::uint32_t>(value) & 0xFF;
    return 0;
}

}  // extern "C"
