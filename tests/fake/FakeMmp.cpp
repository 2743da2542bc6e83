#include "tests/fake/FakeMmp.h"

#include "port/mmp.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

constexpr std::int32_t DataPort = 0x378;
constexpr std::int32_t StatusPort = 0x379;
constexpr std::int32_t ControlPort = 0x37A;
constexpr char Identification[] = "Recording driver of the tests";

struct State {
    std::vector<std::string> journal;
    std::deque<std::int32_t> openResults;
    std::optional<std::vector<char>> id = std::vector<char>(std::begin(Identification), std::end(Identification));
    // Error, Select, Paper Error and Acknowledge high, the rest low.
    std::uint32_t status = 0x78;
    std::uint32_t data = 0xFF;
    std::uint32_t control = 0x0C;
    std::uint32_t upperBits = 0;
    std::deque<std::uint32_t> queuedReads;
};

State& state()
{
    static State s;
    return s;
}

// A run that cannot keep its journal must not pass for one that did nothing: stop at once.
[[noreturn]] void giveUp(const char* why, const char* path)
{
    std::fprintf(stderr, "mmp journal: %s %s: %s\n", why, path, std::strerror(errno));
    std::abort();
}

// The file that MMP_JOURNAL names, opened on the first call; null when it names none.
FILE* journalFile()
{
    static FILE* const file = [] () -> FILE* {
        const char* path = std::getenv("MMP_JOURNAL");
        if (!path || !*path)
            return nullptr;
        FILE* opened = std::fopen(path, "a");
        if (!opened)
            giveUp("cannot open", path);
        // The one diagnostic of a working journal; the end-to-end tests expect it and nothing else.
        std::fprintf(stderr, "mmp journal: recording to %s\n", path);
        return opened;
    }();
    return file;
}

[[gnu::format(printf, 1, 2)]] void record(const char* format, ...)
{
    char line[128];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    state().journal.emplace_back(line);
    if (FILE* file = journalFile()) {
        if (std::fprintf(file, "%s\n", line) < 0 || std::fflush(file) != 0)
            giveUp("cannot write", std::getenv("MMP_JOURNAL"));
    }
}

std::uint32_t readData()
{
    auto& s = state();
    if (s.queuedReads.empty())
        return s.data | s.upperBits;
    const auto value = s.queuedReads.front();
    s.queuedReads.pop_front();
    return value;
}

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
    auto& results = state().openResults;
    std::int32_t result = 0;
    if (!results.empty()) {
        result = results.front();
        results.pop_front();
    }
    record("MMPOpen() = %d", static_cast<int>(result));
    return result;
}

int32_t MMPClose(void) noexcept
{
    record("MMPClose() = 0");
    return 0;
}

int32_t MMPGetID(char* buffer) noexcept
{
    if (const auto& id = state().id)
        std::memcpy(buffer, id->data(), std::min<std::size_t>(id->size(), 256));
    record("MMPGetID(buffer) = 0");
    return 0;
}

uint32_t MMPInp(int32_t port) noexcept
{
    std::uint32_t value = 0xFF;
    if (port == DataPort)
        value = readData();
    else if (port == StatusPort)
        value = state().status;
    else if (port == ControlPort)
        value = state().control;
    record("MMPInp(0x%X) = 0x%02X", static_cast<unsigned>(port), static_cast<unsigned>(value));
    return value;
}

int32_t MMPOutp(int32_t port, int32_t value) noexcept
{
    const std::uint32_t byte = static_cast<std::uint32_t>(value) & 0xFF;
    if (port == DataPort)
        state().data = byte;
    else if (port == ControlPort)
        state().control = byte;
    record("MMPOutp(0x%X, 0x%02X) = 0", static_cast<unsigned>(port), static_cast<unsigned>(value));
    return 0;
}

}  // extern "C"
