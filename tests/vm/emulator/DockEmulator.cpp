// An emulated dock on the kernel's HID stack: creates a uhid device with the dock's report
// descriptor and serves its feature reports through DockEngine. Prints "hidrawN ID VENDOR PRODUCT"
// once the kernel has made the hidraw node (ID: the HID instance number), then serves in the
// background until the dock vanishes or the process is killed.
//   kavrin-dock-emu --model forge|mind [--vendor ID] [--product ID] [--report-id] [--usage-page PAGE]
//     [--lamp EFFECT,BRIGHTNESS,SPEED,RRGGBB] [--fail-set-from N] [--fail-get-from N] [--vanish-after N]
//     [--corrupt-get N] [--get-delay-ms MS] [--ignore-commands] [--log FILE]
// --lamp takes the bytes of the mode answer (effect, brightness byte, speed byte).
#include "DockEngine.hpp"

#include <fcntl.h>
#include <linux/input.h>
#include <linux/uhid.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <vector>

using namespace kavrin::vmtest;

namespace {

struct Options {
    DockModel model = DockModel::forgeCube;
    unsigned vendor = 0, product = 0; // 0: the model's own
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

Options parse(int argc, char** argv)
{
    Options o;
    int i = 1;
    auto value = [&] {
        if (i + 1 >= argc)
            fail(std::string(argv[i]) + " needs a value");
        return std::string(argv[++i]);
    };
    auto number = [&] { return static_cast<unsigned>(std::stoul(value(), nullptr, 0)); };
    const std::map<std::string, std::function<void()>> flags {
        {"--model", [&] { o.model = value() == "mind" ? DockModel::mindCube : DockModel::forgeCube; }},
        {"--vendor", [&] { o.vendor = number(); }},
        {"--product", [&] { o.product = number(); }},
        {"--report-id", [&] { o.reportID = true; }},
        {"--usage-page", [&] { o.usagePage = number(); }},
        {"--lamp",
         [&] {
             unsigned effect, brightness, speed, rgb;
             if (std::sscanf(value().c_str(), "%u,%u,%u,%6x", &effect, &brightness, &speed, &rgb) != 4)
                 fail("--lamp wants EFFECT,BRIGHTNESS,SPEED,RRGGBB");
             auto byte = [](unsigned v) { return static_cast<std::uint8_t>(v); };
             o.lamp = {byte(effect), byte(brightness), byte(speed), byte(rgb >> 16), byte(rgb >> 8), byte(rgb)};
         }},
        {"--fail-set-from", [&] { o.faults.failSetFrom = number(); }},
        {"--fail-get-from", [&] { o.faults.failGetFrom = number(); }},
        {"--vanish-after", [&] { o.faults.vanishAfter = number(); }},
        {"--corrupt-get", [&] { o.faults.corruptGet = number(); }},
        {"--get-delay-ms", [&] { o.faults.getDelay = std::chrono::milliseconds(number()); }},
        {"--ignore-commands", [&] { o.faults.ignoreCommands = true; }},
        {"--log", [&] { o.logPath = value(); }},
    };
    for (; i < argc; ++i) {
        const auto flag = flags.find(argv[i]);
        if (flag == flags.end())
            fail(std::string("unknown argument ") + argv[i]);
        flag->second();
    }
    const bool mind = o.model == DockModel::mindCube;
    o.vendor = o.vendor ? o.vendor : mind ? 0x0414 : 0x1044;
    o.product = o.product ? o.product : mind ? 0x7A61 : 0x7A3E;
    return o;
}

// One vendor collection holding one 8-byte feature report; optionally numbered (report ID 1).
std::vector<std::uint8_t> reportDescriptor(const Options& options)
{
    // Usage Page, Usage 1, Collection (Application), [Report ID 1,] Logical Minimum 0, Logical Maximum 255,
    // Report Size 8, Report Count 8, Usage 1, Feature (Data, Variable, Absolute), End Collection.
    const auto page = static_cast<std::uint16_t>(options.usagePage);
    std::vector<std::uint8_t> d {0x06, std::uint8_t(page & 0xFF), std::uint8_t(page >> 8), 0x09, 0x01, 0xA1, 0x01};
    if (options.reportID)
        d.insert(d.end(), {0x85, 0x01});
    d.insert(d.end(), {0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x08, 0x09, 0x01, 0xB1, 0x02, 0xC0});
    return d;
}

const char* const kindNames[] = {"accepted", "answered", "rejected", "failed", "vanish"};

struct Dock {
    DockEngine engine;
    int uhid;
    int logFd;

