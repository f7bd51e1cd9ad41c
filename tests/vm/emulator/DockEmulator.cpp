// An emulated dock on the kernel's HID stack: creates a uhid device with the dock's report
// descriptor and serves its feature reports through DockEngine. Prints "hidrawN ID" once the
// kernel has made the hidraw node (ID: the HID instance number), then serves in the background
// until the dock vanishes or the process is killed.
#include "DockEngine.hpp"

#include <fcntl.h>
#include <linux/input.h>
#include <linux/uhid.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

using namespace kavrin::vmtest;

namespace {

const char usage[] = "usage: kavrin-dock-emu --model forge|mind [--vendor ID] [--product ID]\n"
                     "  [--report-id] [--usage-page PAGE] [--lamp EFFECT,BRIGHTNESS,SPEED,RRGGBB]\n"
                     "  [--fail-set-from N] [--fail-get-from N] [--vanish-after N] [--corrupt-get N]\n"
                     "  [--get-delay-ms MS] [--ignore-commands] [--log FILE]\n"
                     "--lamp takes the bytes of the mode answer (effect, brightness byte, speed byte).\n";

struct Options {
    DockModel model = DockModel::forgeCube;
    unsigned vendor = 0x1044;
    unsigned product = 0x7A3E;
    bool reportID = false;
    unsigned usagePage = 0xFF01;
    Lamp lamp;
    FaultPlan faults;
    std::string logPath;
};

[[noreturn]] void fail(const std::string& message)
{
    std::cerr << "kavrin-dock-emu: " << message << '\n';
    std::exit(2);
}

unsigned number(const std::string& text)
{
    try {
        std::size_t end = 0;
        unsigned long value = std::stoul(text, &end, 0);
        if (end == text.size() && value <= 0xFFFFFFFF)
            return static_cast<unsigned>(value);
    } catch (const std::exception&) {
    }
    fail("not a number: " + text);
}

Lamp parseLamp(const std::string& text)
{
    unsigned effect, brightness, speed, rgb;
    if (std::sscanf(text.c_str(), "%u,%u,%u,%6x", &effect, &brightness, &speed, &rgb) != 4 || effect > 255
        || brightness > 255 || speed > 255)
        fail("--lamp wants EFFECT,BRIGHTNESS,SPEED,RRGGBB, not " + text);
    return {static_cast<std::uint8_t>(effect),   static_cast<std::uint8_t>(brightness),
            static_cast<std::uint8_t>(speed),    static_cast<std::uint8_t>(rgb >> 16),
            static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb)};
}

Options parse(int argc, char** argv)
{
    Options options;
    bool productGiven = false, vendorGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                fail(arg + " needs a value\n" + usage);
            return argv[++i];
        };
        if (arg == "--model") {
            const std::string model = value();
            if (model != "forge" && model != "mind")
                fail("unknown model " + model);
            options.model = model == "forge" ? DockModel::forgeCube : DockModel::mindCube;
        } else if (arg == "--vendor") {
            options.vendor = number(value()), vendorGiven = true;
        } else if (arg == "--product") {
            options.product = number(value()), productGiven = true;
        } else if (arg == "--report-id") {
            options.reportID = true;
        } else if (arg == "--usage-page") {
            options.usagePage = number(value());
        } else if (arg == "--lamp") {
            options.lamp = parseLamp(value());
        } else if (arg == "--fail-set-from") {
            options.faults.failSetFrom = number(value());
        } else if (arg == "--fail-get-from") {
            options.faults.failGetFrom = number(value());
        } else if (arg == "--vanish-after") {
            options.faults.vanishAfter = number(value());
        } else if (arg == "--corrupt-get") {
            options.faults.corruptGet = number(value());
        } else if (arg == "--get-delay-ms") {
            options.faults.getDelay = std::chrono::milliseconds(number(value()));
        } else if (arg == "--ignore-commands") {
            options.faults.ignoreCommands = true;
        } else if (arg == "--log") {
            options.logPath = value();
        } else {
            fail("unknown argument " + arg + "\n" + usage);
        }
    }
    if (options.model == DockModel::mindCube) {
        options.vendor = vendorGiven ? options.vendor : 0x0414;
        options.product = productGiven ? options.product : 0x7A61;
    }
    return options;
}

