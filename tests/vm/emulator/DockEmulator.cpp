// An emulated dock on the kernel's HID stack: creates a uhid device with the dock's report
// descriptor and serves its feature reports through DockEngine. Prints "hidrawN ID VENDOR PRODUCT"
// once the kernel has made the hidraw node (ID: the HID instance number), then serves in the
// background until the dock vanishes or the process is killed.
// Options: the table in parse(); --lamp takes the bytes of the mode answer (effect, brightness
// byte, speed byte) and the colour.
#include "DockEngine.hpp"

#include <err.h>
#include <fcntl.h>
#include <linux/input.h>
#include <linux/uhid.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <thread>
#include <vector>

using namespace kavrin::vmtest;

namespace {

// Fault counts start at 1; an empty one never triggers.
struct Options {
    DockModel model = DockModel::forgeCube;
    unsigned vendor = 0, product = 0; // 0: the model's own
    bool reportID = false;
    unsigned usagePage = 0xFF01;
    Lamp lamp;
    bool ignoreCommands = false;
    std::optional<unsigned> failSetFrom; // this set-feature and every later one fail
    std::optional<unsigned> failGetFrom; // this get-feature and every later one fail
    std::optional<unsigned> vanishAfter; // after this many reports of either kind the dock disappears
    std::optional<unsigned> corruptGet; // this get-feature's answer carries a wrong command byte
    std::chrono::milliseconds getDelay {}; // every get-feature is answered this late
    std::string logPath;
};

Options parse(int argc, char** argv)
{
    Options o;
    int i = 1;
    auto value = [&] {
        if (i + 1 >= argc)
            errx(2, "%s needs a value", argv[i]);
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
             Lamp& l = o.lamp;
             if (std::sscanf(value().c_str(), "%hhu,%hhu,%hhu,%2hhx%2hhx%2hhx", &l.effect, &l.brightness, &l.speed,
                             &l.red, &l.green, &l.blue)
                 != 6)
                 errx(2, "--lamp wants EFFECT,BRIGHTNESS,SPEED,RRGGBB");
         }},
        {"--fail-set-from", [&] { o.failSetFrom = number(); }},
        {"--fail-get-from", [&] { o.failGetFrom = number(); }},
        {"--vanish-after", [&] { o.vanishAfter = number(); }},
        {"--corrupt-get", [&] { o.corruptGet = number(); }},
        {"--get-delay-ms", [&] { o.getDelay = std::chrono::milliseconds(number()); }},
        {"--ignore-commands", [&] { o.ignoreCommands = true; }},
        {"--log", [&] { o.logPath = value(); }},
    };
    for (; i < argc; ++i) {
        const auto flag = flags.find(argv[i]);
        if (flag == flags.end())
            errx(2, "unknown argument %s", argv[i]);
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

// Answers the kernel's feature-report requests, with the faults asked for, until the dock
// vanishes. Through uhid the kernel hands over and expects what the USB HID driver would put on
// the wire plus the report number: a set-feature arrives as 0x00 and the 8 bytes, and a
// get-feature is answered with 0x00 and the 8 bytes, so HIDIOCGFEATURE returns 9 as with a USB
// dock. Each report is logged before it is answered, so a test that has its answer finds it there.
void serve(int uhid, const Options& options, std::ostream& log)
{
    DockEngine engine {options.model, options.lamp, options.ignoreCommands};
    unsigned reports = 0, sets = 0, gets = 0;
    for (bool vanished = false; !vanished;) {
        uhid_event event {};
        if (read(uhid, &event, sizeof event) < 0)
            err(2, "read /dev/uhid");
        if (event.type != UHID_SET_REPORT && event.type != UHID_GET_REPORT)
            continue;
        vanished = options.vanishAfter && ++reports > *options.vanishAfter;
        uhid_event answer {};
        if (event.type == UHID_SET_REPORT) {
            const auto& request = event.u.set_report;
            // uhid hands over 1 to UHID_DATA_MAX bytes, the report number first.
            const std::span<const std::uint8_t> payload {request.data + 1, request.size - 1u};
            const bool failing = options.failSetFrom && ++sets >= *options.failSetFrom;
            const bool accepted = request.rtype == UHID_FEATURE_REPORT && request.rnum == 0 && !vanished && !failing
                && engine.set(payload);
            log << "set " << hex(payload) << (accepted ? " accepted" : " refused") << std::endl;
            answer.type = UHID_SET_REPORT_REPLY;
            answer.u.set_report_reply.id = request.id;
            answer.u.set_report_reply.err = accepted ? 0 : EIO;
        } else {
            if (options.getDelay.count() > 0) {
                // Lets a test see that the request is in flight before the answer comes.
                log << "get delayed " << options.getDelay.count() << " ms" << std::endl;
                std::this_thread::sleep_for(options.getDelay);
            }
            const auto& request = event.u.get_report;
            ++gets;
            const bool failing = options.failGetFrom && gets >= *options.failGetFrom;
            std::optional<Report> reply;
            if (request.rtype == UHID_FEATURE_REPORT && request.rnum == 0 && !vanished && !failing)
                reply = engine.get();
            if (reply && options.corruptGet == gets)
                (*reply)[1] ^= 0xFF;
            log << "get " << (reply ? hex(*reply) : "refused") << std::endl;
            answer.type = UHID_GET_REPORT_REPLY;
            answer.u.get_report_reply.id = request.id;
            answer.u.get_report_reply.err = reply ? 0 : EIO;
            if (reply) {
                answer.u.get_report_reply.size = 1 + reply->size();
                std::memcpy(answer.u.get_report_reply.data + 1, reply->data(), reply->size());
            }
        }
        if (vanished) {
            log << "vanish" << std::endl;
            answer = {.type = UHID_DESTROY, .u = {}};
        }
        if (write(uhid, &answer, sizeof answer) != static_cast<ssize_t>(sizeof answer))
            warn("write /dev/uhid");
    }
}

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
    std::ofstream log(options.logPath, std::ios::app); // without --log, the empty path opens nothing
    const int uhid = open("/dev/uhid", O_RDWR | O_CLOEXEC);
    if (uhid < 0)
        err(2, "cannot open /dev/uhid");

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
        err(2, "cannot create the uhid device");

    // Events that come before the node is there wait in the uhid queue for the server.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::string node;
    while ((node = findNode(uniq)).empty()) {
        if (std::chrono::steady_clock::now() > deadline)
            errx(2, "the kernel made no hidraw node for the dock");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const pid_t child = fork();
    if (child < 0)
        err(2, "fork");
    if (child > 0) {
        std::printf("%s %u %u\n", node.c_str(), options.vendor, options.product);
        return 0;
    }
    // A shell's $(...) waits for every writer of its pipe; the server must not keep it.
    close(STDOUT_FILENO);
    serve(uhid, options, log);
}