    void log(const std::string& line) const
    {
        const std::string text = line + '\n';
        if (logFd >= 0 && write(logFd, text.data(), text.size()) < 0)
            std::perror("kavrin-dock-emu: log");
    }
    // Sends a reply, or the destroy event when the dock vanished; false once it has.
    bool send(uhid_event event, Reply::Kind kind) const
    {
        if (kind == Reply::Kind::vanish) {
            event = {};
            event.type = UHID_DESTROY;
        }
        if (write(uhid, &event, sizeof event) != static_cast<ssize_t>(sizeof event))
            std::perror("kavrin-dock-emu: write /dev/uhid");
        return kind != Reply::Kind::vanish;
    }

    // Through uhid the kernel hands over and expects what the USB HID driver would put on the wire
    // plus the report number: a set-feature arrives as 0x00 and the 8 bytes, and a get-feature is
    // answered with 0x00 and the 8 bytes, so HIDIOCGFEATURE returns 9 as with a USB dock.
    bool serve(const uhid_event& event)
    {
        if (event.type == UHID_SET_REPORT) {
            const auto& request = event.u.set_report;
            const std::span<const std::uint8_t> data {request.data, std::min<std::size_t>(request.size, UHID_DATA_MAX)};
            Reply reply {Reply::Kind::rejected};
            if (request.rtype == UHID_FEATURE_REPORT && request.rnum == 0 && !data.empty() && data[0] == 0)
                reply = engine.set(data.subspan(1));
            log("set " + hex(data.empty() ? data : data.subspan(1)) + ' ' + kindNames[static_cast<int>(reply.kind)]);
            uhid_event answer {};
            answer.type = UHID_SET_REPORT_REPLY;
            answer.u.set_report_reply.id = request.id;
            answer.u.set_report_reply.err = reply.kind == Reply::Kind::accepted ? 0 : EIO;
            return send(answer, reply.kind);
        }
        if (event.type != UHID_GET_REPORT)
            return true;
        const auto& request = event.u.get_report;
        Reply reply {Reply::Kind::rejected};
        if (request.rtype == UHID_FEATURE_REPORT && request.rnum == 0)
            reply = engine.get();
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
            log(std::string("get ") + kindNames[static_cast<int>(reply.kind)]);
        }
        return send(answer, reply.kind);
    }
};

// The hidraw node whose HID device carries our unique string, as "hidrawN ID", or "".
std::string findNode(const std::string& uniq)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/sys/class/hidraw", error)) {
        std::ifstream uevent(entry.path() / "device/uevent");
        if (std::string(std::istreambuf_iterator<char>(uevent), {}).find("\nHID_UNIQ=" + uniq + '\n')
            == std::string::npos)
            continue;
        // The HID device is named bus:vendor:product.instance, the instance in hex.
        const std::string name = std::filesystem::canonical(entry.path() / "device", error).filename();
        const unsigned long id = std::stoul(name.substr(name.rfind('.') + 1), nullptr, 16);
        return entry.path().filename().string() + ' ' + std::to_string(id);
    }
    return "";
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parse(argc, argv);
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

    // Events that come before the node is there wait in the uhid queue for the server.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::string node;
    while ((node = findNode(uniq)).empty()) {
        if (std::chrono::steady_clock::now() > deadline)
            fail("the kernel made no hidraw node for the dock");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const pid_t child = fork();
    if (child < 0)
        fail("fork");
    if (child > 0) {
        std::cout << node << ' ' << options.vendor << ' ' << options.product << std::endl;
        return 0;
    }
    // A shell's $(...) waits for every writer of its pipe; the server must not keep it.
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    close(null);
    Dock dock {DockEngine(options.model, options.lamp, options.faults), uhid, log};
    for (;;) {
        uhid_event event {};
        const ssize_t length = read(uhid, &event, sizeof event);
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            fail(std::string("read /dev/uhid: ") + std::strerror(errno));
        if (!dock.serve(event))
            return 0;
    }
}