// One vendor collection holding one 8-byte feature report; optionally numbered (report ID 1).
std::vector<std::uint8_t> reportDescriptor(const Options& options)
{
    const auto pageLow = static_cast<std::uint8_t>(options.usagePage);
    const auto pageHigh = static_cast<std::uint8_t>(options.usagePage >> 8);
    std::vector<std::uint8_t> numbered;
    if (options.reportID)
        numbered = {0x85, 0x01}; // Report ID 1
    // clang-format off
    std::vector<std::uint8_t> d{0x06, pageLow, pageHigh, // Usage Page
                                0x09, 0x01,              // Usage 1
                                0xA1, 0x01};             // Collection (Application)
    d.insert(d.end(), numbered.begin(), numbered.end());
    d.insert(d.end(), {0x15, 0x00,                       // Logical Minimum 0
                       0x26, 0xFF, 0x00,                 // Logical Maximum 255
                       0x75, 0x08,                       // Report Size 8
                       0x95, 0x08,                       // Report Count 8
                       0x09, 0x01,                       // Usage 1
                       0xB1, 0x02,                       // Feature (Data, Variable, Absolute)
                       0xC0});                           // End Collection
    // clang-format on
    return d;
}

class Dock {
public:
    Dock(const Options& options, int uhid, int log)
        : engine_(options.model, options.lamp, options.faults)
        , uhid_(uhid)
        , log_(log)
    {
    }

    // Returns false once the dock has vanished.
    bool serve(const uhid_event& event);

private:
    void log(const std::string& line);
    void send(const uhid_event& event);
    void vanish();

    DockEngine engine_;
    int uhid_;
    int log_;
};

const char* kindName(Reply::Kind kind)
{
    switch (kind) {
    case Reply::Kind::accepted:
        return "accepted";
    case Reply::Kind::answered:
        return "answered";
    case Reply::Kind::rejected:
        return "rejected";
    case Reply::Kind::failed:
        return "failed";
    case Reply::Kind::vanish:
        return "vanish";
    }
    return "?";
}

void Dock::log(const std::string& line)
{
    if (log_ < 0)
        return;
    const std::string text = line + '\n';
    if (write(log_, text.data(), text.size()) < 0)
        std::perror("kavrin-dock-emu: log");
}

void Dock::send(const uhid_event& event)
{
    if (write(uhid_, &event, sizeof event) != static_cast<ssize_t>(sizeof event))
        std::perror("kavrin-dock-emu: write /dev/uhid");
}

void Dock::vanish()
{
    uhid_event event {};
    event.type = UHID_DESTROY;
    send(event);
}

// Through uhid the kernel hands over and expects what the USB HID driver would put on the wire
// plus the report number: a set-feature arrives as 0x00 and the 8 bytes, and a get-feature is
// answered with 0x00 and the 8 bytes, so HIDIOCGFEATURE returns 9 as with a USB dock.
bool Dock::serve(const uhid_event& event)
{
    switch (event.type) {
    case UHID_OPEN:
        log("open");
        return true;
    case UHID_CLOSE:
        log("close");
        return true;
    case UHID_OUTPUT:
        log("output " + hex({event.u.output.data, std::min<std::size_t>(event.u.output.size, UHID_DATA_MAX)}));
        return true;
    case UHID_SET_REPORT: {
        const auto& request = event.u.set_report;
        const std::span<const std::uint8_t> data {request.data, std::min<std::size_t>(request.size, UHID_DATA_MAX)};
        Reply reply {Reply::Kind::rejected};
        if (request.rtype == UHID_FEATURE_REPORT && request.rnum == 0 && !data.empty() && data[0] == 0)
            reply = engine_.set(data.subspan(1));
        log("set " + hex(data.empty() ? data : data.subspan(1)) + ' ' + kindName(reply.kind)
            + (request.rnum != 0 ? " rnum=" + std::to_string(request.rnum) : ""));
        if (reply.kind == Reply::Kind::vanish) {
            vanish();
            return false;
        }
        uhid_event answer {};
        answer.type = UHID_SET_REPORT_REPLY;
        answer.u.set_report_reply.id = request.id;
        answer.u.set_report_reply.err = reply.kind == Reply::Kind::accepted ? 0 : EIO;
        send(answer);
        return true;
    }
    case UHID_GET_REPORT: {
        const auto& request = event.u.get_report;
        Reply reply {Reply::Kind::rejected};
        if (request.rtype == UHID_FEATURE_REPORT && request.rnum == 0)
            reply = engine_.get();
        if (reply.kind == Reply::Kind::vanish) {
            log("get vanish");
            vanish();
            return false;
        }
        if (reply.delay.count() > 0) {
            // Lets a test see that the request is in flight before the answer comes.
            log("get delayed " + std::to_string(reply.delay.count()) + " ms");
            std::this_thread::sleep_for(reply.delay);
        }
        uhid_event answer {};
        answer.type = UHID_GET_REPORT_REPLY;
        answer.u.get_report_reply.id = request.id;
        if (reply.kind == Reply::Kind::answered) {
            answer.u.get_report_reply.size = 1 + reply.answer.size();
            std::memcpy(answer.u.get_report_reply.data + 1, reply.answer.data(), reply.answer.size());
            log("get " + hex(reply.answer));
        } else {
            answer.u.get_report_reply.err = EIO;
            log(std::string("get ") + kindName(reply.kind)
                + (request.rnum != 0 ? " rnum=" + std::to_string(request.rnum) : ""));
        }
        send(answer);
        return true;
    }
    default:
        return true;
    }
}

