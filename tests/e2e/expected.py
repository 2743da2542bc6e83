"""What the driver journal and the activity log must show, written down from the program's documented
behaviour: the recording driver's line format, the driver initialisation, the scan cycle and the script
commands."""

import itertools

from harness import check_equal, fail

DATA_PORT, STATUS_PORT, CONTROL_PORT = 0x378, 0x379, 0x37A
# What the recording driver answers.
STATUS_BYTE = 0x78
DRIVER_ID = "Recording driver of the tests"

OPEN = "MMPOpen() = 0"
GET_ID = "MMPGetID(buffer) = 0"
CLOSE = "MMPClose() = 0"


def inp(port, value):
    return f"MMPInp(0x{port:X}) = 0x{value:02X}"


def outp(port, value):
    return f"MMPOutp(0x{port:X}, 0x{value:02X}) = 0"


def read_back_line(value):
    return f"  inp(0x378) = 0x{value:02X}"


STATUS_POLL = inp(STATUS_PORT, STATUS_BYTE)
STATUS_LINE = f"Status Byte  inp(0x379) = 0x{STATUS_BYTE:02X}"

DRIVER_INIT_CALLS = [OPEN, GET_ID, outp(CONTROL_PORT, 0x01), outp(DATA_PORT, 0xFF), inp(DATA_PORT, 0xFF)]
DRIVER_INIT_LOG = [
    "Try to open the driver...",
    "  Open OK!",
    "Try to get driver ID...",
    "  ID = " + DRIVER_ID,
    "  outp(0x37a, 0x01)",
    "  outp(0x378, 0xff)",
    "  inp(0x378) = 0xFF",
]
# Stop/Off: the data byte all off, then the read-back; the register reads back what was written.
STOP_OFF_CALLS = [outp(DATA_PORT, 0xFF), inp(DATA_PORT, 0xFF)]
STOP_OFF_LOG = [read_back_line(0xFF)]

SCAN_ON_LINE = "Scan Mode.....  "
SCAN_OFF_LINE = "End Scan Mode.....  "

# The steady scan cycle, one row per 100 ms step: the writes to the data register in order, and the
# bytes that the step's read-back lines show.
SCAN_CYCLE = [
    ([0xFF, 0xFD, 0xFD], [0xFF, 0xFD]),
    ([0xFF, 0xFB, 0xFB], [0xFF, 0xFB]),
    ([0xFF, 0xF7, 0xF7], [0xFF, 0xF7]),
    ([0xFF, 0xEF, 0xEF], [0xFF, 0xEF]),
    ([0xFF, 0xDF, 0xDF], [0xFF, 0xDF]),
    ([0xFF, 0xBF, 0xBF], [0xFF, 0xBF]),
    ([0xFF, 0x7F, 0x7F], [0xFF, 0x7F]),
    ([0x7F], []),
    ([0x3F, 0xBF, 0xBF], [0x3F, 0xBF]),
    ([0x9F, 0xDF, 0xDF], [0x9F, 0xDF]),
    ([0xCF, 0xEF, 0xEF], [0xCF, 0xEF]),
    ([0xE7, 0xF7, 0xF7], [0xE7, 0xF7]),
    ([0xF3, 0xFB, 0xFB], [0xF3, 0xFB]),
    ([0xF9, 0xFD, 0xFD], [0xF9, 0xFD]),
    ([0xFC, 0xFE, 0xFE], [0xFC, 0xFE]),
    ([0xFE], []),
]
# The first step after scan on, moving up from all off: D5's box handler, then the step's own write; the
# cycle goes on with its sixth step.
SCAN_FIRST_STEP = ([0xDF, 0xDF], [0xDF])
SCAN_RESUMES_AT = 5


def scan_steps():
    """(step name, writes, read-backs) of the scan from its start, for ever."""
    yield "first step (D5)", *SCAN_FIRST_STEP
    for index in itertools.chain(range(SCAN_RESUMES_AT, len(SCAN_CYCLE)), itertools.cycle(range(len(SCAN_CYCLE)))):
        yield f"cycle step {index + 1}", *SCAN_CYCLE[index]


def step_calls(register, writes, read_backs):
    """A step's driver calls: each box handler reads the register, writes it and reads it back; the last
    write is the step's own, without a read-back."""
    check_equal(writes[:-1], read_backs, "the scan table's read-backs (they repeat the handlers' writes)")
    calls = []
    for written in writes[:-1]:
        calls += [inp(DATA_PORT, register), outp(DATA_PORT, written), inp(DATA_PORT, written)]
        register = written
    return calls + [outp(DATA_PORT, writes[-1])]


# Scan off while one line is lit: the all-off button's write and read-back, then the lit box's handler.
SCAN_OFF_CALLS = [outp(DATA_PORT, 0xFF), inp(DATA_PORT, 0xFF),
                  inp(DATA_PORT, 0xFF), outp(DATA_PORT, 0xFF), inp(DATA_PORT, 0xFF)]
SCAN_OFF_LOG = [SCAN_OFF_LINE, "  outp(0x378, 0xff)", read_back_line(0xFF), read_back_line(0xFF)]


def follow_scan(calls, start):
    """Matches the journal from calls[start] on against the scan: status polls between steps, the steps
    of the cycle in order, then the scan-off calls. Returns (steps, index after scan off, log lines from
    the first step on: read-backs, status lines and the scan-off lines)."""
    index, register, log, steps = start, 0xFF, [], 0
    for name, writes, read_backs in scan_steps():
        while index < len(calls) and calls[index] == STATUS_POLL:
            index, log = index + 1, log + [STATUS_LINE]
        if calls[index:index + len(SCAN_OFF_CALLS)] == SCAN_OFF_CALLS and steps > 0:
            return steps, index + len(SCAN_OFF_CALLS), log + SCAN_OFF_LOG
        expected = step_calls(register, writes, read_backs)
        found = calls[index:index + len(expected)]
        if found != expected:
            fail(f"scan step {steps + 1} ({name}), journal line {index + 1}: expected the calls\n"
                 f"  {expected}\nfound\n  {found}")
        index, register, steps = index + len(expected), writes[-1], steps + 1
        log += [read_back_line(value) for value in read_backs]


def script_effect(rows, register):
    """The driver calls and log lines of playing the rows once, from the first to the last, with the
    register reading back what was written. rows: (command, data) pairs, None for an empty cell."""
    calls, log = [], []
    for command, data in rows:
        command, data = command or 0, data or 0
        if command == 1 and not 0 <= data <= 255:
            log.append("Invalid Data")
        elif command in (1, 18, 19):
            register = {1: data, 18: 0x00, 19: 0xFF}[command]
            calls += [outp(DATA_PORT, register), inp(DATA_PORT, register)]
            log.append(read_back_line(register))
        elif 2 <= command <= 17:
            line = (command - 2) % 8
            written = register & ~(1 << line) & 0xFF if command <= 9 else register | (1 << line)
            calls += [inp(DATA_PORT, register), outp(DATA_PORT, written), inp(DATA_PORT, written)]
            register = written
            log.append(read_back_line(register))
        elif command == 20:
            if data <= 0:
                fail(f"the script has a wait of {data} ms, which these tests do not model")
            log.append(f"Waiting  {data}   (ms)")
        else:
            log.append("Unrecognized Command")
    return calls, log, register