// The hidraw node whose HID device carries our unique string, as "hidrawN ID", or "".
std::string findNode(const std::string& uniq)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/sys/class/hidraw", error)) {
        std::ifstream uevent(entry.path() / "device/uevent");
        for (std::string line; std::getline(uevent, line);) {
            if (line != "HID_UNIQ=" + uniq)
                continue;
            // The HID device is named bus:vendor:product.instance, the instance in hex.
            const std::string name = std::filesystem::canonical(entry.path() / "device", error).filename();
            const auto dot = name.rfind('.');
            const unsigned long id = dot == std::string::npos ? 0 : std::stoul(name.substr(dot + 1), nullptr, 16);
            return entry.path().filename().string() + ' ' + std::to_string(id);
        }
    }
    return "";
}

int run(const Options& options, int ready)
{
    const int log
        = options.logPath.empty() ? -1 : open(options.logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    const int uhid = open("/dev/uhid", O_RDWR | O_CLOEXEC);
    if (uhid < 0)
        fail(std::string("cannot open /dev/uhid: ") + std::strerror(errno));

    const std::string uniq = "kavrin-dock-emu-" + std::to_string(getpid());
    const std::vector<std::uint8_t> descriptor = reportDescriptor(options);
    uhid_event create {};
    create.type = UHID_CREATE2;
    std::snprintf(reinterpret_cast<char*>(create.u.create2.name), sizeof create.u.create2.name, "KAVRIN emulated dock");
    std::snprintf(reinterpret_cast<char*>(create.u.create2.uniq), sizeof create.u.create2.uniq, "%s", uniq.c_str());
    create.u.create2.rd_size = static_cast<std::uint16_t>(descriptor.size());
    create.u.create2.bus = BUS_USB;
    create.u.create2.vendor = options.vendor;
    create.u.create2.product = options.product;
    std::memcpy(create.u.create2.rd_data, descriptor.data(), descriptor.size());
    if (write(uhid, &create, sizeof create) != static_cast<ssize_t>(sizeof create))
        fail(std::string("cannot create the uhid device: ") + std::strerror(errno));

    Dock dock(options, uhid, log);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        if (ready >= 0) {
            if (const std::string node = findNode(uniq); !node.empty()) {
                const std::string line = node + '\n';
                if (write(ready, line.data(), line.size()) < 0)
                    return 1;
                close(ready);
                ready = -1;
            } else if (std::chrono::steady_clock::now() > deadline) {
                fail("the kernel made no hidraw node for the dock");
            }
        }
        pollfd pending {uhid, POLLIN, 0};
        if (poll(&pending, 1, ready >= 0 ? 20 : -1) <= 0)
            continue;
        uhid_event event {};
        const ssize_t length = read(uhid, &event, sizeof event);
        if (length < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (length <= 0)
            fail(std::string("read /dev/uhid: ") + std::strerror(errno));
        if (!dock.serve(event))
            return 0;
    }
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parse(argc, argv);
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        fail("pipe");
    const pid_t child = fork();
    if (child < 0)
        fail("fork");
    if (child == 0) {
        close(pipeFds[0]);
        // A shell's $(...) waits for every writer of its pipe; the server must not keep it.
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        close(null);
        return run(options, pipeFds[1]);
    }
    close(pipeFds[1]);
    std::string line;
    char buffer[64];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        line.append(buffer, static_cast<std::size_t>(n));
    if (line.empty())
        return 1;
    std::cout << line << std::flush;
    return 0;
}
